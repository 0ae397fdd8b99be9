#pragma once
// What a WebDAV request came to: done, or the one problem the sync tells the
// user about or acts on, with the HTTP status and a detail for the log (the
// method, the URL's path and the status; never a user name or password).
#include <QByteArray>
#include <QString>

enum class DavProblem {
    None,
    Offline,             // no connection, refused, cut, or silent too long
    Unauthorized,        // the server refused the credentials
    CertificateRefused,  // TLS certificate not verified and not the trusted one
    PlainHttpRefused,    // plain http to another computer, not confirmed; nothing sent
    NotFound,
    Conflict,      // 412: the member changed on the server
    TokenRefused,  // the sync token is no longer accepted
    ServerError,
    BadAnswer  // not the answer asked for, or cut in the middle
};

struct DavResult {
    DavProblem problem = DavProblem::None;
    int status = 0;  // last HTTP status, 0 when none
    QString detail;
    QByteArray certificateFingerprint;  // with CertificateRefused: hex SHA-256
    bool ok() const { return problem == DavProblem::None; }
};
