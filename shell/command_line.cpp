#include "shell/command_line.h"

#include "apps/addresses/vcard_exchange.h"
#include "apps/common/export_file.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/backups.h"
#include "shell/calendar_commands.h"
#include "shell/coming_up.h"
#include "shell/command_steps.h"
#include "shell/everything_panel.h"
#include "shell/everything_search.h"
#include "shell/language.h"
#include "shell/reminders.h"
#include "shell/start_up.h"
#include "shell/sync_commands.h"
#include "shell/trash.h"
#include "shell/word_commands.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

const Texts kNoService{
    "Keine Erinnerung gezeigt: auf dem Desktop läuft kein Benachrichtigungsdienst.",
    "No reminder shown: no notification service runs on the desktop.",
    "Nenhum lembrete mostrado: não há serviço de notificações na área de trabalho."};

int ComingUpCommand(const QStringList& arguments) {
    bool given = false;
    const int days = arguments.value(0).toInt(&given);
    if (!arguments.isEmpty() && (!given || days < 1 || days > 60)) {
        PEEK_STORED_LANG();
        Err() << TEXT({"Die Zahl der Tage ist 1 bis 60.", "The number of days is 1 to 60.",
                       "O número de dias é de 1 a 60."})
              << Qt::endl;
        return 2;
    }
    if (!PrepareCommand()) return 1;
    const ReminderSettings settings = ReadReminderSettings();
    const QDate today = DATE();
    for (const QString& line : ComingUpLines(
             ComingUp(today, given ? days : settings.days, settings.customDateReminds), today))
        Out() << line << '\n';
    Out().flush();
    return 0;
}

// Posts the reminders that are due; while the program runs, it posts them itself.
int RemindCommand() {
    PREPARE_RUN(PROGRAM_FOLDER());
    kesp::SetFaultHandler(EndCommandOnFault);
    PEEK_STORED_LANG();
    if (!CLAIM_DATA_FOLDER()) return 0;
    const int posted = PostDueReminders(QDateTime::currentDateTime(), true);
    if (posted < 0) Err() << TEXT(kNoService) << Qt::endl;
    return 0;
}

// Backs the data up now, whatever the hour, and rotates the backups.
int BackupCommand() {
    if (!PrepareCommand()) return 1;
    const QDateTime now = QDateTime::currentDateTime();
    QString reason;
    const QString folder = MakeSnapshot(now, &reason);
    if (folder.isEmpty()) {
        Err() << Lines(reason) << Qt::endl;
        return 1;
    }
    RotateSnapshots(now);
    Out() << TEXT({"Gesichert in %1", "Backed up in %1", "Cópia feita em %1"})
                 .arg(QDir::toNativeSeparators(folder))
          << Qt::endl;
    return 0;
}

// The set-up of the commands that go back to a backup: the data folder
// claimed without reading a table, since a damaged one may be the reason.
bool PrepareBackupCommand() {
    PREPARE_RUN(PROGRAM_FOLDER());
    kesp::SetFaultHandler(EndCommandOnFault);
    PEEK_STORED_LANG();
    if (TAKE_DATA_FOLDER_LOCK()) return true;
    Err() << Lines(DATA_IN_USE_TEXT()) << Qt::endl;
    return false;
}

// The backups, newest first: the name --restore-backup takes, when, and the
// records, or why the backup cannot be restored.
int ListBackupsCommand() {
    if (!PrepareBackupCommand()) return 1;
    for (const Snapshot& snapshot : Snapshots()) {
        Out() << QFileInfo(snapshot.folder).fileName() << "  " << SnapshotWhen(snapshot) << "  ";
        const QString damage = SnapshotDamage(snapshot);
        if (!damage.isEmpty()) {
            Out() << TEXT({"beschädigt: ", "damaged: ", "danificada: "})
                  << QDir::toNativeSeparators(damage) << '\n';
            continue;
        }
        long long total = 0;
        for (const auto& count : SnapshotCounts(snapshot))
            total += count.second;
        Out() << TEXT({"%1 Einträge", "%1 records", "%1 registros"}).arg(total) << '\n';
    }
    Out().flush();
    return 0;
}

