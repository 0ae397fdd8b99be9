// The catalogue of record kinds against the installed tables it describes,
// and each application's window opened on a record from it.
#include "shell/record_kinds.h"
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/business_operations.h"
#include "apps/addresses/private_addresses.h"
#include "apps/addresses/private_operations.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/custom/custom_database.h"
#include "apps/custom/custom_operations.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"
#include "data/installed_tables.h"
#include "kernel/public_variables.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using kesp::test::TestDriver;

const kesp::FieldDescription* FieldOf(const QString& table, const QString& name) {
    const kesp::TableDescription* described = kesp::InstalledTable(table);
    if (described == nullptr) return nullptr;
    for (const kesp::FieldDescription& field : described->fields)
        if (field.name.compare(name, Qt::CaseInsensitive) == 0) return &field;
    return nullptr;
}

// Fails unless `table` has a field `name` of one of the `types`.
void ExpectField(const QString& table, const QString& name, const QString& types) {
    const kesp::FieldDescription* field = FieldOf(table, name);
    ASSERT_NE(field, nullptr) << qPrintable(table + " has no field " + name);
    EXPECT_TRUE(types.contains(QChar(field->type)))
        << qPrintable(table + "->" + name + " is of type " + QChar(field->type));
}

TEST(RecordKinds, EveryEntryNamesFieldsOfItsInstalledTablesWithTheirTypes) {
    QSet<QString> buttons;
    QSet<QString> tablesNamed;
    for (const RecordKind& kind : RecordKinds()) {
        SCOPED_TRACE(kind.id.toStdString());
        const kesp::TableDescription* table = kesp::InstalledTable(kind.table);
        ASSERT_NE(table, nullptr);
        tablesNamed.insert(kind.table.toLower());
        for (const QString& other : kind.otherTables) {
            EXPECT_NE(kesp::InstalledTable(other), nullptr) << qPrintable(other);
            tablesNamed.insert(other.toLower());
        }
        const bool hasMemo = std::any_of(table->fields.begin(), table->fields.end(),
                                         [](const auto& field) { return field.type == 'M'; });
        if (kind.viewOf.isEmpty()) {
            EXPECT_EQ(kind.memoFile.isEmpty(), !hasMemo);
            if (hasMemo) {
                EXPECT_EQ(kind.memoFile, QFileInfo(kind.table).completeBaseName() + ".fpt");
            }
        } else {
            EXPECT_EQ(RecordKindNamed(kind.viewOf).table, kind.table);
            EXPECT_TRUE(kind.searchFields.isEmpty()) << "a view's records are searched once";
        }

        EXPECT_FALSE(NameFields(kind).isEmpty());
        for (const QString& field : NameFields(kind))
            ExpectField(kind.table, field, "CDN");
        for (const QString& field : kind.searchFields)
            ExpectField(kind.table, field, "CM");
        for (const KindDate& date : kind.dates) {
            ExpectField(kind.table, date.field, "D");
            if (!date.onlyWhere.isEmpty()) ExpectField(kind.table, date.onlyWhere, "L");
            if (date.meaning == DateMeaning::Appointment) {
                ExpectField(kind.table, date.hourField, "C");
                ExpectField(kind.table, date.minuteField, "C");
            }
            if (date.meaning == DateMeaning::Due) ExpectField(kind.table, date.doneField, "L");
            if (date.meaning == DateMeaning::Named) {
                EXPECT_GT(date.userCaption, 0);
            }
        }
        if (kind.userCaptions) {
            const UserCaptions& named = *kind.userCaptions;
            EXPECT_EQ(named.captionFields.size(), named.fields.size());
            for (const QString& field : named.captionFields)
                ExpectField(named.table, field, "C");
            for (const QString& field : named.fields)
                ExpectField(kind.table, field, "CLDM");
            if (!named.applicationName.isEmpty())
                ExpectField(named.table, named.applicationName, "C");
        }
        for (const KindStatistic& statistic : kind.statistics)
            if (statistic.today) {
                EXPECT_NE(DateOf(kind, *statistic.today), nullptr);
            }

        EXPECT_TRUE(kind.open);
        EXPECT_EQ(&RecordKindNamed(kind.id), &kind);
    }
    for (const PlacedKind& placed : PlacedKinds()) {
        EXPECT_FALSE(buttons.contains(placed.place.launchButton));
        EXPECT_FALSE(buttons.contains(placed.place.pictureButton));
        buttons << placed.place.launchButton << placed.place.pictureButton;
    }
    EXPECT_EQ(RecordKinds().size(), 10);
    // Every installed table belongs to an application, but the program's own
    // settings: the language, the birth date of the biorhythm, the coming-up list.
    for (const kesp::TableDescription& table : kesp::InstalledTables())
        if (table.file != "startlang.dbf" && table.file != "geburt.dbf" &&
            table.file != "erinnern.dbf" && table.file != "gemeldet.dbf") {
            EXPECT_TRUE(tablesNamed.contains(table.file.toLower())) << qPrintable(table.file);
        }
}

