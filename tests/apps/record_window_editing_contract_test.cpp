// The contract every record window keeps, its editing half: New, the required
// field, Save new, Save, Delete and the export (record_window_contract.h).
#include "apps/common/record_steps.h"
#include "tests/apps/other_reader.h"
#include "tests/apps/record_window_contract.h"

#include <QApplication>
#include <QTest>

namespace record_window_contract {

TEST_P(RecordWindowContract, NewPreparesEveryControlAsItsRowSaysAndCancelReturns) {
    const Sample first = InNormalOrder().first();
    GetParam().open();
    Click("x5");
    ASSERT_TRUE(InEntryMode());
    for (const FieldRow& row : window().fields) {
        SCOPED_TRACE(row.control.toStdString());
        const QVariant shown = TestDriver::read(name(), row.control);
        const QDate expectedDate = row.onNew == OnNew::Today  ? kToday
                                   : row.onNew == OnNew::Keep ? Value(first, row.field).toDate()
                                                              : QDate();
        switch (row.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                if (row.onNew != OnNew::Keep) {
                    EXPECT_EQ(shown.toString(), "");
                }
                break;
            case FieldKind::Logical:
                if (row.onNew != OnNew::Keep) {
                    EXPECT_FALSE(shown.toBool());
                }
                break;
            case FieldKind::Date:
                EXPECT_EQ(shown.toDate(), expectedDate);
                break;
            case FieldKind::DateText:
                EXPECT_EQ(shown.toString(), DTOC(expectedDate));
                break;
        }
    }
    Click(window().entryButtons.cancel);
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(ShownRecord(), first.record);
    EXPECT_EQ(Shown(window().required.control),
              Value(first, RequiredRow().field).toString().trimmed());
}

TEST_P(RecordWindowContract, TheRequiredFieldKeepsSaveNewAndSaveFromWriting) {
    const RequiredField& required = window().required;
    const Sample first = InNormalOrder().first();
    GetParam().open();
    Click("x5");
    SETPROPERTY(name(), required.control, "value", "   ");
    Click(window().entryButtons.save);
    EXPECT_EQ(Messages(), QStringList{RequiredMessage(required.onSaveNew)});
    EXPECT_TRUE(InEntryMode()) << "what the user typed stays for another try";
    DBSELECTAREA(window().workArea);
    EXPECT_EQ(RECCOUNT(), 4);
    Click(window().entryButtons.cancel);

    SETPROPERTY(name(), required.control, "value", "");
    Click("x8");
    const QString stored = FIELD(window().alias + "->" + RequiredRow().field).toString().trimmed();
    if (required.checkedOnSave) {
        EXPECT_EQ(Messages(), QStringList{RequiredMessage(required.onSave)});
        EXPECT_EQ(stored, Value(first, RequiredRow().field).toString().trimmed())
            << "nothing written";
    } else {
        EXPECT_TRUE(Messages().isEmpty());
        EXPECT_EQ(stored, "");
    }
}

TEST_P(RecordWindowContract, SaveNewAppendsCountsTheTableAndShowsTheFirstRecord) {
    GetParam().open();
    if (!window().searches.isEmpty()) {
        const Search& search = window().searches.first();
        Type(search.box, MatchingText(search).text);  // the search stays in force
    }
    Click("x5");
    SETPROPERTY(name(), window().required.control, "value", " Aaron ");
    Click(window().entryButtons.save);
    const Texts& saved = window().savedNewMessage;
    EXPECT_EQ(Messages(), IsBlank(saved) ? QStringList() : QStringList{"MSGBOX: " + TEXT(saved)});
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(Shown(window().countLine.name), CountLine(5)) << "the table, not the matches";
    DBSELECTAREA(window().workArea);
    EXPECT_EQ(RECCOUNT(), 5);
    const int shown = ShownRecord();
    DBGOTOP();
    EXPECT_EQ(shown, RECNO()) << "the first record of the order is shown";
    DBGOTO(5);
    EXPECT_EQ(FIELD(window().alias + "->" + RequiredRow().field).toString().trimmed(), "Aaron");
}

TEST_P(RecordWindowContract, SaveWritesTheRecordEndsTheSearchAndStaysOnTheRecord) {
    GetParam().open();
    int edited = InNormalOrder()[1].record;
    if (!window().searches.isEmpty()) {
        const Search& search = window().searches.first();
        const Typed typed = MatchingText(search);
        Type(search.box, typed.text);
        edited = typed.matches[1].record;
    }
    Click("x3");
    ASSERT_EQ(ShownRecord(), edited);
    SETPROPERTY(name(), window().required.control, "value", "Zeta ");
    Click("x8");
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(Listed().size(), 4) << "Save ends the search";
    EXPECT_EQ(ShownRecord(), edited);
    EXPECT_EQ(Shown(window().required.control), "Zeta");
    EXPECT_EQ(Shown(window().countLine.name), CountLine(4));
    EXPECT_EQ(FIELD(window().alias + "->" + RequiredRow().field).toString().trimmed(), "Zeta");
    // No box claims the search the list no longer shows.
    for (const Search& search : window().searches) {
        EXPECT_EQ(Shown(search.box), "") << search.box.toStdString();
        EXPECT_EQ(Shown(window().resultLine.name), TEXT(window().resultLine.hint));
    }
}

TEST_P(RecordWindowContract, DeleteAsksNamingTheRecordAndOnlyYesDeletes) {
    const QList<Sample> ordered = InNormalOrder();
    const DeleteQuestion& question = window().deleteQuestion;
    GetParam().open();
    Click("x4");
    driver_.answerNext(false);
    Click("x6");
    const QString named = Value(ordered.last(), question.field).toString().trimmed();
    EXPECT_EQ(Messages(), QStringList{"MSGYESNO: " + Say(question.wording, named)});
    EXPECT_EQ(ShownRecord(), ordered.last().record);
    EXPECT_EQ(Listed().size(), 4);

    driver_.answerNext(true);
    Click("x6");
    Messages();
    EXPECT_EQ(Shown(window().countLine.name), CountLineAfterDeletion(3));
    EXPECT_EQ(Listed(), ExpectedColumn(ordered.mid(0, 3), 1));
    EXPECT_EQ(ShownRecord(), ordered.first().record);
    ExpectControlsShow(ordered.first());

    // Under a search the count line still counts the table, and the result
    // line what the search still presents.
    const ResultLine& line = window().resultLine;
    int found = 0;
    if (!window().searches.isEmpty()) {
        const Search& search = window().searches.first();
        Type(search.box, MatchingText(search).text);
        found = Shown(line.name).section(' ', 0, 0).toInt();
        ASSERT_GE(found, 1);
    }
    Click("x6");
    Messages();
    EXPECT_EQ(Shown(window().countLine.name), CountLineAfterDeletion(2));
    if (found > 0) {
        EXPECT_EQ(Shown(line.name), QString::number(found - 1) + TEXT(line.found));
        EXPECT_EQ(Listed().size(), found - 1);
        DOMETHOD(name(), window().list.name, "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Shown(line.name), QString::number(found) + TEXT(line.found)) << "taken back";
        Click("x6");
        Messages();
    }
    TestDriver::closeWindow(name());
    const QList<bool> marks = StoredMarks();
    EXPECT_EQ(marks.size(), 4) << "marked, removed at the next opening";
    EXPECT_TRUE(marks.value(ordered.last().record - 1)) << "the record asked about";
    EXPECT_EQ(marks.count(true), 2);
}

TEST_P(RecordWindowContract, CtrlZTakesBackTheDeletionsOfTheWindowNewestFirst) {
    const QList<Sample> ordered = InNormalOrder();
    GetParam().open();
    EXPECT_FALSE(DeletionToUndo(window())) << "nothing deleted yet";
    const auto ctrlZ = [this] {
        DOMETHOD(name(), window().list.name, "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    };
    Click("x4");
    Click("x6");  // the last record, then the first
    Click("x6");
    Messages();
    EXPECT_EQ(Listed().size(), 2);
    ASSERT_TRUE(DeletionToUndo(window()));

    ctrlZ();
    EXPECT_EQ(ShownRecord(), ordered.first().record) << "the newest deletion comes back first";
    EXPECT_EQ(Listed().size(), 3);
    EXPECT_EQ(Shown(window().countLine.name), CountLine(3));
    ctrlZ();
    EXPECT_EQ(ShownRecord(), ordered.last().record);
    EXPECT_EQ(Listed().size(), 4);
    EXPECT_FALSE(DeletionToUndo(window()));
    EXPECT_EQ(Messages(), QStringList{}) << "taken back without a question";
    TestDriver::closeWindow(name());
    // Every field as it was, memo included: the table holds the four again.
    EXPECT_EQ(StoredRecordCount(), 4);
    DBUSEAREA(false, dataPath() + window().table, "check");
    int live = 0;
    for (DBGOTOP(); !DBEOF(); DBSKIP(1))
        ++live;
    DBGOTO(ordered.last().record);
    for (const FieldRow& row : window().fields) {
        if (row.kind != FieldKind::Text && row.kind != FieldKind::Memo) continue;
        EXPECT_EQ(FIELD("check->" + row.field).toString().trimmed(),
                  Value(ordered.last(), row.field).toString().trimmed())
            << qPrintable(row.field);
    }
    DBCLOSEALL();
    EXPECT_EQ(live, 4);
    // Another program sees the mark taken back too.
    for (const FieldRow& row : window().fields) {
        if (row.kind != FieldKind::Text) continue;
        const QStringList read = ReadWithDbfread(dataPath() + window().table, row.field);
        EXPECT_EQ(read.size(), 4) << read.join('|').toStdString();
        EXPECT_TRUE(read.contains(Value(ordered.last(), row.field).toString().trimmed()));
        break;
    }
}

TEST_P(RecordWindowContract, ExportWritesTheShownRecordsInTheirOrderAndReturnsToTheRecord) {
    const QList<Sample> ordered = InNormalOrder();
    GetParam().open();
    Click("x3");
    Click("x7");
    EXPECT_EQ(Messages(),
              QStringList{"MSGEXCLAMATION: " + TEXT(window().exportFile.createdMessage) + "\n" +
                          exportPath()});
    EXPECT_EQ(ExportedLines(), ExpectedExport(ordered));
    EXPECT_EQ(ShownRecord(), ordered[1].record);
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());

    if (window().searches.isEmpty()) return;
    const Search& search = window().searches.first();
    const Typed typed = MatchingText(search);
    Type(search.box, typed.text);
    Click("x7");
    Messages();
    EXPECT_EQ(ExportedLines(), ExpectedExport(typed.matches)) << "only the matches";
}

}  // namespace record_window_contract
