// An event (a single one, or a series with its changed occurrences) as the
// calendar sync sees it: one iCalendar object, read and written by the
// agenda's own reader and writer (calendar_file.h), so that what goes up is
// what an export writes. Two versions merge value by value (the times, the
// summary, the place, the description, the repetition, its extra dates and
// the dates left out, the reminder), each changed occurrence on its own; the
// server's copy is patched, keeping every line the agenda does not model.
#pragma once

#include "apps/agenda/calendar_item.h"
#include "apps/common/dav_item_sync.h"

// The events of `items` as the server holds them (one VCALENDAR).
QByteArray EventObject(const QList<CalendarItem>& items);

class EventKind : public DavItemKind {
  public:
    QByteArray contentType() const override;
    QString suffix() const override;
    QString uidOf(const QByteArray& body) const override;
    QByteArray fingerprint(const QByteArray& body) const override;
    QByteArray merged(const QByteArray& base, const QByteArray& local, const QByteArray& server,
                      bool* conflict) const override;
    QString nameOf(const QByteArray& body) const override;
};
