#include "apps/common/dav_multistatus.h"

#include <QXmlStreamReader>

namespace {

bool isDav(const QXmlStreamReader& reader, const char* name) {
    return reader.namespaceUri() == kDavNamespace && reader.name() == QLatin1String(name);
}

// Reads the element the reader stands on to its end: its text and hrefs.
void readInside(QXmlStreamReader& reader, DavProperty* property, int depth) {
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement()) return;
        if (reader.isCharacters()) {
            if (depth == 0) property->text += reader.text();
            continue;
        }
        if (!reader.isStartElement()) continue;
        if (depth == 0) {
            property->children.append({reader.namespaceUri().toString(), reader.name().toString()});
            if (reader.namespaceUri() == kCalDavNamespace && reader.name() == QLatin1String("comp"))
                property->componentNames.append(reader.attributes().value("name").toString());
        }
        if (isDav(reader, "href"))
            property->hrefs.append(reader.readElementText().trimmed());
        else
            readInside(reader, property, depth + 1);
    }
}

void readPropstat(QXmlStreamReader& reader, DavResponse* response) {
    QList<DavProperty> properties;
    int status = 0;
    while (reader.readNextStartElement()) {
        if (isDav(reader, "status")) {
            status = davStatusCode(reader.readElementText());
        } else if (isDav(reader, "prop")) {
            while (reader.readNextStartElement()) {
                DavProperty property;
                property.name = {reader.namespaceUri().toString(), reader.name().toString()};
                readInside(reader, &property, 0);
                properties.append(property);
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    if (status >= 200 && status < 300) response->found += properties;
}

void readResponse(QXmlStreamReader& reader, QList<DavResponse>* responses) {
    DavResponse response;
    QStringList hrefs;
    while (reader.readNextStartElement()) {
        if (isDav(reader, "href"))
            hrefs.append(reader.readElementText().trimmed());
        else if (isDav(reader, "status"))
            response.status = davStatusCode(reader.readElementText());
        else if (isDav(reader, "propstat"))
            readPropstat(reader, &response);
        else
            reader.skipCurrentElement();
    }
    for (const QString& href : hrefs) {
        response.href = href;
        responses->append(response);
    }
}

}  // namespace

const DavProperty* DavResponse::property(const QString& ns, const QString& name) const {
    for (const DavProperty& candidate : found)
        if (candidate.name.ns == ns && candidate.name.name == name) return &candidate;
    return nullptr;
}

bool DavResponse::hasChild(const QString& ns, const QString& propertyName,
                           const QString& childName) const {
    const DavProperty* found = property(kDavNamespace, propertyName);
    return found && found->children.contains(DavName{ns, childName});
}

int davStatusCode(const QString& statusLine) {
    const QStringList parts = statusLine.trimmed().split(' ', Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

bool readDavMultistatus(const QByteArray& xml, DavMultistatus* read, QString* error) {
    QXmlStreamReader reader(xml);
    DavMultistatus result;
    if (!reader.readNextStartElement() || !isDav(reader, "multistatus")) {
        *error = reader.hasError() ? reader.errorString() : QStringLiteral("no multistatus");
        return false;
    }
    while (reader.readNextStartElement()) {
        if (isDav(reader, "response"))
            readResponse(reader, &result.responses);
        else if (isDav(reader, "sync-token"))
            result.syncToken = reader.readElementText().trimmed().toUtf8();
        else
            reader.skipCurrentElement();
    }
    // The root's end tag must be there, and nothing broken after it.
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        *error = reader.errorString();
        return false;
    }
    *read = std::move(result);
    return true;
}

bool davAnswerNames(const QByteArray& xml, const QString& ns, const QString& name) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.namespaceUri() == ns &&
            reader.name() == name)
            return true;
    }
    return false;
}
