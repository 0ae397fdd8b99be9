// The seam through which the test driver takes the place of the user and of
// the process end. The toolkit asks here before it shows a message box, runs
// a nested event loop or ends the process; the program itself never sets it.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace kesp::seam {

struct MessageBoxShown {
    QString kind;  // "MSGBOX", "MSGEXCLAMATION", "MSGYESNO" or "STOP"
    QString title;
    QString text;  // as the user would read it: line breaks as "\n"
};

// When set, answers a message box instead of the user (true: OK / Yes).
inline std::function<bool(const MessageBoxShown&)> answerMessageBox;

struct FileQuestion {
    QString title;
    QStringList filters;
    QString folder;
};

// When set, answers a file question instead of the user ("" cancels).
inline std::function<QString(const FileQuestion&)> answerFileQuestion;

// When true, activating a main or modal window returns right after the window
// is shown and initialised; the caller drives it and closes it.
inline bool activationReturnsAtOnce = false;

// When set, asked at every step a long piece of work reports (WorkProgress)
// instead of showing its progress; true cancels the work there, as the user's
// Cancel does.
inline std::function<bool(int done, int total)> cancelWork;

// When set, called instead of ending the process after a fault.
inline std::function<void(int exitCode)> endProcess;

}  // namespace kesp::seam
