#include "shell/start_up.h"

#include "apps/agenda/agenda_views.h"
#include "apps/words/learn_marks.h"
#include "data/installed_table_files.h"
#include "data/installed_tables.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/backups.h"
#include "shell/coming_up.h"
#include "shell/coming_up_window.h"
#include "shell/data_folder.h"
#include "shell/everything_panel.h"
#include "shell/folders.h"
#include "shell/help.h"
#include "shell/language.h"
#include "shell/lookup_service.h"
#include "shell/main_window.h"
#include "shell/reminders.h"
#include "shell/statistics.h"
#include "shell/sync_schedule.h"
#include "shell/trash.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/stale_index_files.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/beside_the_loop.h"
#include "toolkit/fault_handler.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <unistd.h>

#include <utility>
#include <vector>

namespace {

// What the start has to tell once the main window shows (tables of the trash
// set aside).
QString& ToldAtStart() {
    static QString text;
    return text;
}

}  // namespace

QString BACK_TO_A_BACKUP_TEXT() {
    // In the stored language, which the run takes on only with the main window.
    const QString language = THE_LANG;
    const QString dateFormat = DATEFORMAT();
    PEEK_STORED_LANG();
    const QString program = QDir::toNativeSeparators(THE_APP_PATH + QStringLiteral("kesp"));
    const QString text =
        TEXT({"Hält das Programm bei jedem Start so an, lässt sich eine Sicherung ohne "
              "Fenster wiederherstellen:\r%1 --list-backups\r%1 --restore-backup NAME",
              "If the program stops like this at every start, a backup can be restored "
              "without its windows:\r%1 --list-backups\r%1 --restore-backup NAME",
              "Se o programa parar assim a cada início, uma cópia de segurança pode ser "
              "restaurada sem as janelas:\r%1 --list-backups\r%1 --restore-backup NOME"})
            .arg(program)
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    THE_LANG = language;
    SET_DATEFORMAT(dateFormat);
    return text;
}

QString DATA_IN_USE_TEXT() {
    return TEXT({"Die Daten im Ordner %1 werden schon von einer anderen Kopie des "
                 "Programms benutzt.\rDiese Kopie wird beendet, ohne etwas zu ändern.",
                 "The data in the folder %1 is in use by another copy of the "
                 "program.\rThis copy ends without changing anything.",
                 "Os dados da pasta %1 já estão em uso por outra cópia do "
                 "programa.\rEsta cópia será encerrada sem alterar nada."})
        .arg(QDir::toNativeSeparators(THE_DATA_PATH));
}

bool CLAIM_DATA_FOLDER() {
    KESP_OPERATION();
    if (!TAKE_DATA_FOLDER_LOCK()) return false;
    // Read by the days ahead and written by the own application's naming window.
    MakeSureReminderSettingsExist();
    // A folder from before the word list's marks to learn receives their table.
    const QString marks = THE_DATA_PATH + kLearnMarksTable;
    if (!kesp::store::FileExists(marks))
        kesp::WriteInstalledTable(marks, *kesp::InstalledTable(kLearnMarksTable));
    return true;
}

bool TAKE_DATA_FOLDER_LOCK() {
    KESP_OPERATION();
    DataFolderLock() = {};
    // Every copy of the program takes the lock before it touches a table.
    FinishDataFolderSwap();
    kesp::store::FileHandle folder = kesp::store::FileHandle::OpenFolder(THE_DATA_PATH);
    if (!folder.TryLockExclusive()) return false;
    DataFolderLock() = std::move(folder);
    RemoveDataFolderLeftovers();
    return true;
}

namespace {

void TELL_DATA_IN_USE() {
    KESP_OPERATION();
    PEEK_STORED_LANG();
    MSGEXCLAMATION(DATA_IN_USE_TEXT(), THE_APP_NAME);
}

}  // namespace

void PREPARE_RUN(const QString& programFolder) {
    KESP_OPERATION();
    // Text "=" is the prefix comparison; records marked deleted are hidden;
    // dates have four-digit years ("dd/mm/yy" widened to "dd/mm/yyyy").
    SET_EXACT(false);
    SET_DELETED(true);
    SET_DATEFORMAT("dd/mm/yy");
    SET_CENTURY(true);

    THE_RECNO.clear();
    THE_ANZAHL = 0;
    CPESQ.clear();
    THE_LANG = "EN";
    THE_APP_NAME = "Varnel Kesp 2.0";
    THE_APP_NAME2 = "";
    KOPIERT = false;
    WAS = 0;
    THE_REC = 0;

    SET_FOLDERS(FoldersBeneath(programFolder));
    INSTALL_PROBLEM_TEXTS();
}

