#include "shell/sync_commands.h"

#include "apps/common/dav_problem_text.h"
#include "kernel/problem_texts.h"
#include "kernel/texts.h"
#include "shell/address_sync.h"
#include "shell/command_steps.h"
#include "shell/keyring.h"
#include "shell/language.h"
#include "shell/server_account.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QTextStream>

#include <cstdio>

namespace {

QString PasswordFromInput() {
    QTextStream in(stdin);
    return in.readLine();
}

// The server's address book named `name` (by its last path segment or its
// display name), made when there is none.
DavResult BookNamed(DavConnection& server, const QList<DavCollection>& books, const QString& name,
                    QUrl* found) {
    for (const DavCollection& book : books) {
        const QString segment = book.url.adjusted(QUrl::StripTrailingSlash).fileName();
        if (segment == name || book.displayName == name) {
            *found = book.url;
            return {};
        }
    }
    DavCollection made;
    const DavResult result = server.makeAddressBook(name, &made);
    *found = made.url;
    return result;
}

// The server's calendar of events (`tasks`: task list) named `name`, made
// when there is none.
DavResult CalendarNamed(DavConnection& server, const QList<DavCollection>& calendars,
                        const QString& name, bool tasks, QUrl* found) {
    for (const DavCollection& calendar : calendars) {
        const QString segment = calendar.url.adjusted(QUrl::StripTrailingSlash).fileName();
        if ((segment == name || calendar.displayName == name) &&
            (tasks ? calendar.tasks : calendar.events)) {
            *found = calendar.url;
            return {};
        }
    }
    DavCollection made;
    const DavResult result = server.makeCalendar(name, tasks, &made);
    *found = made.url;
    return result;
}

void PrintAccount(const ServerAccount& account) {
    if (account.server.isEmpty()) {
        Out() << TEXT({"Kein Server eingerichtet (kesp --server URL BENUTZER).",
                       "No server set up (kesp --server URL USER).",
                       "Nenhum servidor configurado (kesp --server URL USUÁRIO)."})
              << '\n';
        return;
    }
    Out() << TEXT({"Server: %1", "Server: %1", "Servidor: %1"}).arg(account.server.toString())
          << '\n'
          << TEXT({"Benutzer: %1", "User: %1", "Usuário: %1"}).arg(account.user) << '\n'
          << "private → " << account.privateBook.toString() << '\n'
          << "business → " << account.businessBook.toString() << '\n'
          << "agenda → " << account.agendaCalendar.toString() << '\n'
          << "projects → " << account.projectsList.toString() << '\n';
    if (!account.lastSync.isEmpty())
        Out() << TEXT({"Zuletzt abgeglichen: %1", "Last synced: %1", "Última sincronização: %1"})
                     .arg(account.lastSync)
              << '\n';
    if (!account.lastProblem.isEmpty()) Out() << Lines(account.lastProblem) << '\n';
    Out().flush();
}

int ServerUsage() {
    PEEK_STORED_LANG();
    Err() << TEXT({"Aufruf: kesp --server [URL BENUTZER] (das Kennwort auf der Standardeingabe)",
                   "Usage: kesp --server [URL USER] (the password on standard input)",
                   "Uso: kesp --server [URL USUÁRIO] (a senha na entrada padrão)"})
          << Qt::endl;
    return 2;
}

}  // namespace

int ServerCommand(const QStringList& arguments) {
    if (arguments.size() != 0 && arguments.size() != 2) return ServerUsage();
    if (!PrepareCommand()) return 1;
    if (arguments.isEmpty()) {
        PrintAccount(ReadServerAccount());
        return 0;
    }
    ServerAccount account = ReadServerAccount();
    const QUrl url = QUrl::fromUserInput(arguments[0]);
    if (!url.isValid() || url.host().isEmpty()) return ServerUsage();
    const bool sameServer = account.server == url && account.user == arguments[1];
    account.server = url;
    account.user = arguments[1];
    const QString password = PasswordFromInput();
    DavConnection server({.server = url,
                          .user = account.user,
                          .password = password,
                          .trustedCertificate = account.trustedCertificate,
                          .plainHttpConfirmed = account.plainHttpConfirmed});
    QList<DavCollection> books;
    QUrl privateBook, businessBook;
    DavResult result = server.findAddressBooks(&books);
    if (result.ok()) result = BookNamed(server, books, QStringLiteral("private"), &privateBook);
    if (result.ok()) result = BookNamed(server, books, QStringLiteral("business"), &businessBook);
    QList<DavCollection> calendars;
    QUrl agendaCalendar, projectsList;
    if (result.ok()) result = server.findCalendars(&calendars);
    if (result.ok())
        result = CalendarNamed(server, calendars, QStringLiteral("agenda"), false, &agendaCalendar);
    if (result.ok())
        result = CalendarNamed(server, calendars, QStringLiteral("projects"), true, &projectsList);
    if (!result.ok()) {
        Err() << Lines(DavProblemText(result, url)) << Qt::endl;
        return 1;
    }
    // Another address book on the server: what it holds is compared anew.
    if (!sameServer || account.privateBook != privateBook) account.privateToken.clear();
    if (!sameServer || account.businessBook != businessBook) account.businessToken.clear();
    if (!sameServer || account.agendaCalendar != agendaCalendar) account.agendaToken.clear();
    if (!sameServer || account.projectsList != projectsList) account.projectsToken.clear();
    account.privateBook = privateBook;
    account.businessBook = businessBook;
    account.agendaCalendar = agendaCalendar;
    account.projectsList = projectsList;
    try {
        WriteServerAccount(account);
    } catch (const kesp::WriteFailure& failure) {
        Err() << Lines(WRITE_FAILURE_TEXT(failure)) << Qt::endl;
        return 1;
    }
    if (!StoreServerPassword(url, account.user, password))
        Out() << TEXT({"Kein Schlüsselbund auf diesem Desktop: kesp --sync liest das Kennwort "
                       "jedes Mal von der Standardeingabe.",
                       "No keyring on this desktop: kesp --sync reads the password from standard "
                       "input each time.",
                       "Nenhum chaveiro nesta área de trabalho: kesp --sync lê a senha da entrada "
                       "padrão a cada vez."})
              << '\n';
    PrintAccount(account);
    return 0;
}

int SyncCommand(const QStringList& arguments) {
    if (!arguments.isEmpty()) {
        PEEK_STORED_LANG();
        Err() << TEXT({"Aufruf: kesp --sync", "Usage: kesp --sync", "Uso: kesp --sync"})
              << Qt::endl;
        return 2;
    }
    if (!PrepareCommand()) return 1;
    const ServerAccount account = ReadServerAccount();
    if (account.server.isEmpty()) {
        PrintAccount(account);
        return 1;
    }
    const KeyringReading keyring = ReadServerPassword(account.server, account.user);
    const QString password =
        keyring.answer == KeyringAnswer::Found ? keyring.password : PasswordFromInput();
    SyncRun run;
    try {
        run = SyncAddressBooksNow(password);
    } catch (const kesp::WriteFailure& failure) {
        Err() << Lines(WRITE_FAILURE_TEXT(failure)) << Qt::endl;
        return 1;
    }
    DBCLOSEALL();
    for (const QString& line : run.summary)
        Out() << Lines(line) << '\n';
    Out().flush();
    if (!run.problem.isEmpty()) {
        Err() << Lines(run.problem) << Qt::endl;
        return 1;
    }
    return 0;
}
