// Closing the program with the dictionary installed (some 300,000 pairs),
// with and without the backup it makes then. Each figure is measured in the
// same run:
//
//   close          the main window released and every table closed: what
//                  closing cost before backups (the yardstick);
//   first backup   the first snapshot of all, every file copied;
//   backup         the snapshot at a later close after a note was added: the
//                  changed tables copied, the others linked (goal: at most
//                  1 s more than the close).
//
//   backup_benchmark [runs]
#include "kernel/public_variables.h"
#include "shell/backups.h"
#include "shell/main_window.h"
#include "shell/start_up.h"
#include "store/xbase.h"
#include "toolkit/driver_seam.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

double Seconds(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void CopyApplicationFolder(const QString& folder) {
    for (const char* sub : {"data", "img", "export"})
        QDir(folder).mkpath(sub);
    for (const char* sub : {"data", "img"}) {
        const QString from = QString(KESP_APP_DIR) + "/" + sub;
        for (const QFileInfo& file : QDir(from).entryInfoList(QDir::Files))
            QFile::copy(file.absoluteFilePath(), folder + "/" + sub + "/" + file.fileName());
    }
}

void OpenMainWindow() {
    DEFINE_HAUPT();
    _ACTIVATEWINDOW("haupt");  // the statistics run once
}

void AddNote(int n) {
    DBUSEAREA(true, THE_DATA_PATH + "notiz.dbf", "notiz");
    DBAPPEND();
    REPLACE("N_TITEL", QString("Note %1").arg(n));
    REPLACE("N_TEXT", QString("A line of text for the memo. ").repeated(20));
    DBCLOSEALL();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir temporary;
    const QString folder = temporary.path();
    CopyApplicationFolder(folder);
    kesp::seam::activationReturnsAtOnce = true;
    kesp::seam::answerMessageBox = [](const kesp::seam::MessageBoxShown&) { return true; };
    QDir::setCurrent(folder);
    START_UP(folder);

    qint64 dataBytes = 0;
    for (const QFileInfo& file : QDir(THE_DATA_PATH).entryInfoList(QDir::Files))
        dataBytes += file.size();
    std::printf("data folder: %.1f MB\n", static_cast<double>(dataBytes) / 1e6);

    QDateTime now = QDateTime::currentDateTime();
    OpenMainWindow();
    const double close = Seconds([] {
        RELEASEWINDOW("haupt");
        DBCLOSEALL();
    });
    const double first = Seconds([&now] { SNAPSHOT_AT_CLOSE(now); });
    std::printf("close %.4f s   first backup %.4f s   (%.1f x the close)\n", close, first,
                first / close);

    double closes = 0;
    double backups = 0;
    for (int run = 1; run <= runs; ++run) {
        AddNote(run);
        OpenMainWindow();
        closes += Seconds([] {
            RELEASEWINDOW("haupt");
            DBCLOSEALL();
        });
        now = now.addSecs(2 * 3600);
        backups += Seconds([&now] { SNAPSHOT_AT_CLOSE(now); });
    }
    closes /= runs;
    backups /= runs;
    std::printf(
        "over %d closes: close %.4f s   backup %.4f s more (%.2f x the close; goal: at "
        "most 1 s more)\n",
        runs, closes, backups, backups / closes);
    return 0;
}
