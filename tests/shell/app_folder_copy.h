// A private copy of the built application folder for a test: the installed
// tables (the word list emptied: each start stays quick), the pictures, the
// export folder and the help pages. The program itself is linked in when
// asked, so that a test can run it as a command on that copy.
#pragma once

#include <QString>

// False (with a test failure) when the application folder has not been built.
bool CopyApplicationFolder(const QString& to, bool withProgram = false);