// Goes back to a backup without the windows, reading no table before it: the
// way back for a program that no longer starts.
int RestoreBackupCommand(const QStringList& arguments) {
    if (arguments.size() != 1 || arguments[0].isEmpty()) {
        PREPARE_RUN(PROGRAM_FOLDER());
        PEEK_STORED_LANG();
        Err() << TEXT({"Aufruf: kesp --restore-backup NAME (die Namen zeigt kesp --list-backups)",
                       "Usage: kesp --restore-backup NAME (kesp --list-backups shows the names)",
                       "Uso: kesp --restore-backup NOME (kesp --list-backups mostra os nomes)"})
              << Qt::endl;
        return 2;
    }
    if (!PrepareBackupCommand()) return 1;
    for (const Snapshot& snapshot : Snapshots()) {
        if (QFileInfo(snapshot.folder).fileName() != arguments[0]) continue;
        QString reason;
        if (!RestoreSnapshot(snapshot, QDateTime::currentDateTime(), &reason)) {
            Err() << Lines(reason) << Qt::endl;
            return 1;
        }
        Out() << Lines(SnapshotRestoredText(snapshot)) << Qt::endl;
        return 0;
    }
    Err() << TEXT({"Keine Sicherung heißt %1; die Namen zeigt kesp --list-backups.",
                   "No backup is named %1; kesp --list-backups shows the names.",
                   "Nenhuma cópia se chama %1; kesp --list-backups mostra os nomes."})
                 .arg(arguments[0])
          << Qt::endl;
    return 1;
}

int Find(const QStringList& words) {
    if (!PrepareCommand()) return 1;
    const QString typed = words.join(QLatin1Char(' '));
    QStringList unreadable;
    const std::vector<SearchGroup> groups = SearchEverything(typed, &unreadable);
    for (const QString& notice : unreadable)
        Err() << notice << '\n';
    Err().flush();
    for (const QString& line : EverythingResultLines(groups, FoldedWords(typed)))
        Out() << line << '\n';
    Out().flush();
    return 0;
}

const VCardBook* BookNamed(const QString& name) {
    if (name == QLatin1String("private")) return &PrivateVCardBook();
    if (name == QLatin1String("business")) return &BusinessVCardBook();
    return nullptr;
}

int VCardUsage(const QString& command) {
    PEEK_STORED_LANG();
    Err() << TEXT({"Aufruf: kesp %1 private|business DATEI%2",
                   "Usage: kesp %1 private|business FILE%2",
                   "Uso: kesp %1 private|business ARQUIVO%2"})
                 .arg(command, command == QLatin1String("--export-vcard")
                                   ? QStringLiteral(" [--vcard-version 3.0|4.0]")
                                   : QString())
          << Qt::endl;
    return 2;
}

// The book's table, every record not marked deleted, in the first work area.
void OpenBook(const VCardBook& book) {
    DBSELECTAREA("a");
    DBUSEAREA(false, THE_DATA_PATH + book.table, QStringLiteral("adressen"));
}

int ExportVCardCommand(const QStringList& arguments) {
    const QString command = QStringLiteral("--export-vcard");
    const VCardBook* book = BookNamed(arguments.value(0));
    VCardVersion version = VCardVersion::V40;
    if (arguments.size() == 4 && arguments[2] == QLatin1String("--vcard-version") &&
        (arguments[3] == QLatin1String("3.0") || arguments[3] == QLatin1String("4.0"))) {
        if (arguments[3] == QLatin1String("3.0")) version = VCardVersion::V30;
    } else if (arguments.size() != 2) {
        return VCardUsage(command);
    }
    if (!book || arguments[1].isEmpty()) return VCardUsage(command);
    const QString path = QFileInfo(arguments[1]).absoluteFilePath();
    if (!PrepareCommand()) return 1;
    int cards = 0;
    QByteArray bytes;
    try {
        OpenBook(*book);
        bytes = VCardFileOfView(*book, QStringLiteral("adressen"), version, &cards);
    } catch (const kesp::WriteFailure& failure) {
        Err() << Lines(WRITE_FAILURE_TEXT(failure)) << Qt::endl;
        return 1;
    }
    DBCLOSEALL();
    if (!WriteCommandFile(path, bytes,
                          TEXT({"Die vCard-Datei konnte nicht geschrieben werden:",
                                "The vCard file could not be written:",
                                "Não foi possível gravar o arquivo vCard:"})))
        return 1;
    Out() << Lines(VCardExportSummary(cards, version, path)) << '\n';
    Out().flush();
    return 0;
}

