#include "shell/snapshot_beside_the_loop.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/backups.h"
#include "store/fault.h"
#include "toolkit/driver_seam.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <memory>
#include <optional>
#include <thread>

namespace {

const Texts kWriting{"Die Sicherung der Daten wird geschrieben …",
                     "Writing the backup of the data …",
                     "Gravando a cópia de segurança dos dados …"};
const Texts kCloseWithout{"Ohne Sicherung beenden", "Close without backup", "Fechar sem cópia"};
// A backup of a few files is done at once; longer, the window says why the
// program has not ended yet.
constexpr int kShownAfterMs = 200;
constexpr int kRefreshEveryMs = 50;

}  // namespace

std::unique_ptr<QProgressDialog> SnapshotProgressWindow(SnapshotProgress& progress) {
    auto window = std::make_unique<QProgressDialog>(TEXT(kWriting), TEXT(kCloseWithout), 0, 0);
    window->setObjectName(QStringLiteral("sicherung_beim_beenden"));
    window->setWindowTitle(THE_APP_NAME);
    window->setMinimumDuration(0);
    window->setAutoClose(false);
    window->setAutoReset(false);
    QObject::connect(window.get(), &QProgressDialog::canceled,
                     [&progress] { progress.cancel = true; });
    return window;
}

QString MakeSnapshotBesideTheLoop(const QDateTime& now, QString* reason) {
    SnapshotProgress progress;
    QString made;
    QString why;
    std::optional<kesp::Fault> fault;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            made = MakeSnapshot(now, &why, &progress);
        } catch (const kesp::FaultException& raised) {
            fault = raised.fault();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    std::unique_ptr<QProgressDialog> window;
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        if (kesp::seam::cancelWork) {
            if (kesp::seam::cancelWork(progress.copied, progress.files)) progress.cancel = true;
            return;
        }
        if (!window) {
            window = SnapshotProgressWindow(progress);
            window->show();
        }
        window->setMaximum(progress.files);
        window->setValue(progress.copied);
    });
    QTimer::singleShot(kShownAfterMs, &refresh, [&refresh] { refresh.start(kRefreshEveryMs); });
    loop.exec();
    worker.join();
    refresh.stop();
    window.reset();
    if (fault) kesp::RaiseFault(*fault);
    if (reason) *reason = why;
    return made;
}
