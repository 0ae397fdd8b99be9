// The contract every record window keeps, run over the description of every
// application: the description agrees with its installed table; opening packs
// and lists in the normal order; navigation stops at both ends; every search
// narrows, colours its box and counts; New prepares the form as the rows say;
// the required field guards Save new and Save; Save new, Save and Delete keep
// the count line on the records not marked deleted; the delete question names
// the record; the export writes the shown records in their order.
//
// The expectations come from a model of the sample records and from the
// description itself, so each application's own tests cover only what makes
// it different. A new application joins with one line in kApplications.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/business_operations.h"
#include "apps/addresses/private_addresses.h"
#include "apps/addresses/private_operations.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/custom/custom_database.h"
#include "apps/custom/custom_operations.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"
#include "data/installed_tables.h"
#include "kernel/public_variables.h"
#include "store/codec.h"
#include "store/xbase.h"
#include "tests/apps/record_fixture.h"
#include "toolkit/forms.h"

#include <QColor>
#include <QDir>
#include <QSet>

#include <algorithm>

namespace {

using kesp::test::TestDriver;

struct Application {
    const char* name;
    const RecordWindow& (*describe)();
    void (*open)();  // the main window's launch operation
};

void PrintTo(const Application& application, std::ostream* out) {
    *out << application.name;
}

const Application kApplications[] = {
    {"PrivateAddresses", PrivateAddressBook, OPENFORM_ADRESSE_P},
    {"BusinessAddresses", BusinessAddressBook, OPENFORM_ADRESSE_G},
    {"Projects", Projects, OPENFORM_PROJEKT},
    {"Tips", Tips, OPENFORM_TIPPS},
    {"CustomDatabase", MyApp, OPENFORM_MYAPP},
    {"Notes", Notes, OPENFORM_NOTIZ},
    {"Bookmarks", Bookmarks, OPENFORM_INTERNET},
};

// ---- The sample records and what the window should make of them ----------

const QStringList kNames = {"anna", "Anton", "Bernd", "Martin", "zoe"};
const QList<QDate> kDates = {QDate(2005, 12, 24), QDate(2007, 5, 3), QDate(2004, 1, 1),
                             QDate(2006, 12, 24), QDate(2008, 8, 15)};
constexpr int kDeleted = 2;  // Bernd, marked deleted before the window opens
const QDate kToday(2009, 6, 15);

struct Sample {
    int record = 0;
    QMap<QString, QVariant> values;  // by field name in capitals, as stored
};

const QColor kGreen{0, 255, 0};
const QColor kRed{255, 0, 0};
const QColor kWhite{255, 255, 255};

class RecordWindowContract : public RecordFixture,
                             public ::testing::WithParamInterface<Application> {
  protected:
    void SetUp() override {
        RecordFixture::SetUp();
        driver_.setToday(kToday);
        for (const kesp::TableDescription& table : kesp::InstalledTables())
            InstallTable(table.file);
        table_ = kesp::InstalledTable(window().table);
        ASSERT_NE(table_, nullptr);
        WriteSamples();
        if (window().readUserCaptions) {
            DBSELECTAREA(1);
            userCaptions_ = window().readUserCaptions();
        }
    }

    const RecordWindow& window() const { return GetParam().describe(); }
    const QString& name() const { return window().window; }

    void WriteSamples() {
        DBUSEAREA(false, dataPath() + table_->file, "samples");
        for (int k = 0; k < kNames.size(); ++k) {
            // Numbered as after the pack that removes the deleted one.
            Sample sample{.record = k < kDeleted ? k + 1 : k};
            DBAPPEND();
            for (int f = 0; f < table_->fields.size(); ++f) {
                const kesp::FieldDescription& field = table_->fields[f];
                QVariant value;
                switch (field.type) {
                    case 'C':
                        value = QString("%1 %2").arg(kNames[k]).arg(f).left(field.width);
                        break;
                    case 'M':
                        value = QString("%1\r\nZeile %2").arg(kNames[k]).arg(f);
                        break;
                    case 'D':
                        value = kDates[k];
                        break;
                    case 'L':
                        value = k % 2 == 0;
                        break;
                    default:
                        value = double(k + 1);
                }
                REPLACE(field.name, value);
                sample.values[field.name.toUpper()] = value;
            }
            if (k == kDeleted) {
                DBDELETE();
            } else {
                samples_.append(sample);
            }
        }
        DBCOMMIT();
        DBCLOSEALL();
    }

    const kesp::FieldDescription& Field(const QString& name) const {
        for (const kesp::FieldDescription& field : table_->fields)
            if (field.name.compare(name, Qt::CaseInsensitive) == 0) return field;
        ADD_FAILURE() << name.toStdString() << " is no field of " << table_->file.toStdString();
        static const kesp::FieldDescription none{};
        return none;
    }

    QVariant Value(const Sample& sample, const QString& field) const {
        return sample.values.value(field.toUpper());
    }

    // The key of a sample in an index, as text that sorts like the key.
    QString Key(const Sample& sample, const IndexFile& index) const {
        const QVariant value = Value(sample, index.field);
        const int width = Field(index.field).width;
        switch (index.form) {
            case KeyForm::Field:
                return value.toString().leftJustified(width);
            case KeyForm::Upper:
                return UPPER(value.toString().leftJustified(width));
            case KeyForm::DateText:
                return DTOC(value.toDate());
            case KeyForm::DateValue:
                return DTOS(value.toDate());
            case KeyForm::Descending:
                return QString::number(1e8 - value.toDate().toJulianDay(), 'f', 0);
            case KeyForm::Expression:
                break;  // no record window orders its list by a key text of its own
        }
        return {};
    }

    QList<Sample> InOrder(const QString& indexFile, const QList<Sample>& samples) const {
        const IndexFile& index = IndexNamed(window().indexes, indexFile);
        QList<Sample> ordered = samples;
        std::stable_sort(ordered.begin(), ordered.end(), [&](const Sample& a, const Sample& b) {
            return Key(a, index) < Key(b, index);
        });
        return ordered;
    }
    QList<Sample> InNormalOrder() const { return InOrder(window().normalOrder, samples_); }

    // The text of a sample that a search over the index compares the typed
    // text with: its key, or the date as text for a date in calendar order.
    QString Searched(const Sample& sample, const IndexFile& index) const {
        if (index.form == KeyForm::DateValue) return DTOC(Value(sample, index.field).toDate());
        return Key(sample, index);
    }

    // A list cell as the browse shows the field.
    QString Cell(const Sample& sample, const QString& field) const {
        const QVariant value = Value(sample, field);
        switch (Field(field).type) {
            case 'D':
                return DTOC(value.toDate());
            case 'L':
                return value.toBool() ? ".T." : ".F.";
            case 'M':
                return "<Memo>";
            default:
                return value.toString().trimmed();
        }
    }

    QStringList ExpectedColumn(const QList<Sample>& samples, int column) const {
        QStringList cells;
        for (const Sample& sample : samples)
            cells.append(Cell(sample, window().list.columns[column - 1].field));
        return cells;
    }

    QStringList Listed(int column = 1) const {
        return ListRows(name(), window().list.name, column);
    }
    int ShownRecord() const { return TestDriver::read(name(), window().list.name).toInt(); }
    QString Shown(const QString& control) const {
        return TestDriver::read(name(), control).toString();
    }
    QString CountLine(int count) const {
        return QString::number(count) + TEXT(window().countLine.words);
    }
    bool InEntryMode() const {
        const EntryButtons& entry = window().entryButtons;
        return TestDriver::isShown(name(), entry.save) &&
               TestDriver::isShown(name(), entry.cancel) &&
               !TestDriver::isShown(name(), "ToolBar_1");
    }
    void Click(const QString& control) { TestDriver::click(name(), control); }
    void Type(const QString& box, const QString& text) {
        TestDriver::clearText(name(), box);
        TestDriver::typeInto(name(), box, text);
    }
    QStringList Messages() { return TakeMessages(*window().messageTitle); }

    // The two first characters of a searched text that begin the searched
    // texts of the most records (the first such in the search's order),
    // typed as a user would (lower case where the key ignores case), and
    // those records.
    struct Typed {
        QString text;
        QList<Sample> matches;
    };
    Typed MatchingText(const Search& search) const {
        const IndexFile& index = IndexNamed(window().indexes, search.index);
        const QList<Sample> ordered = InOrder(search.index, samples_);
        Typed best;
        for (const Sample& candidate : ordered) {
            const QString prefix = Searched(candidate, index).left(2);
            Typed typed{index.form == KeyForm::Upper ? prefix.toLower() : prefix, {}};
            for (const Sample& sample : ordered)
                if (Searched(sample, index).startsWith(prefix)) typed.matches.append(sample);
            if (typed.matches.size() > best.matches.size()) best = typed;
        }
        return best;
    }

    const FieldRow& RequiredRow() const {
        return RowOfControl(window().fields, window().required.control);
    }
    QString RequiredMessage(const Wording& wording) const {
        const FieldRow& row = RequiredRow();
        const QString caption =
            window().required.namesCaption
                ? GETPROPERTY(name(), row.captionLabel, "caption").toString().trimmed()
                : QString();
        return "MSGEXCLAMATION: " + Say(wording, caption);
    }

    int StoredRecordCount() {
        DBCLOSEALL();
        SET_DELETED(false);
        DBUSEAREA(false, dataPath() + table_->file, "stored");
        const int count = RECCOUNT();
        DBCLOSEAREA();
        SET_DELETED(true);
        return count;
    }

    // What the export writes for one column of a sample.
    QString Exported(const Sample& sample, const ExportColumn& column) const {
        const QVariant value = Value(sample, column.field);
        switch (column.kind) {
            case FieldKind::Text:
                return value.toString().trimmed();
            case FieldKind::Memo:
                return value.toString().trimmed().replace("\r\n", " ");
            case FieldKind::Logical:
                return TEXT(value.toBool() ? Texts{"Ja", "Yes", "Sim"}
                                           : Texts{"Nein", "No", "Não"});
            case FieldKind::Date:
            case FieldKind::DateText:
                return DTOC(value.toDate());
        }
        return {};
    }

    QList<QStringList> ExpectedExport(const QList<Sample>& samples) const {
        const QList<ExportColumn> columns = ExportColumns(window());
        QStringList header;
        for (const ExportColumn& column : columns) {
            header.append(column.userCaption > 0 ? userCaptions_.value(column.userCaption - 1)
                                                 : TEXT(column.header));
        }
        QList<QStringList> lines{header};
        for (const Sample& sample : samples) {
            QStringList line;
            for (const ExportColumn& column : columns)
                line.append(Exported(sample, column));
            lines.append(line);
        }
        return lines;
    }

    QList<QStringList> ExportedLines() const {
        const QString text =
            kesp::store::DecodeText(ExportedFile(TEXT(window().exportFile.fileName)));
        EXPECT_TRUE(text.endsWith("\r"));
        QList<QStringList> lines;
        for (const QString& line : text.split('\r', Qt::SkipEmptyParts)) {
            EXPECT_TRUE(line.endsWith(';')) << line.toStdString();
            QStringList values = line.split(';');
            values.removeLast();
            lines.append(values);
        }
        return lines;
    }

    const kesp::TableDescription* table_ = nullptr;
    QList<Sample> samples_;  // the records not marked deleted, by record number
    QStringList userCaptions_;
};

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
    for (const FieldRow& row : window().fields) {
        const QVariant stored = Value(first, row.field);
        const QVariant shown = TestDriver::read(name(), row.control);
        switch (row.kind) {
            case FieldKind::Text:
                EXPECT_EQ(shown.toString(), stored.toString().trimmed())
                    << row.control.toStdString();
                break;
            case FieldKind::Logical:
                EXPECT_EQ(shown.toBool(), stored.toBool()) << row.control.toStdString();
                break;
            case FieldKind::Date:
                EXPECT_EQ(shown.toDate(), stored.toDate()) << row.control.toStdString();
                break;
            case FieldKind::DateText:
                EXPECT_EQ(shown.toString(), DTOC(stored.toDate())) << row.control.toStdString();
                break;
            case FieldKind::Memo:
                EXPECT_TRUE(shown.toString().startsWith(stored.toString().section('\r', 0, 0)));
                break;
        }
    }
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
    Click("x4");
    EXPECT_EQ(ShownRecord(), ordered[3].record);
    Click("x3");
    EXPECT_EQ(ShownRecord(), ordered[3].record) << "next on the last stays there";
    Click("x2");
    EXPECT_EQ(ShownRecord(), ordered[2].record);
    Click("x1");
    EXPECT_EQ(ShownRecord(), ordered[0].record);
    TestDriver::select(name(), window().list.name, 2);
    EXPECT_EQ(ShownRecord(), ordered[1].record);
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

        Type(search.box, typed.text + "}}");
        EXPECT_EQ(TestDriver::read(name(), search.box, "backcolor").value<QColor>(), kRed);
        EXPECT_EQ(Shown(line.name), missed);
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
    EXPECT_EQ(Shown(window().countLine.name), CountLine(3));
    EXPECT_EQ(Listed().size(), 3);
    EXPECT_EQ(ShownRecord(), ordered.first().record);

    // Under a search the count line still counts the table.
    if (!window().searches.isEmpty()) {
        const Search& search = window().searches.first();
        Type(search.box, MatchingText(search).text);
    }
    Click("x6");
    Messages();
    EXPECT_EQ(Shown(window().countLine.name), CountLine(2));
    TestDriver::closeWindow(name());
    EXPECT_EQ(StoredRecordCount(), 4) << "marked, removed at the next opening";
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

INSTANTIATE_TEST_SUITE_P(EveryApplication, RecordWindowContract, ::testing::ValuesIn(kApplications),
                         [](const ::testing::TestParamInfo<Application>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
