#include "shell/server_account.h"

#include "kernel/public_variables.h"
#include "kernel/settings_record.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kAlias = QStringLiteral("serveraccount");

QString Path() {
    return THE_DATA_PATH + kServerTable;
}

// Whether the table open in the current area has the calendars' fields.
bool HasCalendarField() {
    for (int field = 1; field <= FCOUNT(); ++field)
        if (FIELDNAME(field).compare(QLatin1String("KALENDER"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString Text(const char* field) {
    return FIELD(kAlias + "->" + field).toString().trimmed();
}

}  // namespace

ServerAccount ReadServerAccount() {
    ServerAccount account;
    if (!QFileInfo::exists(Path())) return account;
    const int previous = SELECT();
    DBUSEAREA(true, Path(), kAlias);
    if (!NETERR()) {
        DBGOTOP();
        if (!DBEOF()) {
            account.server = QUrl(Text("ADRESSE"));
            account.user = Text("BENUTZER");
            account.privateBook = QUrl(Text("PRIVAT"));
            account.businessBook = QUrl(Text("FIRMA"));
            account.privateToken = Text("TOKEN_P").toUtf8();
            account.businessToken = Text("TOKEN_G").toUtf8();
            account.trustedCertificate = Text("ZERTIFIKA").toLatin1();
            account.plainHttpConfirmed = FIELD(kAlias + "->HTTP").toBool();
            account.minutes = FIELD(kAlias + "->MINUTEN").toInt();
            account.lastSync = Text("ZULETZT");
            account.lastProblem = Text("FEHLER");
            // A table of the program before the calendars has no such fields.
            if (HasCalendarField()) {
                account.agendaCalendar = QUrl(Text("KALENDER"));
                account.projectsList = QUrl(Text("AUFGABEN"));
                account.agendaToken = Text("TOKEN_K").toUtf8();
                account.projectsToken = Text("TOKEN_A").toUtf8();
            }
        }
        DBCLOSEAREA();
    }
    DBSELECTAREA(previous);
    return account;
}

namespace {

// Whether the table is one of the program before the calendars (without
// their fields); closes it again. One that cannot be opened is left alone.
bool LacksCalendarFields() {
    const int previous = SELECT();
    DBSELECTAREA(0);
    DBUSEAREA(true, Path(), kAlias);
    bool lacks = false;
    if (!NETERR()) {
        lacks = !HasCalendarField();
        DBCLOSEAREA();
    }
    DBSELECTAREA(previous);
    return lacks;
}

}  // namespace

void WriteServerAccount(const ServerAccount& account) {
    // The one record is written whole below: a table of the program before
    // the calendars is made anew with their fields.
    if (QFileInfo::exists(Path()) && LacksCalendarFields()) QFile::remove(Path());
    if (!QFileInfo::exists(Path()))
        kesp::CreateTableWhole(Path(), {{"ADRESSE", 'C', 254, 0},
                                        {"BENUTZER", 'C', 100, 0},
                                        {"PRIVAT", 'C', 254, 0},
                                        {"FIRMA", 'C', 254, 0},
                                        {"TOKEN_P", 'C', 254, 0},
                                        {"TOKEN_G", 'C', 254, 0},
                                        {"ZERTIFIKA", 'C', 64, 0},
                                        {"HTTP", 'L', 1, 0},
                                        {"MINUTEN", 'N', 4, 0},
                                        {"ZULETZT", 'C', 16, 0},
                                        {"FEHLER", 'C', 254, 0},
                                        {"KALENDER", 'C', 254, 0},
                                        {"AUFGABEN", 'C', 254, 0},
                                        {"TOKEN_K", 'C', 254, 0},
                                        {"TOKEN_A", 'C', 254, 0}});
    const int previous = SELECT();
    DBSELECTAREA(0);  // a free area: the write closes what is open in the current one
    WriteSettingsRecord(kServerTable, kAlias, [&] {
        REPLACE(kAlias + "->ADRESSE", account.server.toString());
        REPLACE(kAlias + "->BENUTZER", account.user);
        REPLACE(kAlias + "->PRIVAT", account.privateBook.toString());
        REPLACE(kAlias + "->FIRMA", account.businessBook.toString());
        REPLACE(kAlias + "->TOKEN_P", QString::fromUtf8(account.privateToken));
        REPLACE(kAlias + "->TOKEN_G", QString::fromUtf8(account.businessToken));
        REPLACE(kAlias + "->ZERTIFIKA", QString::fromLatin1(account.trustedCertificate));
        REPLACE(kAlias + "->HTTP", account.plainHttpConfirmed);
        REPLACE(kAlias + "->MINUTEN", account.minutes);
        REPLACE(kAlias + "->ZULETZT", account.lastSync);
        REPLACE(kAlias + "->FEHLER", account.lastProblem);
        REPLACE(kAlias + "->KALENDER", account.agendaCalendar.toString());
        REPLACE(kAlias + "->AUFGABEN", account.projectsList.toString());
        REPLACE(kAlias + "->TOKEN_K", QString::fromUtf8(account.agendaToken));
        REPLACE(kAlias + "->TOKEN_A", QString::fromUtf8(account.projectsToken));
    });
    DBSELECTAREA(previous);
}