// Each record window shows what its entry says the application keeps: its
// table, and every field a search or a record's name reads among its rows.
TEST(RecordKinds, EachRecordWindowHoldsTheFieldsItsEntryNames) {
    const std::pair<const RecordKind*, const RecordWindow*> windows[] = {
        {&PrivateAddressesKind(), &PrivateAddressBook()},
        {&BusinessAddressesKind(), &BusinessAddressBook()},
        {&NotesKind(), &Notes()},
        {&ProjectsKind(), &Projects()},
        {&BookmarksKind(), &Bookmarks()},
        {&TipsKind(), &Tips()},
        {&MyAppKind(), &MyApp()},
    };
    for (const auto& [kind, window] : windows) {
        SCOPED_TRACE(kind->id.toStdString());
        EXPECT_EQ(RecordKindNamed(kind->id).table, window->table);
        QStringList rows;
        for (const FieldRow& row : window->fields)
            rows.append(row.field.toUpper());
        for (const QString& field : kind->searchFields + NameFields(*kind))
            EXPECT_TRUE(rows.contains(field)) << field.toStdString();
    }
}

// Where each application shows its records: its window and its list.
struct Shown {
    QString window;
    QString list;
};

Shown ShownIn(const QString& id) {
    static const QHash<QString, Shown> windows = {
        {"private", {"form1", "Browse_1"}},          {"birthdays", {"form3", "Browse_1"}},
        {"business", {"form2", "Browse_1"}},         {"agenda", {"agenda_frm", "Browse_1"}},
        {"notes", {"notiz_frm", "Browse_1"}},        {"projects", {"projekt_frm", "Browse_1"}},
        {"bookmarks", {"internet_frm", "Browse_1"}}, {"tips", {"tipps", "Browse_2"}},
        {"words", {"woerter_frm", "Browse_2"}},      {"custom", {"myapp_frm", "Browse_2"}},
    };
    return windows.value(id);
}

class RecordKindWindows : public InstalledProgram {
  protected:
    // A record whose every field holds a value of its kind, told apart by `n`.
    QList<std::pair<QString, QVariant>> Record(const RecordKind& kind, int n) {
        QList<std::pair<QString, QVariant>> values;
        for (const kesp::FieldDescription& field : kesp::InstalledTable(kind.table)->fields) {
            switch (field.type) {
                case 'C':
                    values.append({field.name, field.width <= 2 ? QString::number(10 + n)
                                                                : QString("Value %1").arg(n)});
                    break;
                case 'D':
                    values.append({field.name, QDate(2026, 3, n)});
                    break;
                case 'L':
                    values.append({field.name, true});
                    break;
                case 'M':
                    values.append({field.name, QString("Memo %1\nline two").arg(n)});
                    break;
                case 'N':
                    values.append({field.name, double(n)});
                    break;
            }
        }
        return values;
    }

    QString NameOfRecord(const RecordKind& kind, int record) {
        const QStringList captions = ReadUserCaptions(kind);
        DBUSEAREA(false, DataFile(kind.table), "t");
        DBGOTO(record);
        const QString name = RecordName(kind, "t", captions);
        DBCLOSEALL();
        return name;
    }
};

TEST_F(RecordKindWindows, EachApplicationOpensStandingOnTheRecordAskedFor) {
    OpenMainWindow();
    for (const RecordKind& kind : RecordKinds()) {
        SCOPED_TRACE(kind.id.toStdString());
        const Shown shown = ShownIn(kind.id);
        ASSERT_FALSE(shown.window.isEmpty());
        // The first record is marked deleted: the opening's pack moves the
        // asked one up by one.
        const int before = RecordCount(kind.table);
        for (int n = 1; n <= 3; ++n)
            AddRecord(kind.table, Record(kind, n));
        DeleteRecords(kind.table, [before] { return RECNO() == before + 1; });
        const int asked = before + 3;
        const QString name = NameOfRecord(kind, asked);
        ASSERT_FALSE(name.isEmpty());

        OpenRecordKindOn(kind, asked);
        ASSERT_TRUE(TestDriver::isOpen(shown.window));
        EXPECT_EQ(TestDriver::read(shown.window, shown.list).toInt(), before + 2);
        EXPECT_EQ(RecordName(kind, ALIAS(), ReadUserCaptions(kind)), name);
        TestDriver::closeWindow(shown.window);
        DBCLOSEALL();
    }
}

TEST_F(RecordKindWindows, RecordNamesFollowTheLanguageAndTheUsersCaptions) {
    StoreLanguage("DE");
    OpenMainWindow();
    AddRecord("agenda.dbf",
              {{"DATUM", QDate(2026, 12, 24)}, {"STUN", "18"}, {"MINU", "30"}, {"TERMIN", "Fest"}});
    AddRecord("kespfree.dbf", {{"FREE01", "Faust"}});
    AddRecord("de_en.dbf", {{"DE", "Haus"}, {"EN", "house"}});
    EXPECT_EQ(NameOfRecord(RecordKindNamed("agenda"), 1), "24.12.2026 18:30 Fest");
    EXPECT_EQ(NameOfRecord(RecordKindNamed("custom"), 1), "Title: Faust");
    EXPECT_EQ(NameOfRecord(RecordKindNamed("words"), 1), "Haus = house");
    EXPECT_EQ(KindName(RecordKindNamed("custom")), "Literature DB");
    EXPECT_EQ(KindName(RecordKindNamed("notes")), "Notizen");
}

}  // namespace
