#pragma once
// The account on a contacts and calendar server as the user set it up: where
// it is, who logs in, and the two exceptions the user may have allowed (one
// certificate that does not verify, plain http to another computer). The
// password is kept here only in memory; nothing in the WebDAV layer writes it
// anywhere.
#include <QByteArray>
#include <QString>
#include <QUrl>

struct DavAccount {
    QUrl server;  // what the user typed: https://host/ or http://127.0.0.1:5232/
    QString user;
    QString password;                 // never logged, never in a message or an error detail
    QByteArray trustedCertificate;    // SHA-256 fingerprint (hex, lower case) of the one
                                      // certificate the user accepted; empty: none
    bool plainHttpConfirmed = false;  // plain http to a host that is not this machine
};
