#include "shell/server_window.h"

#include "apps/common/dav_problem_text.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/keyring.h"
#include "shell/server_account.h"
#include "shell/sync_schedule.h"
#include "store/fault.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QThread>

#include <functional>
#include <memory>

namespace {

const QString kWindow = QStringLiteral("server");
const QString kAddress = QStringLiteral("Text_1");
const QString kUser = QStringLiteral("Text_2");
const QString kPassword = QStringLiteral("Text_3");
const QString kMinutes = QStringLiteral("Text_4");
const QString kPrivate = QStringLiteral("Combo_1");
const QString kBusiness = QStringLiteral("Combo_2");
const QString kAgenda = QStringLiteral("Combo_3");
const QString kProjects = QStringLiteral("Combo_4");
const QString kTestButton = QStringLiteral("Button_1");
const QString kOkButton = QStringLiteral("Button_2");
const QString kFound = QStringLiteral("Label_7");

const Texts kNewBook{"Neu anlegen: %1", "Make a new one: %1", "Criar um novo: %1"};

// What the window knows between its steps.
struct Shown {
    ServerAccount account;
    QList<DavCollection> books;
    QList<DavCollection> eventCalendars;  // the calendars that take events
    QList<DavCollection> taskLists;       // those that take tasks
    bool busy = false;
};

// What the user chose in the four combo boxes: an empty URL with a name to
// make when "Make a new one" is chosen.
struct Mapping {
    QUrl privateBook, businessBook, agendaCalendar, projectsList;
    QString makePrivate, makeBusiness, makeAgenda, makeProjects;
};

Shown& State() {
    static Shown shown;
    return shown;
}

// The collections a combo box chooses from.
QList<DavCollection>& ChoicesOf(const QString& combo) {
    if (combo == kAgenda) return State().eventCalendars;
    if (combo == kProjects) return State().taskLists;
    return State().books;
}

QString Typed(const QString& box) {
    return GETPROPERTY(kWindow, box, "value").toString().trimmed();
}

DavAccount TypedAccount() {
    const ServerAccount& account = State().account;
    QString password = GETPROPERTY(kWindow, kPassword, "value").toString();
    if (password.isEmpty())
        password = ReadServerPassword(QUrl::fromUserInput(Typed(kAddress)), Typed(kUser)).password;
    return {.server = QUrl::fromUserInput(Typed(kAddress)),
            .user = Typed(kUser),
            .password = password,
            .trustedCertificate = account.trustedCertificate,
            .plainHttpConfirmed = account.plainHttpConfirmed};
}

// Runs `work` in a thread of its own and `then` in the event loop after it.
void OffTheLoop(std::function<void()> work, std::function<void()> then) {
    State().busy = true;
    SETPROPERTY(kWindow, kTestButton, "enabled", false);
    SETPROPERTY(kWindow, kOkButton, "enabled", false);
    QThread* thread = QThread::create(std::move(work));
    QObject::connect(thread, &QThread::finished, thread, [thread, then = std::move(then)] {
        thread->deleteLater();
        State().busy = false;
        if (!ISWINDOWDEFINED(kWindow)) return;
        SETPROPERTY(kWindow, kTestButton, "enabled", true);
        SETPROPERTY(kWindow, kOkButton, "enabled", true);
        kesp::RunAction(then);
    });
    thread->start();
}

// Asks about the certificate or plain http the server was refused for;
// true when the user allows it (try again).
bool AllowedAfterAsking(const DavResult& result) {
    ServerAccount& account = State().account;
    if (result.problem == DavProblem::CertificateRefused &&
        MSGYESNO(TEXT({"Das Zertifikat des Servers ließ sich nicht prüfen.\rFingerabdruck "
                       "(SHA-256): %1\rVergleichen Sie ihn mit dem, den der Betreiber nennt. "
                       "Diesem einen Zertifikat vertrauen?",
                       "The server's certificate could not be verified.\rFingerprint (SHA-256): "
                       "%1\rCompare it with the one the server's owner gives. Trust this one "
                       "certificate?",
                       "O certificado do servidor não pôde ser verificado.\rImpressão digital "
                       "(SHA-256): %1\rCompare-a com a informada pelo responsável. Confiar "
                       "neste certificado?"})
                     .arg(QString::fromLatin1(result.certificateFingerprint)),
                 THE_APP_NAME)) {
        account.trustedCertificate = result.certificateFingerprint;
        return true;
    }
    if (result.problem == DavProblem::PlainHttpRefused &&
        MSGYESNO(TEXT({"Die Adresse beginnt mit http: Kennwort und Adressen gingen "
                       "unverschlüsselt durchs Netz. Trotzdem verwenden?",
                       "The address begins with http: the password and the addresses would "
                       "cross the network unencrypted. Use it anyway?",
                       "O endereço começa com http: a senha e os endereços passariam pela rede "
                       "sem criptografia. Usar assim mesmo?"}),
                 THE_APP_NAME)) {
        account.plainHttpConfirmed = true;
        return true;
    }
    return false;
}

QString BookText(const DavCollection& book) {
    const QString path = book.url.path();
    return book.displayName.isEmpty() ? path
                                      : book.displayName + QStringLiteral(" (") + path + u')';
}

// The books found, and a new one, in the list; `mapped` chosen when it is there.
void FillChoice(const QString& combo, const QUrl& mapped, const QString& newName) {
    DOMETHOD(kWindow, combo, "DeleteAllItems");
    const QList<DavCollection>& choices = ChoicesOf(combo);
    int chosen = 0;
    for (int at = 0; at < choices.size(); ++at) {
        DOMETHOD(kWindow, combo, "AddItem", BookText(choices[at]));
        const DavCollection& book = choices[at];
        if (book.url == mapped ||
            (chosen == 0 && mapped.isEmpty() &&
             book.url.adjusted(QUrl::StripTrailingSlash).fileName() == newName))
            chosen = at + 1;
    }
    DOMETHOD(kWindow, combo, "AddItem", TEXT(kNewBook).arg(newName));
    SETPROPERTY(kWindow, combo, "value", chosen > 0 ? chosen : int(choices.size()) + 1);
}

void FillChoices() {
    const ServerAccount& account = State().account;
    FillChoice(kPrivate, account.privateBook, QStringLiteral("private"));
    FillChoice(kBusiness, account.businessBook, QStringLiteral("business"));
    FillChoice(kAgenda, account.agendaCalendar, QStringLiteral("agenda"));
    FillChoice(kProjects, account.projectsList, QStringLiteral("projects"));
}

void TEST_SERVER() {
    KESP_OPERATION();
    if (State().busy) return;
    SETPROPERTY(kWindow, kFound, "value",
                TEXT({"Suche Adressbücher…", "Looking for address books…",
                      "Procurando catálogos de endereços…"}));
    auto found = std::make_shared<QList<DavCollection>>();
    auto calendars = std::make_shared<QList<DavCollection>>();
    auto result = std::make_shared<DavResult>();
    const DavAccount account = TypedAccount();
    OffTheLoop(
        [account, found, calendars, result] {
            DavConnection server(account);
            *result = server.findAddressBooks(found.get());
            // A server of address books only: the calendars stay to be made.
            if (result->ok() && !server.findCalendars(calendars.get()).ok()) calendars->clear();
        },
        [found, calendars, result] {
            if (!result->ok()) {
                SETPROPERTY(kWindow, kFound, "value", QString());
                if (AllowedAfterAsking(*result)) return TEST_SERVER();
                MSGEXCLAMATION(DavProblemText(*result, QUrl::fromUserInput(Typed(kAddress))),
                               THE_APP_NAME);
                return;
            }
            State().books = *found;
            State().eventCalendars.clear();
            State().taskLists.clear();
            for (const DavCollection& calendar : *calendars) {
                if (calendar.events) State().eventCalendars.append(calendar);
                if (calendar.tasks) State().taskLists.append(calendar);
            }
            SETPROPERTY(kWindow, kFound, "value",
                        COUNTED(int(found->size()),
                                {"%1 Adressbuch gefunden.", "%1 address book found.",
                                 "%1 catálogo de endereços encontrado."},
                                {"%1 Adressbücher gefunden.", "%1 address books found.",
                                 "%1 catálogos de endereços encontrados."}) +
                            u'\r' +
                            COUNTED(int(calendars->size()),
                                    {"%1 Kalender gefunden.", "%1 calendar found.",
                                     "%1 calendário encontrado."},
                                    {"%1 Kalender gefunden.", "%1 calendars found.",
                                     "%1 calendários encontrados."}));
            FillChoices();
        });
}

// The book chosen in `combo`; empty with `makeName` set: to be made.
QUrl Chosen(const QString& combo, QString* makeName, const QString& newName) {
    const int at = GETPROPERTY(kWindow, combo, "value").toInt();
    const QList<DavCollection>& choices = ChoicesOf(combo);
    if (at >= 1 && at <= choices.size()) return choices[at - 1].url;
    if (GETPROPERTY(kWindow, combo, "itemcount").toInt() > 0) *makeName = newName;
    return {};
}

void Save(const DavAccount& typed, const Mapping& chosen) {
    ServerAccount account = State().account;
    const bool sameServer = account.server == typed.server && account.user == typed.user;
    if (!sameServer || account.privateBook != chosen.privateBook) account.privateToken.clear();
    if (!sameServer || account.businessBook != chosen.businessBook) account.businessToken.clear();
    if (!sameServer || account.agendaCalendar != chosen.agendaCalendar) account.agendaToken.clear();
    if (!sameServer || account.projectsList != chosen.projectsList) account.projectsToken.clear();
    account.server = typed.server;
    account.user = typed.user;
    account.privateBook = chosen.privateBook;
    account.businessBook = chosen.businessBook;
    account.agendaCalendar = chosen.agendaCalendar;
    account.projectsList = chosen.projectsList;
    account.minutes = std::max(0, Typed(kMinutes).toInt());
    try {
        WriteServerAccount(account);
    } catch (const kesp::WriteFailure& failure) {
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure), THE_APP_NAME);
        return;
    }
    if (!GETPROPERTY(kWindow, kPassword, "value").toString().isEmpty() &&
        !StoreServerPassword(typed.server, typed.user, typed.password)) {
        KeepPasswordForThisRun(typed.password);
        MSGBOX(TEXT({"Auf diesem Desktop gibt es keinen Schlüsselbund: das Kennwort wird nicht "
                     "gespeichert, das Programm fragt nach jedem Start einmal danach.",
                     "This desktop has no keyring: the password is not stored, and the program "
                     "asks for it once after each start.",
                     "Esta área de trabalho não tem chaveiro: a senha não é guardada, e o "
                     "programa a pede uma vez após cada início."}),
               THE_APP_NAME);
    }
    DOMETHOD(kWindow, "Release");
    START_SYNC_SCHEDULE();
}

