// What went wrong talking to a contacts or calendar server, as the user is
// told it: in the interface language, naming the server or the address and
// never the password.
#pragma once

#include "apps/common/dav_connection.h"

#include <QString>
#include <QUrl>

QString DavProblemText(const DavResult& result, const QUrl& server);
