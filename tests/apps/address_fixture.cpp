#include "tests/apps/address_fixture.h"

#include "kernel/public_variables.h"
#include "store/xbase.h"

void AddressFixture::SetUp() {
    RecordFixture::SetUp();
    InstallTable("freeadr_p.dbf");
    InstallTable("freeadr_g.dbf");
    WriteCaptions("freeadr_p.dbf",
                  {"Spitzname", "Partner", "Kinder", "Hobbys", "Homepage", "Weihnachtskarte",
                   "Newsletter", "Freund", "Jahrestag", "Notizen"});
    WriteCaptions("freeadr_g.dbf",
                  {"Abteilung", "Position", "Kundennummer", "Konto", "USt", "Kunde", "Lieferant",
                   "Newsletter", "Letzter Kontakt", "Notizen"});
    CreatePrivateBook({});
    CreateBusinessBook({});
}

void AddressFixture::CreatePrivateBook(const QList<AddressRow>& rows) {
    CreateBook("adressen_p.dbf", true, rows);
}

void AddressFixture::CreateBusinessBook(const QList<AddressRow>& rows) {
    CreateBook("adressen_g.dbf", false, rows);
}

void AddressFixture::CreateBook(const QString& table, bool privateBook,
                                const QList<AddressRow>& rows) {
    InstallTable(table);
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
