#include "apps/common/dav_request_bodies.h"

#include <QXmlStreamWriter>

namespace {

// A writer with the three namespaces declared on the root element.
class BodyWriter {
  public:
    BodyWriter(const QString& rootNamespace, const QString& root) : xml_(&body_) {
        xml_.writeStartDocument();
        xml_.writeNamespace(kDavNamespace, "d");
        xml_.writeNamespace(kCardDavNamespace, "card");
        xml_.writeNamespace(kCalDavNamespace, "cal");
        xml_.writeStartElement(rootNamespace, root);
    }
    QXmlStreamWriter& xml() { return xml_; }
    QByteArray finish() {
        xml_.writeEndDocument();
        return body_;
    }

  private:
    QByteArray body_;
    QXmlStreamWriter xml_;
};

void writeResourceType(QXmlStreamWriter& xml, const QString& kindNamespace, const QString& kind) {
    xml.writeStartElement(kDavNamespace, "resourcetype");
    xml.writeEmptyElement(kDavNamespace, "collection");
    xml.writeEmptyElement(kindNamespace, kind);
    xml.writeEndElement();
}

// The ETag and the data of each member.
void writeDataProperties(QXmlStreamWriter& xml, bool addressBook) {
    xml.writeStartElement(kDavNamespace, "prop");
    xml.writeEmptyElement(kDavNamespace, "getetag");
    xml.writeEmptyElement(addressBook ? kCardDavNamespace : kCalDavNamespace,
                          addressBook ? "address-data" : "calendar-data");
    xml.writeEndElement();
}

}  // namespace

QByteArray davPropfindBody(const QList<DavName>& properties) {
    BodyWriter body(kDavNamespace, "propfind");
    body.xml().writeStartElement(kDavNamespace, "prop");
    for (const DavName& property : properties)
        body.xml().writeEmptyElement(property.ns, property.name);
    return body.finish();
}

QByteArray davSyncCollectionBody(const QByteArray& token) {
    BodyWriter body(kDavNamespace, "sync-collection");
    body.xml().writeTextElement(kDavNamespace, "sync-token", QString::fromUtf8(token));
    body.xml().writeTextElement(kDavNamespace, "sync-level", "1");
    body.xml().writeStartElement(kDavNamespace, "prop");
    body.xml().writeEmptyElement(kDavNamespace, "getetag");
    return body.finish();
}

QByteArray davMultigetBody(bool addressBook, const QStringList& hrefs) {
    const QString ns = addressBook ? kCardDavNamespace : kCalDavNamespace;
    BodyWriter body(ns, addressBook ? "addressbook-multiget" : "calendar-multiget");
    writeDataProperties(body.xml(), addressBook);
    for (const QString& href : hrefs)
        body.xml().writeTextElement(kDavNamespace, "href", href);
    return body.finish();
}

QByteArray davQueryAllBody(bool addressBook) {
    const QString ns = addressBook ? kCardDavNamespace : kCalDavNamespace;
    BodyWriter body(ns, addressBook ? "addressbook-query" : "calendar-query");
    writeDataProperties(body.xml(), addressBook);
    body.xml().writeStartElement(ns, "filter");
    if (!addressBook) {
        body.xml().writeEmptyElement(ns, "comp-filter");
        body.xml().writeAttribute("name", "VCALENDAR");
    }
    return body.finish();
}

QByteArray davMakeAddressBookBody(const QString& displayName) {
    BodyWriter body(kDavNamespace, "mkcol");
    body.xml().writeStartElement(kDavNamespace, "set");
    body.xml().writeStartElement(kDavNamespace, "prop");
    writeResourceType(body.xml(), kCardDavNamespace, "addressbook");
    body.xml().writeTextElement(kDavNamespace, "displayname", displayName);
    return body.finish();
}

QByteArray davMakeCalendarBody(const QString& displayName, bool tasks) {
    BodyWriter body(kCalDavNamespace, "mkcalendar");
    body.xml().writeStartElement(kDavNamespace, "set");
    body.xml().writeStartElement(kDavNamespace, "prop");
    body.xml().writeTextElement(kDavNamespace, "displayname", displayName);
    body.xml().writeStartElement(kCalDavNamespace, "supported-calendar-component-set");
    body.xml().writeEmptyElement(kCalDavNamespace, "comp");
    body.xml().writeAttribute("name", tasks ? "VTODO" : "VEVENT");
    return body.finish();
}
