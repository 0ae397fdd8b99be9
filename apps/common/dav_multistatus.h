#pragma once
// The answers of a WebDAV server, read by namespace URI (servers choose their
// own prefixes). A multistatus is read whole into its responses: each href
// with its own status, and the properties the server found (status 200) with
// their text, the hrefs inside them and their child elements. A document that
// ends early or is no XML is refused whole, never read in part.
#include <QList>
#include <QString>
#include <QStringList>

inline const QString kDavNamespace = QStringLiteral("DAV:");
inline const QString kCardDavNamespace = QStringLiteral("urn:ietf:params:xml:ns:carddav");
inline const QString kCalDavNamespace = QStringLiteral("urn:ietf:params:xml:ns:caldav");

struct DavName {
    QString ns;
    QString name;
    bool operator==(const DavName&) const = default;
};

struct DavProperty {
    DavName name;
    QString text;                // character data directly inside
    QStringList hrefs;           // DAV:href elements anywhere inside
    QList<DavName> children;     // element children (a resourcetype's kinds)
    QStringList componentNames;  // the name= of CalDAV comp children
};

struct DavResponse {
    QString href;
    int status = 0;  // the response's own status (a removed member: 404), 0 when none
    QList<DavProperty> found;
    const DavProperty* property(const QString& ns, const QString& name) const;
    bool hasChild(const QString& ns, const QString& propertyName, const QString& childName) const;
};

struct DavMultistatus {
    QList<DavResponse> responses;
    QByteArray syncToken;
};

// False with *error set when `xml` is not one whole multistatus document.
bool readDavMultistatus(const QByteArray& xml, DavMultistatus* read, QString* error);
// Whether `xml` is a document holding an element of that namespace and name
// anywhere (a precondition in an error body).
bool davAnswerNames(const QByteArray& xml, const QString& ns, const QString& name);
// 404 from "HTTP/1.1 404 Not Found"; 0 when there is no code.
int davStatusCode(const QString& statusLine);
