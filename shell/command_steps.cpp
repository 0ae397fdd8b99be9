#include "shell/command_steps.h"

#include "kernel/problem_texts.h"
#include "shell/language.h"
#include "shell/start_up.h"
#include "shell/trash.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Faults end a command with their text on standard error, not with a window;
// a table another program cut short meanwhile is told in the user's language.
void EndOnFault(const kesp::Fault& fault) {
    CommandErr() << (fault.cutWhileOpen ? CommandLines(CUT_TABLE_TEXT(fault)) : fault.text())
                 << Qt::endl;
    std::exit(1);
}

}  // namespace

QTextStream& CommandOut() {
    static QTextStream out(stdout);
    return out;
}

QTextStream& CommandErr() {
    static QTextStream err(stderr);
    return err;
}

QString CommandLines(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void PrepareReadingCommand() {
    PREPARE_RUN(PROGRAM_FOLDER());
    kesp::SetFaultHandler(EndOnFault);
    PEEK_STORED_LANG();
}

bool PrepareCommand() {
    PrepareReadingCommand();
    if (!CLAIM_DATA_FOLDER()) {
        CommandErr() << CommandLines(DATA_IN_USE_TEXT()) << Qt::endl;
        return false;
    }
    // What a killed pack left is finished first, as at the start of the windows.
    const QString told = OPEN_TRASH(DATE());
    if (!told.isEmpty()) CommandErr() << CommandLines(told) << Qt::endl;
    return true;
}