void SAVE_SERVER() {
    KESP_OPERATION();
    if (State().busy) return;
    const DavAccount typed = TypedAccount();
    if (!typed.server.isValid() || typed.server.host().isEmpty() || typed.user.isEmpty()) {
        MSGEXCLAMATION(TEXT({"Bitte Adresse und Benutzername des Servers angeben.",
                             "Please give the server's address and user name.",
                             "Informe o endereço e o nome de usuário do servidor."}),
                       THE_APP_NAME);
        DOMETHOD(kWindow, kAddress, "SetFocus");
        return;
    }
    // A typo in the minutes would silently switch the syncing off.
    bool number = false;
    const int minutes = Typed(kMinutes).toInt(&number);
    if (!number || minutes < 0) {
        MSGEXCLAMATION(TEXT({"Bitte die Minuten als Zahl angeben (0: nur beim Start, beim Beenden "
                             "und auf Wunsch).",
                             "Please give the minutes as a number (0: only at the start, at close "
                             "and when asked).",
                             "Informe os minutos como número (0: só ao iniciar, ao fechar e quando "
                             "pedido)."}),
                       THE_APP_NAME);
        DOMETHOD(kWindow, kMinutes, "SetFocus");
        return;
    }
    auto chosen = std::make_shared<Mapping>();
    chosen->privateBook = Chosen(kPrivate, &chosen->makePrivate, "private");
    chosen->businessBook = Chosen(kBusiness, &chosen->makeBusiness, "business");
    chosen->agendaCalendar = Chosen(kAgenda, &chosen->makeAgenda, "agenda");
    chosen->projectsList = Chosen(kProjects, &chosen->makeProjects, "projects");
    if (chosen->makePrivate.isEmpty() && chosen->makeBusiness.isEmpty() &&
        chosen->makeAgenda.isEmpty() && chosen->makeProjects.isEmpty())
        return Save(typed, *chosen);
    auto result = std::make_shared<DavResult>();
    OffTheLoop(
        [=] {
            DavConnection server(typed);
            // Each collection to make, and where its URL goes.
            const auto make = [&](const QString& name, QUrl& url, bool book, bool tasks) {
                if (name.isEmpty() || !result->ok()) return;
                DavCollection made;
                *result = book ? server.makeAddressBook(name, &made)
                               : server.makeCalendar(name, tasks, &made);
                if (result->ok()) url = made.url;
            };
            make(chosen->makePrivate, chosen->privateBook, true, false);
            make(chosen->makeBusiness, chosen->businessBook, true, false);
            make(chosen->makeAgenda, chosen->agendaCalendar, false, false);
            make(chosen->makeProjects, chosen->projectsList, false, true);
        },
        [=] {
            if (!result->ok()) {
                MSGEXCLAMATION(DavProblemText(*result, typed.server), THE_APP_NAME);
                return;
            }
            Save(typed, *chosen);
        });
}

