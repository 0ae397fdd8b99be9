// The fixture of the contract every record window keeps (the tests are in
// record_window_contract_test.cpp and record_window_editing_contract_test.cpp):
// the applications it runs over, a model of the sample records and what the
// window should make of them.
#pragma once

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
#include "tests/apps/record_applications.h"
#include "tests/apps/record_fixture.h"
#include "toolkit/forms.h"

#include <QColor>
#include <QDir>
#include <QSet>

#include <algorithm>
#include <optional>

namespace record_window_contract {

using kesp::test::TestDriver;

using Application = RecordApplication;
inline const auto& kApplications = kRecordApplications;

// ---- The sample records and what the window should make of them ----------

// Stored in another order than any list shows them, so that a list's value
// is seen to be the record number, not the row.
inline const QStringList kNames = {"Martin", "anna", "Bernd", "Anton", "zoe"};
inline const QList<QDate> kDates = {QDate(2005, 12, 24), QDate(2007, 5, 3), QDate(2004, 1, 1),
                                    QDate(2006, 12, 24), QDate(2008, 8, 15)};
inline constexpr int kDeleted = 2;  // Bernd, marked deleted before the window opens
inline const QDate kToday(2009, 6, 15);

struct Sample {
    int record = 0;
    QMap<QString, QVariant> values;  // by field name in capitals, as stored
};

inline const QColor kGreen{0, 255, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kWhite{255, 255, 255};

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
    QString CountLineAfterDeletion(int count) const {
        const Texts& words = window().countLine.afterDeletion;
        return IsBlank(words) ? CountLine(count) : QString::number(count) + TEXT(words);
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

    // Every control of the edit area shows the sample's stored value.
    void ExpectControlsShow(const Sample& sample) const {
        for (const FieldRow& row : window().fields) {
            const QVariant stored = Value(sample, row.field);
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
                    EXPECT_TRUE(shown.toString().startsWith(stored.toString().section('\r', 0, 0)))
                        << row.control.toStdString();
                    break;
            }
        }
    }

    // Every control of the edit area empty: the window stands on no record.
    void ExpectControlsEmpty() const {
        for (const FieldRow& row : window().fields) {
            const QVariant shown = TestDriver::read(name(), row.control);
            if (row.kind == FieldKind::Logical) {
                EXPECT_FALSE(shown.toBool()) << row.control.toStdString();
            } else if (row.kind == FieldKind::Date) {
                EXPECT_FALSE(shown.toDate().isValid()) << row.control.toStdString();
            } else if (row.kind == FieldKind::DateText) {
                EXPECT_EQ(shown.toString().trimmed(), DTOC(QDate()).trimmed())
                    << row.control.toStdString();
            } else {
                EXPECT_EQ(shown.toString(), "") << row.control.toStdString();
            }
        }
    }

    // Where a search that finds nothing leaves the window: a search over a
    // key range on the first record whose key follows the typed text (none
    // when no key does); one over a date in calendar order, compared as
    // text, on the first record of its order.
    std::optional<Sample> ShownAfterMiss(const Search& search, const QString& typed) const {
        const IndexFile& index = IndexNamed(window().indexes, search.index);
        const QList<Sample> ordered = InOrder(search.index, samples_);
        if (index.form == KeyForm::DateValue) return ordered.first();
        const QString key = index.form == KeyForm::Upper ? UPPER(typed.trimmed()) : typed.trimmed();
        for (const Sample& sample : ordered)
            if (Key(sample, index) >= key) return sample;
        return std::nullopt;
    }
    void ExpectShownAfterMiss(const Search& search, const QString& typed) const {
        const std::optional<Sample> shown = ShownAfterMiss(search, typed);
        if (shown) {
            EXPECT_EQ(ShownRecord(), shown->record) << typed.toStdString();
            ExpectControlsShow(*shown);
        } else {
            ExpectControlsEmpty();
        }
    }

    // Whether each stored record is marked deleted, in the file's order.
    QList<bool> StoredMarks() {
        DBCLOSEALL();
        SET_DELETED(false);
        DBUSEAREA(false, dataPath() + table_->file, "stored");
        QList<bool> marks;
        for (DBGOTOP(); !DBEOF(); DBSKIP())
            marks.append(DELETED());
        DBCLOSEAREA();
        SET_DELETED(true);
        return marks;
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

}  // namespace record_window_contract
