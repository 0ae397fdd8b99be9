// The contract every record window keeps, run over the description of every
// application: the description agrees with its installed table; opening packs
// and lists in the normal order; navigation stops at both ends and shows each
// record; every search narrows, colours its box and counts, and one that finds
// nothing stands on the record after the typed text; New prepares the form as
// the rows say;
// the required field guards Save new and Save; Save new, Save and Delete keep
// the count line on the records not marked deleted; the delete question names
// the record; the export writes the shown records in their order.
//
// The expectations come from a model of the sample records and from the
// description itself, so each application's own tests cover only what makes
// it different. A new application joins with one line in tests/apps/record_applications.h.
#include "tests/apps/record_window_contract.h"

namespace record_window_contract {

TEST_P(RecordWindowContract, DescriptionAgreesWithItsInstalledTable) {
    const RecordWindow& record = window();
    QSet<QString> controls;
    auto unique = [&controls](const QString& control) {
        if (control.isEmpty()) return;
        EXPECT_FALSE(controls.contains(control.toLower())) << control.toStdString() << " twice";
        controls.insert(control.toLower());
    };
    const QMap<FieldKind, char> typeOf = {{FieldKind::Text, 'C'},
                                          {FieldKind::Memo, 'M'},
                                          {FieldKind::Logical, 'L'},
                                          {FieldKind::Date, 'D'},
                                          {FieldKind::DateText, 'D'}};
    for (const FieldRow& row : record.fields) {
        SCOPED_TRACE(row.control.toStdString());
        const kesp::FieldDescription& field = Field(row.field);
        EXPECT_EQ(field.type, typeOf[row.kind]);
        if (row.kind == FieldKind::Text) {
            EXPECT_GE(field.width, row.inputLimit);
        }
        if (row.userCaption > 0) {
            EXPECT_TRUE(record.readUserCaptions);
        }
        if (record.tab) {
            EXPECT_LE(row.page, record.tab->pages.size());
        }
        unique(row.control);
        unique(row.captionLabel);
    }
    for (const Search& search : record.searches) {
        unique(search.box);
        unique(search.captionLabel);
        EXPECT_NE(IndexNamed(record.indexes, search.index).form, KeyForm::Descending);
        EXPECT_TRUE(search.run) << search.box.toStdString();
    }
    for (const QString& control : {record.list.name, record.resultLine.name, record.countLine.name,
                                   record.entryButtons.save, record.entryButtons.cancel})
        unique(control);
    for (const IndexFile& index : record.indexes)
        Field(index.field);
    IndexNamed(record.indexes, record.normalOrder);
    for (const ListColumn& column : record.list.columns)
        Field(column.field);
    EXPECT_EQ(RequiredRow().kind, FieldKind::Text);
    Field(record.deleteQuestion.field);
    for (const ExportColumn& column : ExportColumns(record))
        Field(column.field);
    EXPECT_FALSE(IsBlank(record.exportFile.fileName));
    EXPECT_TRUE(!IsBlank(record.title) || record.titleUserCaption > 0);
}

TEST_P(RecordWindowContract, OpensPackedInTheNormalOrderWithTheCountLine) {
    GetParam().open();
    ASSERT_TRUE(TestDriver::isOpen(name()));
    EXPECT_EQ(Shown(window().countLine.name), CountLine(4));
    for (int column = 1; column <= window().list.columns.size(); ++column)
        EXPECT_EQ(Listed(column), ExpectedColumn(InNormalOrder(), column)) << "column " << column;
    const Sample first = InNormalOrder().first();
    EXPECT_EQ(ShownRecord(), first.record);
    ExpectControlsShow(first);
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
    TestDriver::closeWindow(name());
    EXPECT_EQ(StoredRecordCount(), 4) << "the record marked deleted is gone from the file";
}

TEST_P(RecordWindowContract, NavigationFollowsTheNormalOrderAndStopsAtBothEnds) {
    const QList<Sample> ordered = InNormalOrder();
    GetParam().open();
    Click("x2");
    EXPECT_EQ(ShownRecord(), ordered[0].record) << "previous on the first stays there";
    Click("x3");
    EXPECT_EQ(ShownRecord(), ordered[1].record);
    ExpectControlsShow(ordered[1]);
    Click("x4");
    EXPECT_EQ(ShownRecord(), ordered[3].record);
    Click("x3");
    EXPECT_EQ(ShownRecord(), ordered[3].record) << "next on the last stays there";
    ExpectControlsShow(ordered[3]);
    Click("x2");
    EXPECT_EQ(ShownRecord(), ordered[2].record);
    ExpectControlsShow(ordered[2]);
    Click("x1");
    EXPECT_EQ(ShownRecord(), ordered[0].record);
    ExpectControlsShow(ordered[0]);
    TestDriver::select(name(), window().list.name, 2);
    EXPECT_EQ(ShownRecord(), ordered[1].record);
    TestDriver::select(name(), window().list.name, 3);
    EXPECT_EQ(ShownRecord(), ordered[2].record);
    ExpectControlsShow(ordered[2]);
}

TEST_P(RecordWindowContract, EverySearchNarrowsColoursItsBoxAndCounts) {
    const ResultLine& line = window().resultLine;
    const QString missed = line.miss ? TEXT(*line.miss) : "0" + TEXT(line.found);
    GetParam().open();
    for (const Search& search : window().searches) {
        SCOPED_TRACE(search.box.toStdString());
        const Typed typed = MatchingText(search);
        ASSERT_GE(typed.matches.size(), 2);
        Type(search.box, typed.text);
        EXPECT_EQ(TestDriver::read(name(), search.box, "backcolor").value<QColor>(), kGreen);
        EXPECT_EQ(Shown(line.name), QString::number(typed.matches.size()) + TEXT(line.found));
        EXPECT_EQ(Listed(), ExpectedColumn(typed.matches, 1));
        EXPECT_EQ(ShownRecord(), typed.matches.first().record);
        Click("x4");
        Click("x3");
        EXPECT_EQ(ShownRecord(), typed.matches.last().record) << "navigation stays in the matches";
        EXPECT_EQ(Shown(window().countLine.name), CountLine(4)) << "it counts the table";
        Type(search.box, "  " + typed.text);
        EXPECT_EQ(Shown(line.name), QString::number(typed.matches.size()) + TEXT(line.found))
            << "leading blanks are no part of the search";

        Type(search.box, "}}");
        EXPECT_EQ(Shown(line.name), missed);
        ExpectShownAfterMiss(search, "}}");
        Type(search.box, typed.text + "}}");
        EXPECT_EQ(TestDriver::read(name(), search.box, "backcolor").value<QColor>(), kRed);
        EXPECT_EQ(Shown(line.name), missed);
        ExpectShownAfterMiss(search, typed.text + "}}");
        // The list stands where it stood (the matches may lie anywhere in
        // the order); paging up reaches the records before.
        TestDriver::pressKey(name(), window().list.name, Qt::Key_PageUp);
        EXPECT_EQ(Listed().size(), 4) << "every record is listed again";

        TestDriver::clearText(name(), search.box);
        EXPECT_EQ(TestDriver::read(name(), search.box, "backcolor").value<QColor>(), kWhite);
        EXPECT_EQ(Shown(line.name), "4" + TEXT(line.found));
        EXPECT_EQ(Listed(), ExpectedColumn(InOrder(search.index, samples_), 1));
        EXPECT_EQ(Shown(window().countLine.name), CountLine(4));
    }
}

TEST_P(RecordWindowContract, AFixedChoiceNarrowsTheListInTheNormalOrderAndCounts) {
    const QString field = RequiredRow().field;
    QList<Sample> chosen;
    for (const Sample& sample : InNormalOrder())
        if (Value(sample, field).toString().startsWith("a", Qt::CaseInsensitive))
            chosen.append(sample);
    ASSERT_GE(chosen.size(), 2);
    GetParam().open();
    const QList<Search>& searches = window().searches;
    if (!searches.isEmpty()) Type(searches.first().box, "}}");
    ShowOnlyRecords(
        window(),
        [field = window().alias + "->" + field] { return UPPER(FIELD(field)).startsWith("A"); },
        "begins with A");
    EXPECT_EQ(Listed(), ExpectedColumn(chosen, 1));
    EXPECT_EQ(ShownRecord(), chosen.first().record);
    EXPECT_EQ(Shown(window().resultLine.name),
              QString::number(chosen.size()) + TEXT(window().resultLine.found));
    if (searches.isEmpty()) return;
    const QString box = searches.first().box;
    EXPECT_EQ(TestDriver::read(name(), box, "backcolor").value<QColor>(), kRed)
        << "the search box keeps its colour";
    EXPECT_EQ(Shown(box), "}}");
}

INSTANTIATE_TEST_SUITE_P(EveryApplication, RecordWindowContract, ::testing::ValuesIn(kApplications),
                         [](const ::testing::TestParamInfo<Application>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace record_window_contract
