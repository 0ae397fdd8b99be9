// The program Varnel Kesp 2.0: one main window from which every application
// is opened, and a few commands for scripts (command_line.h). It works inside
// the folder that holds it.
#include "shell/command_line.h"
#include "shell/start_up.h"
#include "shell/word_commands.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char** argv) {
    if (WordCommandNeedsDesktop(argc, argv)) {
        // The desktop's selection is read, or a window shown.
        QApplication desktop(argc, argv);
        return RunCommand(desktop.arguments().mid(1));
    }
    if (AsksForCommand(argc, argv)) {
        // A command runs without a graphical session.
        QCoreApplication commandLine(argc, argv);
        return RunCommand(commandLine.arguments().mid(1));
    }
    // Only the program's own name is handed on: other arguments mean nothing
    // to the windows.
    static int argumentCount = 1;
    QApplication application(argumentCount, argv);
    MAIN();
    return 0;
}