int ImportVCardCommand(const QStringList& arguments) {
    const VCardBook* book = BookNamed(arguments.value(0));
    if (!book || arguments.size() != 2 || arguments[1].isEmpty())
        return VCardUsage(QStringLiteral("--import-vcard"));
    const QString path = QFileInfo(arguments[1]).absoluteFilePath();
    if (!PrepareCommand()) return 1;
    VCardImport import;
    try {
        OpenBook(*book);
        import = ImportVCardFile(*book, QStringLiteral("adressen"), path);
        DBCLOSEALL();
    } catch (const kesp::WriteFailure& failure) {
        Err() << Lines(WRITE_FAILURE_TEXT(failure)) << '\n'
              << TEXT({"Keine Karte der Datei wurde gespeichert.",
                       "None of the file's cards was stored.",
                       "Nenhum cartão do arquivo foi gravado."})
              << Qt::endl;
        return 1;
    }
    if (!import.read) {
        Err() << Lines(import.problem) << Qt::endl;
        return 1;
    }
    Out() << Lines(VCardImportSummary(import)) << '\n';
    Out().flush();
    return 0;
}

// The usage, with the data folder, in the stored language.
int Help() {
    PREPARE_RUN(PROGRAM_FOLDER());
    PEEK_STORED_LANG();  // only looks: another copy may be running
    Out() << TEXT(
                 {"Aufruf: kesp [--find WÖRTER... | --coming [TAGE] | --remind | --export-vcard "
                  "BUCH DATEI | "
                  "--import-vcard BUCH DATEI | --export-ics DATEI | --import-ics DATEI | --backup "
                  "| --list-backups | --restore-backup NAME | --lookup [WÖRTER] | "
                  "--lookup-window [WÖRTER] | --export-learn DATEI | --server [URL BENUTZER] | "
                  "--sync | "
                  "--help | --version]\n"
                  "%1 ist eine persönliche Informationsverwaltung: Adressen, Geburtstage, "
                  "Agenda, Notizen, Projekte, Bookmarks, Tipps und ein Wörterbuch.\n"
                  "Ohne Argumente öffnet kesp sein Hauptfenster (dazu ist eine grafische "
                  "Sitzung nötig).\nDie Tabellen liegen im Ordner %2.\n\n"
                  "  --find WÖRTER   zeigt, was die Suche über alles findet\n"
                  "  --coming [TAGE] zeigt die kommenden Tage\n"
                  "  --remind        meldet die fälligen Erinnerungen auf dem Desktop\n"
                  "  --export-vcard private|business DATEI [--vcard-version 3.0|4.0]\n"
                  "                  schreibt ein Adressbuch als vCard-Datei\n"
                  "  --import-vcard private|business DATEI\n"
                  "                  liest eine vCard-Datei in ein Adressbuch ein\n"
                  "  --export-ics DATEI\n"
                  "                  schreibt die ganze Agenda als iCalendar-Datei\n"
                  "  --import-ics DATEI\n"
                  "                  liest eine iCalendar-Datei in die Agenda ein\n"
                  "  --backup        sichert die Daten jetzt\n"
                  "  --list-backups  zeigt die Sicherungen mit ihren Namen\n"
                  "  --restore-backup NAME\n"
                  "                  stellt eine Sicherung wieder her (auch wenn das Programm\n"
                  "                  nicht mehr startet)\n"
                  "  --lookup [WÖRTER]\n"
                  "                  zeigt die Paare des Wörterbuchs für die Wörter, ohne Wörter\n"
                  "                  für die markierte Auswahl des Desktops (unter Wayland die\n"
                  "                  Zwischenablage, wo es keine Auswahl gibt)\n"
                  "  --lookup-window [WÖRTER]\n"
                  "                  zeigt sie in einem kleinen Fenster beim Mauszeiger\n"
                  "  --export-learn DATEI\n"
                  "                  schreibt die zum Lernen markierten Paare in eine Datei\n"
                  "  --server [URL BENUTZER]\n"
                  "                  richtet den Kontakte- und Kalender-Server ein (das\n"
                  "                  Kennwort auf der Standardeingabe) oder zeigt ihn\n"
                  "  --sync          gleicht Adressbücher, Agenda und Projekte jetzt mit dem\n"
                  "                  Server ab\n"
                  "  --help          diese Hilfe zeigen und beenden\n"
                  "  --version       die Version zeigen und beenden\n",
                  "Usage: kesp [--find WORDS... | --coming [DAYS] | --remind | --export-vcard BOOK "
                  "FILE | "
                  "--import-vcard BOOK FILE | --export-ics FILE | --import-ics FILE | --backup | "
                  "--list-backups | --restore-backup NAME | --lookup [WORDS] | "
                  "--lookup-window [WORDS] | --export-learn FILE | --server [URL USER] | --sync | "
                  "--help | --version]\n"
                  "%1 is a personal information manager: addresses, birthdays, agenda, "
                  "notes, projects, bookmarks, tips and a word list.\n"
                  "Without arguments kesp opens its main window (a graphical session is "
                  "needed).\nThe tables are in the folder %2.\n\n"
                  "  --find WORDS    prints what the search over everything finds\n"
                  "  --coming [DAYS] prints the days ahead\n"
                  "  --remind        posts the reminders that are due on the desktop\n"
                  "  --export-vcard private|business FILE [--vcard-version 3.0|4.0]\n"
                  "                  writes an address book as a vCard file\n"
                  "  --import-vcard private|business FILE\n"
                  "                  reads a vCard file into an address book\n"
                  "  --export-ics FILE\n"
                  "                  writes the whole agenda as an iCalendar file\n"
                  "  --import-ics FILE\n"
                  "                  reads an iCalendar file into the agenda\n"
                  "  --backup        backs the data up now\n"
                  "  --list-backups  prints the backups with their names\n"
                  "  --restore-backup NAME\n"
                  "                  restores a backup (also when the program no longer\n"
                  "                  starts)\n"
                  "  --lookup [WORDS]\n"
                  "                  prints the dictionary's pairs for the words, without words\n"
                  "                  for the desktop's selection (on Wayland the clipboard where\n"
                  "                  there is no selection)\n"
                  "  --lookup-window [WORDS]\n"
                  "                  shows them in a small window beside the mouse pointer\n"
                  "  --export-learn FILE\n"
                  "                  writes the pairs marked to learn into a file\n"
                  "  --server [URL USER]\n"
                  "                  sets up the contacts and calendar server (the password\n"
                  "                  on standard input), or prints it\n"
                  "  --sync          syncs the address books, the agenda and the projects\n"
                  "                  with the server now\n"
                  "  --help          show this help and exit\n"
                  "  --version       show the version and exit\n",
                  "Uso: kesp [--find PALAVRAS... | --coming [DIAS] | --remind | --export-vcard "
                  "LIVRO ARQUIVO | "
                  "--import-vcard LIVRO ARQUIVO | --export-ics ARQUIVO | --import-ics ARQUIVO | "
                  "--backup | --list-backups | --restore-backup NOME "
                  "| --lookup [PALAVRAS] | --lookup-window [PALAVRAS] | --export-learn ARQUIVO | "
                  "--server [URL USUÁRIO] | --sync | --help | --version]\n"
                  "%1 é um gerenciador de informações pessoais: endereços, aniversários, "
                  "agenda, lembretes, projetos, favoritos, macetes e um dicionário.\n"
                  "Sem argumentos, kesp abre a sua janela principal (é necessária uma "
                  "sessão gráfica).\nAs tabelas estão na pasta %2.\n\n"
                  "  --find PALAVRAS mostra o que a busca em tudo encontra\n"
                  "  --coming [DIAS] mostra os próximos dias\n"
                  "  --remind        mostra na área de trabalho os lembretes pendentes\n"
                  "  --export-vcard private|business ARQUIVO [--vcard-version 3.0|4.0]\n"
                  "                  grava um livro de endereços como arquivo vCard\n"
                  "  --import-vcard private|business ARQUIVO\n"
                  "                  lê um arquivo vCard para um livro de endereços\n"
                  "  --export-ics ARQUIVO\n"
                  "                  grava a agenda inteira como arquivo iCalendar\n"
                  "  --import-ics ARQUIVO\n"
                  "                  lê um arquivo iCalendar para a agenda\n"
                  "  --backup        faz agora uma cópia dos dados\n"
                  "  --list-backups  mostra as cópias com os seus nomes\n"
                  "  --restore-backup NOME\n"
                  "                  restaura uma cópia (também quando o programa não\n"
                  "                  inicia mais)\n"
                  "  --lookup [PALAVRAS]\n"
                  "                  mostra os pares do dicionário para as palavras, sem palavras\n"
                  "                  para a seleção da área de trabalho (no Wayland a área de\n"
                  "                  transferência onde não há seleção)\n"
                  "  --lookup-window [PALAVRAS]\n"
                  "                  mostra-os numa pequena janela junto ao ponteiro do mouse\n"
                  "  --export-learn ARQUIVO\n"
                  "                  grava num arquivo os pares marcados para aprender\n"
                  "  --server [URL USUÁRIO]\n"
                  "                  configura o servidor de contatos e calendários (a senha\n"
                  "                  na entrada padrão) ou o mostra\n"
                  "  --sync          sincroniza agora os catálogos de endereços, a agenda e os\n"
                  "                  projetos com o servidor\n"
                  "  --help          mostrar esta ajuda e sair\n"
                  "  --version       mostrar a versão e sair\n"})
                 .arg(THE_APP_NAME, QDir::toNativeSeparators(THE_DATA_PATH));
    Out().flush();
    return 0;
}

