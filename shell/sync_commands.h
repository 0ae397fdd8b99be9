// The contacts server on the command line: --server URL USER sets the
// account (the password read from standard input) and keeps the private and
// the business book with the server's address books "private" and
// "business", made when missing; --server alone prints the account and the
// mapping, never the password; --sync syncs both books now. They refuse to
// touch a data folder the program has open (the program syncs itself then).
#pragma once

#include <QStringList>

int ServerCommand(const QStringList& arguments);
int SyncCommand(const QStringList& arguments);
