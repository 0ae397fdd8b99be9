// The exports of both address books, byte for byte in each language, and
// what the user is told when the file cannot be written.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/resource.h>
#include <csignal>

namespace {

// Expected file contents are written as text and compared as Windows-1252
// bytes; every character used here is one of its Latin-1 part.
QByteArray Bytes(const QString& text) {
    return text.toLatin1();
}

const QList<AddressRow> kPeople = {
    {.vorname = "Jürgen",
     .nachname = "Weiß; Söhne",
     .geburtstag = QDate(2006, 12, 24),
     .liste = true,
     .free01 = "Der \"Chef\"",
     .free06 = true,
     .free10 = "  Zeile eins\r\nZeile zwei  "},
    {.vorname = "anna"},
};

struct Language {
    const char* code;
    const char* fileName;
    const char* message;
    const char* header;
    const char* anna;
    const char* juergen;
};

const char* const kPrivateCaptions =
    "Spitzname;Partner;Kinder;Hobbys;Homepage;Weihnachtskarte;Newsletter;Freund;Jahrestag;Notizen;";

using kesp::test::TestDriver;

class AddressExport : public AddressFixture {};

const Texts kCannotWrite{"Sorry, CSV Datei konnte nicht erstellt werden. Rechte und Schutz prüfen.",
                         "Sorry, I can not write the file. Permission?",
                         "Sorry, não foi possível criar o arquivo. Permissão?"};

TEST_F(AddressExport, PrivateBookFileIsByteForByteInEveryLanguage) {
    const Language languages[] = {
        {"DE", "Adressen_Privat.csv", "Adressen_Privat.csv wurde erstellt.",
         "Vorname;Nachname;Strasse;PLZ;Ort;Telefon;Handy;Fax;Email;Firma;Tel.Firma;Fax Firma;"
         "Email Firma;Geburtsdatum;Erinnern;",
         "anna;;;;;;;;;;;;;  .  .    ;Nein;;;;;;Nein;Nein;Nein;  .  .    ;;\r",
         "Jürgen;\"Weiß; Söhne\";;;;;;;;;;;;24.12.2006;Ja;\"Der \"\"Chef\"\"\";;;;;Ja;Nein;Nein;"
         "  .  .    ;Zeile eins Zeile zwei;\r"},
        {"AM", "Contacts_friends.csv", "File Contacts_friends.csv created.",
         "Firstname;Name;Street;ZIP;City;Telephone;Cellphone;Fax;Email;Firma;Tel.Firma;Fax Firma;"
         "Email Firma;Birthday;List;",
         "anna;;;;;;;;;;;;;  /  /    ;No;;;;;;No;No;No;  /  /    ;;\r",
         "Jürgen;\"Weiß; Söhne\";;;;;;;;;;;;12/24/2006;Yes;\"Der \"\"Chef\"\"\";;;;;Yes;No;No;"
         "  /  /    ;Zeile eins Zeile zwei;\r"},
        {"BR", "Contatos_amigos.csv", "Arquivo Contatos_amigos.csv foi criado.",
         "Nome;Sobrenome;Rua;CEP;Cidade;Telefone;Celular;Fax;Email;Firma;Tel.Firma;Fax Firma;"
         "Email Firma;Aniversário;Lista;",
         "anna;;;;;;;;;;;;;  /  /    ;Não;;;;;;Não;Não;Não;  /  /    ;;\r",
         "Jürgen;\"Weiß; Söhne\";;;;;;;;;;;;24/12/2006;Sim;\"Der \"\"Chef\"\"\";;;;;Sim;Não;Não;"
         "  /  /    ;Zeile eins Zeile zwei;\r"},
    };
    CreatePrivateBook(kPeople);
    for (const Language& language : languages) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_ADRESSE_P();
        TestDriver::click("form1", "x3");  // Jürgen is shown when the export starts
        TestDriver::click("form1", "x7");
        EXPECT_EQ(ExportedFile(language.fileName),
                  Bytes(QString(language.header) + kPrivateCaptions + "\r" + language.anna +
                        language.juergen));
        EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: " + QString(language.message) +
                                              "\n" + exportPath()});
        EXPECT_EQ(TestDriver::read("form1", "t_vorname").toString(), "Jürgen");
        EXPECT_EQ(QDir::currentPath() + "/", dataPath());
        TestDriver::closeWindow("form1");
    }
}

