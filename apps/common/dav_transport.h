#pragma once
// One HTTP exchange with a DAV server, waited for in a local event loop.
// Redirects are followed here with the same method, body and headers (at most
// five); Basic credentials go along (sent ahead only over TLS or to this
// machine); TLS is checked by Qt, and a certificate that does not verify is
// accepted only when its SHA-256 is the one the user trusted; plain http to
// another computer is refused before anything is sent unless the user
// confirmed it; a connection silent too long is given up. The answer is whole,
// or its result says why not.
#include <QList>
#include <QPair>
#include <memory>

#include "apps/common/dav_account.h"
#include "apps/common/dav_result.h"

struct DavRequest {
    QByteArray method;
    QUrl url;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
};

struct DavAnswer {
    DavResult result;  // problem set for a network failure and for any status >= 400
    QUrl url;          // where the answer came from, after redirects
    QByteArray body;
    QByteArray etag;
};

class DavTransport {
  public:
    explicit DavTransport(DavAccount account);
    ~DavTransport();
    DavAnswer send(const DavRequest& request);
    int requestsSent() const;
    void setQuietTimeout(int milliseconds);
    const DavAccount& account() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The problem an HTTP status stands for in general; callers with a more
// particular reading (a refused token, a deletion already done) look at the
// status themselves.
DavProblem davProblemForStatus(int status);
