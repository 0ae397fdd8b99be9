// The account on a contacts and calendar server: its address, the user,
// which of its address books each book of the program is kept with, the
// calendar the agenda and the task list the projects are kept with, the sync
// tokens, the
// one certificate the user trusts, and when to sync. Kept in "server.dbf"
// of the data folder (one record, created when first written). The password
// is never kept here: it is in the desktop's keyring (keyring.h).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

inline const QString kServerTable = QStringLiteral("server.dbf");

// Minutes between syncs while the program runs; 0: only at the start, at
// close and on "Sync now".
inline constexpr int kDefaultSyncMinutes = 15;

struct ServerAccount {
    QUrl server;  // empty: no account
    QString user;
    QUrl privateBook;   // the server's address book the private book is kept with
    QUrl businessBook;  // the same for the business book
    QByteArray privateToken;
    QByteArray businessToken;
    QUrl agendaCalendar;  // the server's calendar (events) the agenda is kept with
    QUrl projectsList;    // the server's task list the projects are kept with
    QByteArray agendaToken;
    QByteArray projectsToken;
    QByteArray trustedCertificate;  // SHA-256 fingerprint (hex) the user accepted
    bool plainHttpConfirmed = false;
    int minutes = kDefaultSyncMinutes;
    QString lastSync;     // "2026-12-09 10:15", local time of the last sync that ended
    QString lastProblem;  // in the interface language; empty: none
};

ServerAccount ReadServerAccount();
// A refused write raises kesp::WriteFailure and leaves the table as it was.
void WriteServerAccount(const ServerAccount& account);
