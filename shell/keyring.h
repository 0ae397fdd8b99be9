// The account's password in the desktop's keyring (the Secret Service, or
// what else qtkeychain finds), never in a table, a file or a message. With no
// keyring on the desktop the caller asks the user each time.
//
// The calls wait for the keyring in a loop of their own, at most a few
// seconds: a keyring that does not answer counts as none.
#pragma once

#include <QString>
#include <QUrl>

enum class KeyringAnswer { Found, NotFound, NoKeyring };

struct KeyringReading {
    KeyringAnswer answer = KeyringAnswer::NoKeyring;
    QString password;
};

KeyringReading ReadServerPassword(const QUrl& server, const QString& user);
// False when there is no keyring to keep it.
bool StoreServerPassword(const QUrl& server, const QString& user, const QString& password);
