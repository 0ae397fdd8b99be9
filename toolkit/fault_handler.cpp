#include "toolkit/fault_handler.h"

#include "store/xbase.h"
#include "toolkit/cut_table.h"
#include "toolkit/driver_seam.h"
#include "toolkit/error_log.h"
#include "toolkit/operation_trail.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace kesp {
namespace {

constexpr char kStopBoxTitle[] = "Program Error";
constexpr int kFaultExitCode = 1;

bool handlingFault = false;
QStringList laterFaults;   // raised while the first one was being handled
QStringList logFallbacks;  // where the log goes when the current folder cannot take it
QString stopBoxAdvice;     // what the user can do, shown under the fault

void EndProcess() {
    if (seam::endProcess) {
        seam::endProcess(kFaultExitCode);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(kFaultExitCode);
}

void ShowStopBox(const QString& text) {
    if (seam::answerMessageBox) {
        seam::answerMessageBox({QStringLiteral("STOP"), QString::fromLatin1(kStopBoxTitle), text});
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s\n%s\n", kStopBoxTitle, text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kStopBoxTitle), text,
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

// Appends the entry to "ErrorLog.Htm" in the current folder, else in the first
// fallback folder that takes it. The file written, "" for the current folder,
// or a null string when no folder took it.
QString AppendLogEntry(const QString& text, const QStringList& calledFrom) {
    const QString date = DTOC(DATE());
    const QString time = TIME().toString(QStringLiteral("HH:mm:ss"));
    const QString name = QString::fromLatin1(kErrorLogName);
    if (AppendErrorLogEntry(name, date, time, text, calledFrom)) return QStringLiteral("");
    for (const QString& folder : logFallbacks) {
        const QString path = QDir(folder).filePath(name);
        if (AppendErrorLogEntry(path, date, time, text, calledFrom)) return path;
    }
    return {};
}

void HandleFault(const Fault& fault) {
    if (fault.cutWhileOpen && InCutTableScope() && !handlingFault) {
        // It costs the windows of the table, not the program (cut_table.h):
        // logged once, then on to the action or list that read it.
        if (!LettingGoOfCutTable(fault.fileName)) {
            try {
                AppendLogEntry(FaultText(fault), CalledFromLines());
            } catch (const FaultException&) {
            }
        }
        return;
    }
    if (handlingFault) {
        // Unwinds to the handling below, which goes on to the stop box.
        laterFaults << FaultText(fault);
        throw FaultException(fault);
    }
    handlingFault = true;
    laterFaults.clear();
    const QString text = FaultText(fault);
    const QStringList calledFrom = CalledFromLines();

    QString logged;
    try {
        logged = AppendLogEntry(text, calledFrom);
    } catch (const FaultException&) {
        logged = QString();
    }
    // Nothing is written on the way out: the fault may have cut a change in half.
    try {
        DBCLOSEALLUNSAVED();
    } catch (const FaultException&) {
    }

    const auto stopBoxText = [&] {
        QString shown = text + QStringLiteral("\n\n") + calledFrom.join(QLatin1Char('\n'));
        for (const QString& later : laterFaults)
            shown += QStringLiteral("\n\nThen: ") + later;
        if (!stopBoxAdvice.isEmpty()) shown += QStringLiteral("\n\n") + stopBoxAdvice;
        if (logged.isNull()) {
            shown +=
                QStringLiteral("\n\nThe fault could not be written to %1 in the current folder")
                    .arg(QString::fromLatin1(kErrorLogName));
            for (const QString& folder : logFallbacks)
                shown += QStringLiteral(", nor in %1").arg(QDir::toNativeSeparators(folder));
            shown += QLatin1Char('.');
        } else if (!logged.isEmpty()) {
            shown += QStringLiteral(
                         "\n\nThe current folder could not take the fault log; it "
                         "was written to %1.")
                         .arg(QDir::toNativeSeparators(logged));
        }
        return shown;
    };
    // Code that runs while the box is up (a window repainting) may fault too:
    // the box is shown again with that fault added, until the user has read it.
    for (int shown = 0; shown < 3; ++shown) {
        try {
            ShowStopBox(stopBoxText());
            break;
        } catch (const FaultException&) {
        }
    }
    handlingFault = false;
    EndProcess();
}

}  // namespace

void InstallProgramFaultHandler(const QStringList& logFolders) {
    logFallbacks = logFolders;
    logFallbacks << QDir::tempPath();
    SetFaultHandler(HandleFault);
}

void SetStopBoxAdvice(const QString& advice) {
    stopBoxAdvice = advice;
}

QString FaultText(const Fault& fault) {
    if (fault.subsystem == QLatin1String(kFormsSubsystem))
        return QStringLiteral("Error: %1: %2")
            .arg(QString::fromLatin1(kFormsVersion), fault.description);
    return fault.text();
}

void RaiseFormsFault(const QString& description) {
    Fault fault;
    fault.severity = 2;
    fault.subsystem = QString::fromLatin1(kFormsSubsystem);
    fault.description = description;
    RaiseFault(fault);
}

}  // namespace kesp
