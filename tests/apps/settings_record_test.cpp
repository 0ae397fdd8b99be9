// The write path of the one-record settings tables: the first record is
// written where it exists, appended where the table has lost it, and the
// field-naming windows save through it.
#include "kernel/settings_record.h"
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

namespace {

using kesp::test::TestDriver;

class SettingsRecord : public AddressFixture {
  protected:
    void CreateSettings(const QStringList& values, bool deleteThem = false) {
        kesp::CreateTable(dataPath() + "settings.dbf", {{"VALUE", 'C', 20}});
        DBUSEAREA(false, dataPath() + "settings.dbf", "s");
        for (const QString& value : values) {
            DBAPPEND();
            REPLACE("VALUE", value);
            if (deleteThem) DBDELETE();
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }
    // Every record, "-" before one marked deleted.
    QStringList Stored(const QString& table, const QString& field) {
        SET_DELETED(false);
        DBUSEAREA(false, dataPath() + table, "s");
        QStringList values;
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            values.append((DELETED() ? "-" : "") + FIELD(field).toString().trimmed());
        }
        DBCLOSEAREA();
        SET_DELETED(true);
        return values;
    }
    static void WriteValue(const QString& value) {
        WriteSettingsRecord("settings.dbf", "upd", [&value] { REPLACE("upd->VALUE", value); });
    }
};

TEST_F(SettingsRecord, WritesTheFirstRecordAndClosesTheTable) {
    CreateSettings({"old", "second"});
    WriteValue("new");
    EXPECT_FALSE(USED());
    EXPECT_EQ(Stored("settings.dbf", "VALUE"), (QStringList{"new", "second"}));
}

TEST_F(SettingsRecord, ATableWithoutItsRecordGetsItAppendedBeforeTheWrite) {
    CreateSettings({});
    WriteValue("kept");
    EXPECT_EQ(Stored("settings.dbf", "VALUE"), QStringList{"kept"});
    WriteValue("again");  // from now on the record is there
    EXPECT_EQ(Stored("settings.dbf", "VALUE"), QStringList{"again"});

    // A record marked deleted is no record to the readers either.
    CreateSettings({"gone"}, true);
    WriteValue("seen");
    EXPECT_EQ(Stored("settings.dbf", "VALUE"), (QStringList{"-gone", "seen"}));
}

TEST_F(SettingsRecord, TheNamingWindowSavesIntoACaptionsTableWithoutRecord) {
    InstallTable("freeadr_p.dbf", false);
    FREE_ADRESSE_P();
    EXPECT_EQ(TestDriver::read("freeprivat", "Text_1").toString(), "");
    TestDriver::typeInto("freeprivat", "Text_1", "Spitzname");
    TestDriver::typeInto("freeprivat", "Text_9", "Jahrestag");
    TestDriver::click("freeprivat", "Button_5");
    EXPECT_EQ(TestDriver::read("freeprivat", "Label_1").toString(), "Spitzname");
    EXPECT_EQ(TestDriver::read("freeprivat", "Label_9").toString(), "Jahrestag");
    TestDriver::closeWindow("freeprivat");
    EXPECT_EQ(Stored("freeadr_p.dbf", "FREE1"), QStringList{"Spitzname"});
    EXPECT_EQ(ReadCaptions("freeadr_p.dbf").value(8), "Jahrestag");
}

}  // namespace
