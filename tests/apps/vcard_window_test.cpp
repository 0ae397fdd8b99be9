// The vCard entries of both address books' windows: the list's records
// written under the file name of the language, a chosen file imported with
// its summary, the list showing the new records.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

using kesp::test::TestDriver;

class VCardWindow : public AddressFixture {};

TEST_F(VCardWindow, EachBookWritesTheListsRecordsUnderTheNameOfTheLanguage) {
    const struct {
        const char* language;
        void (*open)();
        const char* window;
        const char* file;
        const char* written;
        const char* tip;
    } cases[] = {
        {"DE", OPENFORM_ADRESSE_P, "form1", "Kontakte.vcf",
         "1 Karte (vCard 4.0) wurde geschrieben:", "Als vCard exportieren"},
        {"AM", OPENFORM_ADRESSE_P, "form1", "Contacts.vcf",
         "1 card (vCard 4.0) written:", "Export as vCard"},
        {"BR", OPENFORM_ADRESSE_G, "form2", "Empresas.vcf",
         "1 cartão (vCard 4.0) foi gravado:", "Exportar como vCard"},
    };
    CreatePrivateBook({{.vorname = "Anna"}, {.vorname = "Bernd"}});
    CreateBusinessBook({{.vorname = "Acme"}, {.vorname = "Beta"}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        UseLanguage(c.language);
        c.open();
        EXPECT_EQ(TestDriver::read(c.window, "x9", "tooltip").toString(), c.tip);
        TestDriver::typeInto(c.window, "suche_ad_p", "b");
        TestDriver::click(c.window, "x9");
        EXPECT_EQ(TakeMessages(), QStringList{QString("MSGBOX: ") + c.written + "\n" +
                                              QDir::toNativeSeparators(exportPath() + c.file)});
        const QByteArray file = ExportedFile(c.file);
        EXPECT_EQ(file.count("BEGIN:VCARD"), 1) << file.toStdString();
        EXPECT_TRUE(file.contains(c.window == QString("form1") ? "FN:Bernd" : "ORG:Beta"));
        TestDriver::closeWindow(c.window);
    }
}

TEST_F(VCardWindow, AChosenFileIsImportedAndTheListShowsItsCards) {
    QFile file(exportPath() + "phone.vcf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Zander;Zoe\r\nTEL;CELL:0170 1\r\n"
        "TEL;CELL:0170 2\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/\r\n\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nEND:VCARD\r\n");
    file.close();
    CreatePrivateBook({{.vorname = "Anna"}});
    OPENFORM_ADRESSE_P();
    driver_.answerNextFile(file.fileName());
    TestDriver::click("form1", "x10");
    EXPECT_EQ(driver_.fileQuestions(), QStringList{"vCard importieren"});
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGBOX: 1 Karte neu aufgenommen, 0 vorhandene aktualisiert, "
                          "1 übersprungen.\n1 Wert ohne passendes Feld steht in den Notizen.\n"
                          "1 Foto, Schlüssel oder Ton wurde nicht übernommen."});
    EXPECT_EQ(ListRows("form1"), (QStringList{"Anna", "Zoe"}));
    EXPECT_EQ(TestDriver::read("form1", "label_anzahl").toString(), "2 Daten in der Datenbank.");

    // A damaged file: told, and nothing stored.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("BEGIN:VCARD\r\nN:Neu\r\n");
    file.close();
    driver_.answerNextFile(file.fileName());
    TestDriver::click("form1", "x10");
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("MSGEXCLAMATION: Die Datei wurde nicht eingelesen"))
        << told[0].toStdString();
    EXPECT_EQ(ListRows("form1"), (QStringList{"Anna", "Zoe"}));
    TestDriver::closeWindow("form1");
}

// A phone's file (no UIDs) imported, the record edited, the file with a new
// number imported again: the same person is updated, the edits stay, and
// Ctrl+Z brings back the version before the import.
TEST_F(VCardWindow, ASecondImportUpdatesOnlyWhatTheCardCarriesAndCtrlZTakesItBack) {
    const auto phoneFile = [this](const QString& tel) {
        QFile file(exportPath() + "phone.vcf");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Weber;Greta\r\nTEL;HOME:" + tel +
                    "\r\nEMAIL;HOME:greta@example.org\r\nNOTE:Kollegin\r\nEND:VCARD\r\n")
                       .toUtf8());
        return file.fileName();
    };
    CreatePrivateBook({});
    OPENFORM_ADRESSE_P();
    driver_.answerNextFile(phoneFile("0221 2222"));
    TestDriver::click("form1", "x10");
    TakeMessages();
    // The user's own additions: a mobile number, a nickname, a line of notes.
    DBSELECTAREA("adressen_p");
    DBGOTO(1);
    REPLACE("adressen_p->HANDY", "0170 9");
    REPLACE("adressen_p->FREE01", "Gre");
    REPLACE("adressen_p->FREE10", "Kollegin\r\nmag Tee");
    DBCOMMIT();

    driver_.answerNextFile(phoneFile("0221 3333"));
    TestDriver::click("form1", "x10");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGBOX: 0 Karten neu aufgenommen, 1 vorhandene "
                                          "aktualisiert, 0 übersprungen."});
    EXPECT_EQ(ListRows("form1"), QStringList{"Greta"});
    // Read where the window keeps the book open.
    const auto stored = [](const char* field) {
        DBSELECTAREA("adressen_p");
        DBGOTO(1);
        return FIELD(QString("adressen_p->") + field).toString().trimmed();
    };
    EXPECT_EQ(stored("TEL"), "0221 3333");
    EXPECT_EQ(stored("HANDY"), "0170 9");
    EXPECT_EQ(stored("FREE01"), "Gre");
    EXPECT_EQ(stored("FREE10"), "Kollegin\r\nmag Tee") << "a line of the notes never twice";

    QWidget* list = TestDriver::widget("form1", "Browse_1");
    QApplication::setActiveWindow(list->window());
    DOMETHOD("form1", "Browse_1", "SetFocus");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ListRows("form1"), QStringList{"Greta"});
    EXPECT_EQ(stored("TEL"), "0221 2222") << "the version before the import is back";
    EXPECT_EQ(stored("HANDY"), "0170 9");
    EXPECT_TRUE(TakeMessages().isEmpty());
    TestDriver::closeWindow("form1");
}

}  // namespace