int Version() {
    PREPARE_RUN(PROGRAM_FOLDER());
    Out() << THE_APP_NAME << '\n';
    Out().flush();
    return 0;
}

}  // namespace

bool AsksForCommand(int argc, char** argv) {
    return argc > 1 && QByteArray(argv[1]).startsWith("--");
}

int RunCommand(const QStringList& arguments) {
    const QString command = arguments.value(0);
    if (command == QLatin1String("--find")) return Find(arguments.mid(1));
    if (command == QLatin1String("--coming")) return ComingUpCommand(arguments.mid(1));
    if (command == QLatin1String("--help")) return Help();
    if (command == QLatin1String("--version")) return Version();
    if (command == QLatin1String("--remind")) return RemindCommand();
    if (command == QLatin1String("--backup")) return BackupCommand();
    if (command == QLatin1String("--list-backups")) return ListBackupsCommand();
    if (command == QLatin1String("--restore-backup")) return RestoreBackupCommand(arguments.mid(1));
    if (command == QLatin1String("--export-vcard")) return ExportVCardCommand(arguments.mid(1));
    if (command == QLatin1String("--import-vcard")) return ImportVCardCommand(arguments.mid(1));
    if (command == QLatin1String("--lookup")) return LookupCommand(arguments.mid(1));
    if (command == QLatin1String("--lookup-window")) return LookupWindowCommand(arguments.mid(1));
    if (command == QLatin1String("--export-learn")) return ExportLearnCommand(arguments.mid(1));
    if (command == QLatin1String("--export-ics")) return ExportCalendarCommand(arguments.mid(1));
    if (command == QLatin1String("--import-ics")) return ImportCalendarCommand(arguments.mid(1));
    if (command == QLatin1String("--server")) return ServerCommand(arguments.mid(1));
    if (command == QLatin1String("--sync")) return SyncCommand(arguments.mid(1));
    PEEK_STORED_LANG();
    Err() << TEXT({"Unbekannter Befehl: %1", "Unknown command: %1", "Comando desconhecido: %1"})
                 .arg(command)
          << Qt::endl;
    return 2;
}