TEST_F(AddressExport, OnlyTheRecordsOfTheQuickSearchAreWrittenAndCaptionsAreTheCurrentOnes) {
    CreatePrivateBook(kPeople);
    OPENFORM_ADRESSE_P();
    SETPROPERTY("form1", "suche_ad_p", "value", "jü");
    WriteCaptions("freeadr_p.dbf", {"Eins;", "", "", "", "", "", "", "", "", "Zehn"});
    TestDriver::click("form1", "x7");
    const QByteArray file = ExportedFile("Adressen_Privat.csv");
    EXPECT_TRUE(file.contains(Bytes("Erinnern;\"Eins;\";;;;;;;;;Zehn;\rJürgen;")));
    EXPECT_FALSE(file.contains("anna"));
    EXPECT_EQ(file.count('\r'), 2);
}

TEST_F(AddressExport, NoVisibleRecordGivesTheHeaderLineAndAnotherExportOverwrites) {
    CreatePrivateBook({});
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x7");
    const QByteArray headerOnly = ExportedFile("Adressen_Privat.csv");
    EXPECT_TRUE(headerOnly.endsWith(QByteArray("Erinnern;") + kPrivateCaptions + "\r"));
    EXPECT_EQ(headerOnly.count('\r'), 1);
    TestDriver::closeWindow("form1");

    CreatePrivateBook(kPeople);
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x7");
    EXPECT_EQ(ExportedFile("Adressen_Privat.csv").count('\r'), 3);
    SETPROPERTY("form1", "suche_ad_p", "value", "an");
    TestDriver::click("form1", "x6");  // anna, the only match, answered Yes
    TakeMessages();
    TestDriver::click("form1", "x7");
    EXPECT_EQ(ExportedFile("Adressen_Privat.csv"), headerOnly) << "the search hides every record";
    EXPECT_EQ(TakeMessages().size(), 1) << "no question before overwriting";
}

TEST_F(AddressExport, BusinessBookFileIsByteForByte) {
    CreateBusinessBook({{.vorname = "Zander & Co",
                         .nachname = "Frau Öz",
                         .free06 = true,
                         .free09 = QDate(2007, 1, 31),
                         .free10 = "a\r\nb"},
                        {.vorname = "ACME"}});
    const char* const captions =
        "Abteilung;Position;Kundennummer;Konto;USt;Kunde;Lieferant;Newsletter;Letzter Kontakt;"
        "Notizen;\r";
    struct Business {
        const char* code;
        const char* fileName;
        const char* message;
        const char* header;
        const char* rows;
    };
    const Business languages[] = {
        {"DE", "Adressen_Firma.csv", "Adressen_Firma.csv wurde erstellt.",
         "Firma;Ansprechpartner;Strasse;PLZ;Ort;Telefon;Handy;Fax;Email;Tel.Firma;Fax Firma;"
         "Homepage;",
         "ACME;;;;;;;;;;;;;;;;;Nein;Nein;Nein;  .  .    ;;\r"
         "Zander & Co;Frau Öz;;;;;;;;;;;;;;;;Ja;Nein;Nein;31.01.2007;a b;\r"},
        {"AM", "Contacts_Firma.csv", "File Contacts_Firma.csv created.",
         "Firma;Contact person;Street;ZIP;City;Telephon;Cell phone;Fax;Email;Tel.Firma;Fax Firma;"
         "Homepage;",
         "ACME;;;;;;;;;;;;;;;;;No;No;No;  /  /    ;;\r"
         "Zander & Co;Frau Öz;;;;;;;;;;;;;;;;Yes;No;No;01/31/2007;a b;\r"},
        {"BR", "Contatos_Firma.csv", "Arquivo Contatos_Firma.csv foi criado.",
         "Firma;Pessoa de contato;Rua;CEP;Cidade;Telefone;Celular;Fax;Email;Tel.Firma;Fax Firma;"
         "Homepage;",
         "ACME;;;;;;;;;;;;;;;;;Não;Não;Não;  /  /    ;;\r"
         "Zander & Co;Frau Öz;;;;;;;;;;;;;;;;Sim;Não;Não;31/01/2007;a b;\r"},
    };
    for (const Business& language : languages) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_ADRESSE_G();
        TestDriver::click("form2", "x7");
        EXPECT_EQ(ExportedFile(language.fileName),
                  Bytes(QString(language.header) + captions + language.rows));
        EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: " + QString(language.message) +
                                              "\n" + exportPath()});
        TestDriver::closeWindow("form2");
    }
}