void Caption(const QString& name, int row, const Texts& text) {
    _DEFINELABEL(name, {.row = row + 3,
                        .col = 20,
                        .width = 170,
                        .height = 18,
                        .value = TEXT(text),
                        .font = {"Arial", 9}});
}

void DefineServerWindow() {
    const ServerAccount& account = State().account;
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT({"Server", "Server", "Servidor"}),
                                 .width = 540,
                                 .height = 430,
                                 .mayClose = [] { return !State().busy; }});
    Caption("Label_1", 20, {"Adresse des Servers:", "Server address:", "Endereço do servidor:"});
    _DEFINETEXTBOX(kAddress, {.row = 20,
                              .col = 200,
                              .width = 310,
                              .height = 22,
                              .font = {"Arial", 9},
                              .value = account.server.toString()});
    Caption("Label_2", 50, {"Benutzername:", "User name:", "Nome de usuário:"});
    _DEFINETEXTBOX(kUser, {.row = 50,
                           .col = 200,
                           .width = 310,
                           .height = 22,
                           .font = {"Arial", 9},
                           .value = account.user});
    Caption("Label_3", 80, {"Kennwort:", "Password:", "Senha:"});
    _DEFINETEXTBOX(kPassword, {.row = 80,
                               .col = 200,
                               .width = 310,
                               .height = 22,
                               .font = {"Arial", 9},
                               .password = true});
    _DEFINEBUTTON(kTestButton, {.row = 112,
                                .col = 200,
                                .width = 100,
                                .height = 25,
                                .caption = TEXT({"Testen", "Test", "Testar"}),
                                .action = TEST_SERVER,
                                .font = {"Arial", 9}});
    _DEFINELABEL(kFound,
                 {.row = 110, .col = 310, .width = 210, .height = 30, .font = {"Arial", 8}});
    Caption("Label_4", 155, {"Adressen-Privat:", "Contacts (friends):", "Endereços (amigos):"});
    _DEFINECOMBOBOX(kPrivate,
                    {.row = 155, .col = 200, .width = 310, .height = 22, .font = {"Arial", 9}});
    Caption("Label_5", 185,
            {"Adressen-Geschäftl.:", "Contacts (business):", "Endereços comerciais:"});
    _DEFINECOMBOBOX(kBusiness,
                    {.row = 185, .col = 200, .width = 310, .height = 22, .font = {"Arial", 9}});
    Caption("Label_9", 215, {"Agenda (Kalender):", "Agenda (calendar):", "Agenda (calendário):"});
    _DEFINECOMBOBOX(kAgenda,
                    {.row = 215, .col = 200, .width = 310, .height = 22, .font = {"Arial", 9}});
    Caption("Label_10", 245,
            {"Projekte (Aufgaben):", "Projects (task list):", "Projetos (tarefas):"});
    _DEFINECOMBOBOX(kProjects,
                    {.row = 245, .col = 200, .width = 310, .height = 22, .font = {"Arial", 9}});
    Caption("Label_6", 285,
            {"Abgleich alle (Minuten):", "Sync every (minutes):", "Sincronizar a cada (minutos):"});
    _DEFINETEXTBOX(kMinutes, {.row = 285,
                              .col = 200,
                              .width = 50,
                              .height = 22,
                              .font = {"Arial", 9},
                              .maxLength = 4,
                              .value = QString::number(account.minutes)});
    _DEFINELABEL("Label_8", {.row = 288,
                             .col = 260,
                             .width = 260,
                             .height = 30,
                             .value = TEXT({"0: nur beim Start, beim Beenden und auf Wunsch",
                                            "0: only at the start, at close and when asked",
                                            "0: só ao iniciar, ao fechar e quando pedido"}),
                             .font = {"Arial", 8}});
    _DEFINEBUTTON(kOkButton, {.row = 350,
                              .col = 300,
                              .width = 100,
                              .height = 28,
                              .caption = TEXT({"OK", "OK", "OK"}),
                              .action = SAVE_SERVER,
                              .font = {"Arial", 9}});
    _DEFINEBUTTON("Button_3", {.row = 350,
                               .col = 410,
                               .width = 100,
                               .height = 28,
                               .caption = TEXT({"Abbrechen", "Cancel", "Cancelar"}),
                               .action = [] { DOMETHOD(kWindow, "Release"); },
                               .font = {"Arial", 9}});
    _ENDWINDOW();
}

void OPENSERVER() {
    KESP_OPERATION();
    const ServerAccount& account = State().account;
    if (!account.privateBook.isEmpty()) State().books.append({.url = account.privateBook});
    if (!account.businessBook.isEmpty() && account.businessBook != account.privateBook)
        State().books.append({.url = account.businessBook});
    if (!account.agendaCalendar.isEmpty())
        State().eventCalendars.append({.url = account.agendaCalendar, .events = true});
    if (!account.projectsList.isEmpty())
        State().taskLists.append({.url = account.projectsList, .tasks = true});
    FillChoices();
    DOMETHOD(kWindow, kAddress, "SetFocus");
}

}  // namespace

void OPENFORM_SERVER() {
    KESP_OPERATION();
    State() = {.account = ReadServerAccount()};
    if (State().account.server.isEmpty()) State().account.minutes = kDefaultSyncMinutes;
    DefineServerWindow();
    SETPROPERTY(kWindow, kAddress, "value", State().account.server.toString());
    DOMETHOD(kWindow, "Center");
    OPENSERVER();
    _ACTIVATEWINDOW(kWindow);
}
