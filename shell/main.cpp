// The program Varnel Kesp 2.0: one main window from which every application
// is opened. It takes nothing from the command line and works inside the
// folder that holds it.
#include "shell/start_up.h"

#include <QApplication>

int main(int, char** argv) {
    // Only the program's own name is handed on: the command line means nothing
    // to the program.
    static int argumentCount = 1;
    QApplication application(argumentCount, argv);
    MAIN();
    return 0;
}