TEST_F(AddressExport, AFileThatCannotBeCreatedIsReportedAndChangesNothing) {
    CreatePrivateBook(kPeople);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_ADRESSE_P();
        TestDriver::click("form1", "x3");
        THE_EXPORT_PATH = folder_.path() + "/no such folder/";
        TestDriver::click("form1", "x7");
        const QString told = TakeMessages().join("|");
        EXPECT_TRUE(
            told.startsWith("MSGEXCLAMATION: " + TEXT(kCannotWrite) + "\n" + THE_EXPORT_PATH))
            << told.toStdString();
        EXPECT_EQ(TestDriver::read("form1", "t_vorname").toString(), "Jürgen");
        EXPECT_EQ(QDir::currentPath() + "/", dataPath());
        THE_EXPORT_PATH = exportPath();
        TestDriver::closeWindow("form1");
    }
}

TEST_F(AddressExport, AWriteThatFailsAfterCreationIsReportedNeverAsSuccess) {
    QList<AddressRow> many;
    for (int n = 0; n < 200; ++n)
        many.append({.vorname = QString("Person %1").arg(n)});
    CreatePrivateBook(many);
    QFile earlier(exportPath() + "Adressen_Privat.csv");
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier export\r");
    earlier.close();

    OPENFORM_ADRESSE_P();
    // The file system refuses every byte beyond the first kilobyte of a file.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    TestDriver::click("form1", "x7");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: " + TEXT(kCannotWrite) + "\n" + exportPath() +
                          "Adressen_Privat.csv: Die Datei hat die erlaubte Größe erreicht"});
    EXPECT_EQ(ExportedFile("Adressen_Privat.csv"), QByteArray("earlier export\r"));
}

TEST_F(AddressExport, ASymbolicLinkOfTheNameIsReplacedNeverFollowed) {
    CreatePrivateBook(kPeople);
    const QString outside = folder_.path() + "/outside.txt";
    QFile target(outside);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("not to be touched");
    target.close();
    ASSERT_TRUE(QFile::link(outside, exportPath() + "Adressen_Privat.csv"));
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x7");
    TakeMessages();
    const QFileInfo exported(exportPath() + "Adressen_Privat.csv");
    EXPECT_FALSE(exported.isSymLink());
    EXPECT_TRUE(exported.isFile());
    EXPECT_TRUE(ExportedFile("Adressen_Privat.csv").startsWith("Vorname;"));
    target.open(QIODevice::ReadOnly);
    EXPECT_EQ(target.readAll(), QByteArray("not to be touched"));
}

TEST_F(AddressExport, AFileThatCannotTakeThePlaceOfTheOldOneIsReportedNeverAsSuccess) {
    CreatePrivateBook(kPeople);
    // Something that is no file holds the export's name: the finished
    // export cannot be put in its place when the file is closed.
    ASSERT_TRUE(QDir(exportPath()).mkdir("Adressen_Privat.csv"));
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x7");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: " + TEXT(kCannotWrite) + "\n" + exportPath() +
                          "Adressen_Privat.csv: Ein Ordner trägt diesen Namen"});
    EXPECT_TRUE(QFileInfo(exportPath() + "Adressen_Privat.csv").isDir());
    EXPECT_EQ(QDir(exportPath()).entryList(QDir::Files), QStringList{}) << "no temporary file left";
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
}

TEST_F(AddressExport, LineBreaksThatAreNoMemoLineBreaksStillKeepEachRecordOnOneLine) {
    // A lone line feed in a memo, a carriage return another program wrote
    // into a text field.
    CreatePrivateBook({{.vorname = "Jo", .nachname = "Erste\rZweite", .free10 = "oben\nunten\r"}});
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x7");
    const QByteArray file = ExportedFile("Adressen_Privat.csv");
    EXPECT_EQ(file.count('\r'), 2);
    EXPECT_FALSE(file.contains('\n'));
    EXPECT_TRUE(file.contains("\rJo;Erste Zweite;")) << file.constData();
    EXPECT_TRUE(file.endsWith(";oben unten ;\r")) << file.constData();
}

}  // namespace
