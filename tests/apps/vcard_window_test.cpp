// The vCard entries of both address books' windows: the list's records
// written under the file name of the language, a chosen file imported with
// its summary, the list showing the new records.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>

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
         "1 Karten (vCard 4.0) wurden geschrieben:", "Als vCard exportieren"},
        {"AM", OPENFORM_ADRESSE_P, "form1", "Contacts.vcf",
         "1 cards (vCard 4.0) written:", "Export as vCard"},
        {"BR", OPENFORM_ADRESSE_G, "form2", "Empresas.vcf",
         "1 cartões (vCard 4.0) foram gravados:", "Exportar como vCard"},
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
              QStringList{"MSGBOX: 1 Karte neu aufgenommen, 0 mit vorhandenen zusammengeführt, "
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

}  // namespace
