#include "toolkit/action_dispatch.h"

#include "toolkit/cut_table.h"
#include "toolkit/date_picker.h"

#include <QWidget>

#include <utility>

namespace kesp {
namespace {

void TellInEnglish(const WriteFailure& failure) {
    const Fault& fault = failure.fault();
    MSGEXCLAMATION(QStringLiteral("The file %1 could not be written: %2.\r"
                                  "The table is as it was when last saved. Free some space or "
                                  "check the drive, then try again.")
                       .arg(fault.fileName, fault.reason()),
                   QStringLiteral("Varnel Kesp 2.0"));
}

WriteFailureNotice& Notice() {
    static WriteFailureNotice notice = TellInEnglish;
    return notice;
}

}  // namespace

bool RunAction(const Action& action) {
    if (!action) return true;
    const CutTableScope scope;
    try {
        action();
        return true;
    } catch (const WriteFailure& failure) {
        Notice()(failure);
        return false;
    } catch (const FaultException& fault) {
        if (!fault.fault().cutWhileOpen) throw;
        LetGoOfCutTable(fault.fault());
        return false;
    }
}

bool RunStep(QWidget* in, const Action& action) {
    if (in != nullptr && RefuseTextThatIsNoDateIn(in->window())) return false;
    return RunAction(action);
}

void SetWriteFailureNotice(WriteFailureNotice notice) {
    Notice() = notice ? std::move(notice) : WriteFailureNotice(TellInEnglish);
}

}  // namespace kesp
