// Saving and deleting in the private address book when the disk is full or
// the drive fails: the user is told in the language of the window, naming the
// file and the reason; the table stays as it was; the form keeps what was
// typed and its mode; once there is room, the same click saves once.
#include "apps/addresses/private_addresses.h"
#include "kernel/problem_texts.h"
#include "store/file_handle.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>

#include <cerrno>

namespace {

using kesp::test::TestDriver;

QString Value(const QString& control) {
    return TestDriver::read("form1", control).toString();
}
void Type(const QString& control, const QString& text) {
    TestDriver::clearText("form1", control);
    TestDriver::typeInto("form1", control, text);
}
bool InEntryMode() {
    return TestDriver::isShown("form1", "Button_1") && !TestDriver::isShown("form1", "ToolBar_1");
}

class FullDisk : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        CreatePrivateBook({{.vorname = "Martin", .nachname = "Maier", .free10 = "alt"},
                           {.vorname = "anna", .nachname = "Albers"}});
        INSTALL_PROBLEM_TEXTS();
    }
    void TearDown() override {
        kesp::store::LimitRoomForTests(-1);
        kesp::store::FailFileChangesForTests(0, 0);
        kesp::SetWriteFailureNotice({});
        AddressFixture::TearDown();
    }
    // The address table's memo file, of whichever kind the fixture wrote.
    QString MemoFile() const {
        return QFile::exists(dataPath() + "adressen_p.fpt") ? "adressen_p.fpt" : "adressen_p.dbt";
    }
    QByteArray Stored(const QString& file) const {
        QFile stored(dataPath() + file);
        return stored.open(QIODevice::ReadOnly) ? stored.readAll() : QByteArray();
    }
    QString Told(const QString& file, const QString& reason) const {
        return "MSGEXCLAMATION: Die Datei " + QDir::toNativeSeparators(dataPath() + file) +
               " konnte nicht geschrieben werden: " + reason +
               ".\nDie Tabelle ist so, wie sie zuletzt gespeichert wurde. Bitte schaffen Sie Platz "
               "oder prüfen Sie den Datenträger und versuchen Sie es dann noch einmal.";
    }
};

TEST_F(FullDisk, SaveNewKeepsTheTypedRecordInEntryModeAndSavesItOnceThereIsRoom) {
    OPENFORM_ADRESSE_P();
    const QByteArray table = Stored("adressen_p.dbf");
    TestDriver::click("form1", "x5");
    Type("t_vorname", "Zora");
    Type("t_nachname", "Zimmer");

    kesp::store::LimitRoomForTests(0);
    TestDriver::click("form1", "Button_1");
    kesp::store::LimitRoomForTests(-1);

    EXPECT_EQ(TakeMessages(),
              QStringList{Told("adressen_p.dbf", "Kein Speicherplatz mehr auf dem Datenträger")});
    EXPECT_EQ(Stored("adressen_p.dbf"), table);
    EXPECT_TRUE(InEntryMode());
    EXPECT_EQ(Value("t_vorname"), "Zora");
    EXPECT_EQ(Value("t_nachname"), "Zimmer");
    EXPECT_EQ(ListRows("form1"), (QStringList{"anna", "Martin"}));

    TestDriver::click("form1", "Button_1");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(ListRows("form1"), (QStringList{"anna", "Martin", "Zora"}));
    TestDriver::closeWindow("form1");
    EXPECT_EQ(StoredNames("adressen_p.dbf"), (QStringList{"Martin", "anna", "Zora"}));
}

TEST_F(FullDisk, SaveKeepsTheChangedValuesAndTheStoredRecordAsItWas) {
    OPENFORM_ADRESSE_P();
    TestDriver::select("form1", "Browse_1", 2);
    ASSERT_EQ(Value("t_vorname"), "Martin");
    const QByteArray table = Stored("adressen_p.dbf");
    const QByteArray memo = Stored(MemoFile());
    Type("t_nachname", "Meier");
    SETPROPERTY("form1", "free10", "value", "alt und neu");

    kesp::store::LimitRoomForTests(0);
    TestDriver::click("form1", "x8");
    kesp::store::LimitRoomForTests(-1);

    EXPECT_EQ(TakeMessages(),
              QStringList{Told(MemoFile(), "Kein Speicherplatz mehr auf dem Datenträger")});
    EXPECT_EQ(Stored("adressen_p.dbf"), table);
    EXPECT_EQ(Stored(MemoFile()), memo);
    EXPECT_EQ(Value("t_nachname"), "Meier");
    EXPECT_EQ(Value("free10"), "alt und neu");
    EXPECT_EQ(FIELD("adressen_p->nachname").toString().trimmed(), "Maier");

    TestDriver::click("form1", "x8");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(FIELD("adressen_p->nachname").toString().trimmed(), "Meier");
    EXPECT_EQ(FIELD("adressen_p->free10").toString(), "alt und neu");
}

TEST_F(FullDisk, DeleteOnAFailingDriveKeepsTheRecord) {
    UseLanguage("BR");
    OPENFORM_ADRESSE_P();
    ASSERT_EQ(Value("t_vorname"), "anna");
    kesp::store::FailFileChangesForTests(1, EIO);
    TestDriver::click("form1", "x6");
    kesp::store::FailFileChangesForTests(0, 0);
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 2);  // the question, then the failure
    EXPECT_TRUE(told[1].startsWith("MSGEXCLAMATION: Não foi possível gravar o arquivo " +
                                   QDir::toNativeSeparators(dataPath() + "adressen_p.dbf") +
                                   ": Erro de entrada/saída da unidade."))
        << told[1].toStdString();
    EXPECT_EQ(ListRows("form1"), (QStringList{"anna", "Martin"}));
    TestDriver::closeWindow("form1");
    EXPECT_EQ(StoredNames("adressen_p.dbf"), (QStringList{"Martin", "anna"}));
}

TEST_F(FullDisk, PackingAtOpeningIsToldAndTheWindowClosesWithTheTableAsItWas) {
    CreatePrivateBook({{.vorname = "Martin"}, {.vorname = "weg", .deleted = true}});
    const QByteArray table = Stored("adressen_p.dbf");
    kesp::store::LimitRoomForTests(0);
    OPENFORM_ADRESSE_P();
    kesp::store::LimitRoomForTests(-1);
    EXPECT_EQ(TakeMessages(),
              QStringList{Told("adressen_p.dbf", "Kein Speicherplatz mehr auf dem Datenträger")});
    EXPECT_FALSE(TestDriver::isOpen("form1"));
    EXPECT_EQ(Stored("adressen_p.dbf"), table);

    OPENFORM_ADRESSE_P();
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(ListRows("form1"), QStringList{"Martin"});
}

}  // namespace
