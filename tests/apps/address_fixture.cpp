#include "tests/apps/address_fixture.h"

#include "kernel/public_variables.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>

#include <vector>

namespace {

std::vector<kesp::FieldSpec> AddressFields(bool privateBook) {
    std::vector<kesp::FieldSpec> fields = {
        {"VORNAME", 'C', 40}, {"NACHNAME", 'C', 40}, {"STRASSE", 'C', 40},
        {"PLZ", 'C', 10},     {"ORT", 'C', 40},      {"TEL", 'C', 20},
        {"HANDY", 'C', 20},   {"FAX", 'C', 20},      {"EMAIL", 'C', 60}};
    if (privateBook) fields.push_back({"FIRMA", 'C', 40});
    fields.insert(fields.end(),
                  {{"TELFIRMA", 'C', 20}, {"FAXFIRMA", 'C', 20}, {"EMAILFIRMA", 'C', 60}});
    if (privateBook) fields.insert(fields.end(), {{"GEBURTSTAG", 'D'}, {"LISTE", 'L'}});
    for (int n = 1; n <= 5; ++n)
        fields.push_back({QString("FREE0%1").arg(n), 'C', 50});
    for (int n = 6; n <= 8; ++n)
        fields.push_back({QString("FREE0%1").arg(n), 'L'});
    fields.push_back({"FREE09", 'D'});
    fields.push_back({"FREE10", 'M'});
    return fields;
}

std::vector<kesp::FieldSpec> CaptionFields() {
    std::vector<kesp::FieldSpec> fields;
    for (int n = 1; n <= 10; ++n) {
        const int width = (n >= 6 && n <= 8) ? 20 : (n == 9 ? 19 : 70);
        fields.push_back({QString("FREE%1").arg(n), 'C', width});
    }
    return fields;
}

}  // namespace

void AddressFixture::SetUp() {
    ASSERT_TRUE(folder_.isValid());
    QDir(folder_.path()).mkdir("data");
    QDir(folder_.path()).mkdir("export");
    THE_APP_PATH = folder_.path() + "/";
    THE_DATA_PATH = dataPath();
    THE_EXPORT_PATH = exportPath();
    SET_EXACT(false);
    SET_DELETED(true);
    SET_CENTURY(true);
    UseLanguage("DE");
    THE_ANZAHL = 0;
    CPESQ.clear();
    for (const char* table : {"freeadr_p.dbf", "freeadr_g.dbf"}) {
        kesp::CreateTable(dataPath() + table, CaptionFields());
        DBUSEAREA(false, dataPath() + table, "captions");
        DBAPPEND();
        DBCOMMIT();
        DBCLOSEAREA();
    }
    WriteCaptions("freeadr_p.dbf",
                  {"Spitzname", "Partner", "Kinder", "Hobbys", "Homepage", "Weihnachtskarte",
                   "Newsletter", "Freund", "Jahrestag", "Notizen"});
    WriteCaptions("freeadr_g.dbf",
                  {"Abteilung", "Position", "Kundennummer", "Konto", "USt", "Kunde", "Lieferant",
                   "Newsletter", "Letzter Kontakt", "Notizen"});
    CreatePrivateBook({});
    CreateBusinessBook({});
}

void AddressFixture::TearDown() {
    DBCLOSEALL();
    QDir::setCurrent(QDir::tempPath());
}

void AddressFixture::UseLanguage(const QString& code) {
    THE_LANG = code;
    if (code == "DE") SET_DATEFORMAT("dd.mm.yyyy");
    if (code == "AM") SET_DATEFORMAT("mm/dd/yyyy");
    if (code == "BR") SET_DATEFORMAT("dd/mm/yyyy");
}

void AddressFixture::CreatePrivateBook(const QList<AddressRow>& rows) {
    CreateBook("adressen_p.dbf", true, rows);
}

void AddressFixture::CreateBusinessBook(const QList<AddressRow>& rows) {
    CreateBook("adressen_g.dbf", false, rows);
}

void AddressFixture::CreateBook(const QString& table, bool privateBook,
                                const QList<AddressRow>& rows) {
    DBCLOSEALL();
    kesp::CreateTable(dataPath() + table, AddressFields(privateBook));
    DBUSEAREA(false, dataPath() + table, "fixture");
    for (const AddressRow& row : rows) {
        DBAPPEND();
        REPLACE("VORNAME", row.vorname);
        REPLACE("NACHNAME", row.nachname);
        if (privateBook) {
            REPLACE("GEBURTSTAG", row.geburtstag);
            REPLACE("LISTE", row.liste);
        }
        REPLACE("FREE01", row.free01);
        REPLACE("FREE06", row.free06);
        REPLACE("FREE09", row.free09);
        REPLACE("FREE10", row.free10);
        if (row.deleted) DBDELETE();
    }
    DBCOMMIT();
    DBCLOSEAREA();
}

// Both use a free work area, so that a window's table stays open.
void AddressFixture::WriteCaptions(const QString& table, const QStringList& captions) {
    const int previous = SELECT();
    DBUSEAREA(true, dataPath() + table, "captions");
    DBGOTOP();
    for (int n = 1; n <= 10; ++n)
        REPLACE(QString("FREE%1").arg(n), captions.value(n - 1));
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

QStringList AddressFixture::ReadCaptions(const QString& table) {
    const int previous = SELECT();
    DBUSEAREA(true, dataPath() + table, "captions");
    DBGOTOP();
    QStringList captions;
    for (int n = 1; n <= 10; ++n)
        captions.append(FIELD(QString("FREE%1").arg(n)).toString().trimmed());
    DBCLOSEAREA();
    DBSELECTAREA(previous);
    return captions;
}

QStringList AddressFixture::StoredNames(const QString& table) {
    DBCLOSEALL();
    SET_DELETED(false);
    DBUSEAREA(false, dataPath() + table, "stored");
    QStringList names;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        names.append((DELETED() ? "-" : "") + FIELD("VORNAME").toString().trimmed());
    }
    DBCLOSEAREA();
    SET_DELETED(true);
    return names;
}

QString AddressFixture::dataPath() const {
    return folder_.path() + "/data/";
}
QString AddressFixture::exportPath() const {
    return folder_.path() + "/export/";
}

QByteArray AddressFixture::ExportedFile(const QString& name) const {
    QFile file(exportPath() + name);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

QStringList AddressFixture::ListRows(const QString& window) {
    QStringList rows;
    const int count = kesp::test::TestDriver::browseRows(window, "Browse_1");
    for (int row = 1; row <= count; ++row)
        rows.append(kesp::test::TestDriver::browseCell(window, "Browse_1", row, 1));
    return rows;
}

QStringList AddressFixture::TakeMessages() {
    QStringList shown;
    for (const kesp::test::MessageBoxRecord& box : driver_.messageBoxes()) {
        EXPECT_EQ(box.title, "Varnel Kesp 2.0");
        shown.append(box.kind + ": " + box.text);
    }
    driver_.clearMessageBoxes();
    return shown;
}
