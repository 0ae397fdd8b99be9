#include "store/fault.h"

#include <cstring>
#include <utility>

namespace kesp {
namespace {

// One for each thread: a reader on a worker thread gets its faults thrown,
// never the program's stop box, which belongs to the thread of the windows.
FaultHandler& InstalledHandler() {
    static thread_local FaultHandler handler;
    return handler;
}

}  // namespace

QString Fault::text() const {
    QString result = QStringLiteral("%1 %2/%3  %4")
                         .arg(severity <= 1 ? QStringLiteral("Warning") : QStringLiteral("Error"),
                              subsystem, QString::number(subCode), description);
    const QString subject = fileName.isEmpty() ? operation : fileName;
    if (!subject.isEmpty()) result += QStringLiteral(": ") + subject;
    if (!detail.isEmpty()) result += QStringLiteral(" (%1)").arg(detail);
    if (osCode != 0) result += QStringLiteral(" (DOS Error %1)").arg(osCode);
    if (!remedy.isEmpty()) result += QStringLiteral(" - ") + remedy;
    return result;
}

QString Fault::reason() const {
    if (osCode != 0) return QString::fromLocal8Bit(std::strerror(osCode));
    return detail;
}

FaultException::FaultException(Fault fault)
    : std::runtime_error(fault.text().toStdString()), fault_(std::move(fault)) {}

FaultHandler SetFaultHandler(FaultHandler handler) {
    return std::exchange(InstalledHandler(), std::move(handler));
}

void RaiseFault(const Fault& fault) {
    if (const FaultHandler& handler = InstalledHandler()) handler(fault);
    throw FaultException(fault);
}

}  // namespace kesp
