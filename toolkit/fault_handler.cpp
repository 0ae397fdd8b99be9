#include "toolkit/fault_handler.h"

#include "store/xbase.h"
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

void EndProcess() {
    if (seam::endProcess) {
        seam::endProcess(kFaultExitCode);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(kFaultExitCode);
}

void ShowStopBox(const QString& faultText, const QStringList& calledFrom) {
    const QString text = faultText + QStringLiteral("\n\n") + calledFrom.join(QLatin1Char('\n'));
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

void HandleFault(const Fault& fault) {
    if (handlingFault) {
        EndProcess();
        return;
    }
    handlingFault = true;
    const QString text = FaultText(fault);
    const QStringList calledFrom = CalledFromLines();

    AppendErrorLogEntry(QDir::current().filePath(QString::fromLatin1(kErrorLogName)), DTOC(DATE()),
                        TIME().toString(QStringLiteral("HH:mm:ss")), text, calledFrom);
    DBCLOSEALL();
    ShowStopBox(text, calledFrom);
    handlingFault = false;
    EndProcess();
}

}  // namespace

void InstallProgramFaultHandler() {
    SetFaultHandler(HandleFault);
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
