#pragma once
// What a DavConnection keeps between calls: its transport, the home sets
// found by discovery, and the kind of every collection it has seen. Shared by
// the connection's source files only.
#include <QHash>

#include "apps/common/dav_connection.h"
#include "apps/common/dav_multistatus.h"
#include "apps/common/dav_transport.h"

struct DavConnection::State {
    explicit State(DavAccount account) : transport(std::move(account)) {}
    // Sends a request with an XML body and reads its multistatus answer;
    // *answeredUrl is where it came from after redirects (for relative hrefs).
    DavResult exchange(const QByteArray& method, const QUrl& url, int depth, const QByteArray& body,
                       DavMultistatus* read, QUrl* answeredUrl = nullptr,
                       QByteArray* errorBody = nullptr);
    QUrl resolve(const QString& href) const;

    DavTransport transport;
    QUrl addressBookHome;
    QUrl calendarHome;
    QHash<QString, bool> addressBookByPath;  // canonical path → address book (else calendar)
    int fetchBatch = 500;
};