bool START_UP(const QString& programFolder) {
    KESP_OPERATION();
    PREPARE_RUN(programFolder);
    kesp::InstallProgramFaultHandler({THE_DATA_PATH});
    // A save that waits for a busy disk leaves the windows painted.
    kesp::WaitForTheDiskBesideTheLoop();
    SET_PICTURE_FOLDER(THE_APP_PATH);
    SET_HELP_ACTION(IEXPLORER);  // F1 in every window
    // Until the main window shows, a fault may come back at every start: the
    // stop box says how to go back to a backup without the windows.
    kesp::SetStopBoxAdvice(BACK_TO_A_BACKUP_TEXT());
    if (!CLAIM_DATA_FOLDER()) {
        TELL_DATA_IN_USE();
        return false;
    }
    ToldAtStart() = OPEN_TRASH(DATE());
    // The days ahead and the reminders read the appointments a series has
    // stored; a write refused here is told, and tried again when the agenda opens.
    try {
        STORE_SERIES_AHEAD();
    } catch (const kesp::WriteFailure& failure) {
        DBCLOSEALL();
        ToldAtStart() += (ToldAtStart().isEmpty() ? QString() : QStringLiteral("\r")) +
                         WRITE_FAILURE_TEXT(failure);
    }
    return true;
}

QString PROGRAM_FOLDER() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) break;
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const QByteArray executable(buffer.data(), n);
            const QByteArray folder =
                executable.left(std::max<qsizetype>(executable.lastIndexOf('/'), 1));
            const QString usable = kesp::store::UsableFolderName(folder);
            if (!usable.isEmpty()) return usable;
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    // Without the system's record: Qt's view of it, else the folder the
    // program was started in.
    const QString qtFolder = QCoreApplication::applicationDirPath();
    if (!qtFolder.isEmpty()) return qtFolder;
    return kesp::store::UsableFolderName(kesp::store::NativeFileName(kesp::store::CurrentFolder()));
}

void MAIN() {
    KESP_OPERATION();
    if (!START_UP(PROGRAM_FOLDER())) return;
    DEFINE_HAUPT();
    DOMETHOD("haupt", "Center");
    // `kesp --lookup-window` shows its window through this copy.
    OfferLookupService();
    // The reminders due every minute while the program runs; at the start,
    // once the main window shows its figures, those due already and the
    // days ahead when something is due today.
    // A write the system refuses is told like any other and tried again a
    // minute later.
    const Action postDue = [] { PostDueReminders(QDateTime::currentDateTime(), false); };
    QTimer reminders;
    QObject::connect(&reminders, &QTimer::timeout, [postDue] { kesp::RunAction(postDue); });
    reminders.start(60 * 1000);
    AFTER_NEXT_STATISTICS([postDue] {
        kesp::SetStopBoxAdvice({});
        // A backup the last close could not write is told once, and so are
        // tables of the trash set aside.
        const QString failedBackup = TakeFailedSnapshotNote();
        if (!failedBackup.isEmpty()) MSGEXCLAMATION(failedBackup, THE_APP_NAME);
        if (!ToldAtStart().isEmpty())
            MSGEXCLAMATION(std::exchange(ToldAtStart(), {}), THE_APP_NAME);
        kesp::RunAction(postDue);
        kesp::RunAction(OFFER_KOMMEND_AT_START);
        ReadAheadForEverythingSearch();
        kesp::RunAction(START_SYNC_SCHEDULE);
    });
    _ACTIVATEWINDOW("haupt");
    // The backup is made while the loop turns: nothing may write a table then.
    reminders.stop();
    END_RUN();
}

void END_RUN() {
    WithdrawLookupService();
    DBCLOSEALL();
    SYNC_AT_CLOSE();
    DBCLOSEALL();
    // Index files the day's writes left behind are built now, a file a turn of
    // the loop, rather than while tomorrow's first window opens.
    while (kesp::store::RefreshOneStaleIndexFile())
        QCoreApplication::processEvents();
    SNAPSHOT_AT_CLOSE(QDateTime::currentDateTime());
}
