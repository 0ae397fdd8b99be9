#include "data/installed_tables.h"

#include <QDate>

namespace kesp {
namespace {

FieldDescription C(const QString& name, int width) {
    return {name, 'C', width, 0};
}
FieldDescription N(const QString& name, int width, int decimals = 0) {
    return {name, 'N', width, decimals};
}
FieldDescription D(const QString& name) {
    return {name, 'D', 8, 0};
}
FieldDescription L(const QString& name) {
    return {name, 'L', 1, 0};
}
FieldDescription M(const QString& name) {
    return {name, 'M', 10, 0};
}

// The ten extra fields of both address books: five texts, three yes/no
// values, a date and a long text.
QList<FieldDescription> ExtraAddressFields() {
    return {C("FREE01", 50), C("FREE02", 50), C("FREE03", 50), C("FREE04", 50), C("FREE05", 50),
            L("FREE06"),     L("FREE07"),     L("FREE08"),     D("FREE09"),     M("FREE10")};
}

// The captions table of an address book: FREE1..FREE10 as wide as the rename
// window lets them be typed.
QList<FieldDescription> CaptionFields() {
    return {C("FREE1", 70), C("FREE2", 70), C("FREE3", 70), C("FREE4", 70), C("FREE5", 70),
            C("FREE6", 20), C("FREE7", 20), C("FREE8", 20), C("FREE9", 19), C("FREE10", 70)};
}

FirstRecord Captions(const QStringList& ten) {
    FirstRecord record;
    for (int i = 0; i < ten.size(); ++i)
        record.append({QString("FREE%1").arg(i + 1), ten[i]});
    return record;
}

QList<TableDescription> Describe() {
    QList<TableDescription> tables;

    tables.append({"startlang.dbf", {C("LANG", 5)}, {{{"LANG", QString("AM")}}}});

    QList<FieldDescription> privateAddress = {
        C("VORNAME", 40),  C("NACHNAME", 40), C("STRASSE", 40),    C("PLZ", 10),    C("ORT", 40),
        C("TEL", 20),      C("HANDY", 20),    C("FAX", 20),        C("EMAIL", 60),  C("FIRMA", 40),
        C("TELFIRMA", 20), C("FAXFIRMA", 20), C("EMAILFIRMA", 60), D("GEBURTSTAG"), L("LISTE")};
    privateAddress.append(ExtraAddressFields());
    tables.append({"adressen_p.dbf", privateAddress, {}});

    tables.append(
        {"freeadr_p.dbf",
         CaptionFields(),
         {Captions({"Nickname", "Partner", "Children", "Hobbies", "Homepage", "Christmas card",
                    "Newsletter", "Close friend", "Anniversary", "Notes"})}});

    QList<FieldDescription> businessAddress = {
        C("VORNAME", 40), C("NACHNAME", 40), C("STRASSE", 40),  C("PLZ", 10),
        C("ORT", 40),     C("TEL", 20),      C("HANDY", 20),    C("FAX", 20),
        C("EMAIL", 60),   C("TELFIRMA", 20), C("FAXFIRMA", 20), C("EMAILFIRMA", 60)};
    businessAddress.append(ExtraAddressFields());
    tables.append({"adressen_g.dbf", businessAddress, {}});

    tables.append(
        {"freeadr_g.dbf",
         CaptionFields(),
         {Captions({"Department", "Position", "Customer number", "Bank account", "VAT number",
                    "Customer", "Supplier", "Newsletter", "Last contact", "Notes"})}});

    tables.append({"geburt.dbf", {D("DATUM")}, {{{"DATUM", QDate(1980, 1, 1)}}}});

    // What the coming-up list shows: how many days ahead, whether it opens at
    // the start, whether the own application's date counts as a reminder.
    tables.append(
        {"erinnern.dbf",
         {N("TAGE", 2), L("BEIMSTART"), L("EIGENDATUM"), N("MINUTEN", 3)},
         {{{"TAGE", 7.0}, {"BEIMSTART", true}, {"EIGENDATUM", false}, {"MINUTEN", 15.0}}}});

    // The reminders posted as desktop notifications, each once: the
    // application, the day and time it was for, and what it said.
    tables.append({"gemeldet.dbf", {C("ART", 12), D("TAG"), C("ZEIT", 5), C("TEXT", 120)}, {}});

    // TERMIN takes the 99 characters the entry box accepts; TINDEX is the
    // date text of ten characters followed by hour and minute.
    tables.append({"agenda.dbf",
                   {D("DATUM"), C("STUN", 2), C("MINU", 2), C("TERMIN", 100), C("TINDEX", 14)},
                   {}});

    // Which event each appointment belongs to (SATZ: its record number in
    // agenda.dbf), and the events that are more than a day, a time and a
    // text (a series, all day, an end, a place, a description, a time zone),
    // each written as an iCalendar text.
    tables.append({"agenda_uid.dbf",
                   {N("SATZ", 10), C("SCHLUESSEL", 20), C("UID", 200), C("RECID", 16)},
                   {}});
    // Each address book's cards on a contacts server, the agenda's events and
    // the projects' tasks on a calendar server: the record (SATZ; 0 for an
    // event, told by its UID), its name key then, the member's UID, place
    // (HREF) and version (ETAG), the fingerprint of what both sides last
    // agreed on and that member itself (BASIS, its UTF-8 bytes in Base64).
    for (const char* links : {"carddav_p.dbf", "carddav_g.dbf", "caldav_a.dbf", "caldav_t.dbf"})
        tables.append({links,
                       {N("SATZ", 10), C("NAME", 81), C("UID", 200), C("HREF", 254), C("ETAG", 100),
                        C("STAND", 64), M("BASIS")},
                       {}});
    tables.append(
        {"agenda_info.dbf",
         {C("UID", 200), C("RECID", 16), D("BIS"), L("OFFEN"), L("GELOESCHT"), M("EREIGNIS")},
         {}});

    tables.append({"notiz.dbf", {D("DATUM"), D("ERSTELLT"), C("N_TITEL", 50), M("N_TEXT")}, {}});

    tables.append({"projekt.dbf",
                   {D("DATUMA"), D("DATUME"), D("ERSTELLT"), L("FERTIG"), C("N_TITEL", 50),
                    M("N_TEIL"), M("N_TEXT")},
                   {}});

    tables.append(
        {"internet.dbf",
         {C("N_TITEL", 250), C("KATEG", 30), C("N_HYPER", 250), M("N_KOM"), D("ERSTELLT")},
         {}});

    tables.append({"Tricks.dbf", {C("TITEL", 254), M("BEZ")}, {}});
    tables.append({"ergeb.dbf", {C("TITEL", 254), M("BEZ"), N("THE_RECNO", 10)}, {}});

    // Filled from Debian's German-English dictionary at build time.
    tables.append({"de_en.dbf", {C("DE", 50), C("EN", 50)}, {}, true});
    // The word list's pairs marked to learn, by their text.
    tables.append({"lernen.dbf", {C("DE", 50), C("EN", 50)}, {}});

    tables.append(
        {"kespfree.dbf",
         {C("FREE01", 150), C("FREE02", 150), C("FREE03", 150), C("FREE04", 150), C("FREE05", 150),
          L("FREE06"), L("FREE07"), L("FREE08"), D("FREE09"), M("FREE10")},
         {}});

    // A new user's own application starts as a book list, named in English
    // like the installed language.
    QList<FieldDescription> names = {C("APPNAME", 30)};
    for (int i = 1; i <= 10; ++i)
        names.append(C(QString("FREE%1").arg(i, 2, 10, QChar('0')), 30));
    tables.append({"myfields.dbf",
                   names,
                   {{{"APPNAME", QString("Literature DB")},
                     {"FREE01", QString("Title")},
                     {"FREE02", QString("Author")},
                     {"FREE03", QString("Category")},
                     {"FREE04", QString("ISBN")},
                     {"FREE05", QString("Pages")},
                     {"FREE06", QString("borrowed")},
                     {"FREE07", QString("for sale")},
                     {"FREE08", QString("wanted")},
                     {"FREE09", QString("Date")},
                     {"FREE10", QString("Comments")}}}});
    return tables;
}

}  // namespace

const QList<TableDescription>& InstalledTables() {
    static const QList<TableDescription> tables = Describe();
    return tables;
}

const TableDescription* InstalledTable(const QString& file) {
    for (const TableDescription& table : InstalledTables())
        if (table.file.compare(file, Qt::CaseInsensitive) == 0) return &table;
    return nullptr;
}

}  // namespace kesp
