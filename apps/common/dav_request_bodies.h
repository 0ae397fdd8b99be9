#pragma once
// The XML bodies of the WebDAV requests the connection sends, written with
// the namespaces declared and every text escaped.
#include <QByteArray>
#include <QList>
#include <QStringList>

#include "apps/common/dav_multistatus.h"

QByteArray davPropfindBody(const QList<DavName>& properties);
QByteArray davSyncCollectionBody(const QByteArray& token);
QByteArray davMultigetBody(bool addressBook, const QStringList& hrefs);
// A query for every member with its data (no condition but the calendar's).
QByteArray davQueryAllBody(bool addressBook);
QByteArray davMakeAddressBookBody(const QString& displayName);
QByteArray davMakeCalendarBody(const QString& displayName, bool tasks);
