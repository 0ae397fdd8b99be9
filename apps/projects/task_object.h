// A project as a task (VTODO) on a CalDAV server: its title (SUMMARY), its
// start (DTSTART) and due date (DUE, dates only), whether it is done (STATUS
// COMPLETED, with its COMPLETED date) and its description (DESCRIPTION).
// Two versions merge value by value; the server's task is patched in place,
// its other lines (alarms, categories, a priority, an X- property) kept as
// they are.
#pragma once

#include "apps/common/dav_item_sync.h"

#include <QDate>
#include <QString>

struct TaskValues {
    QString title;
    QDate start;
    QDate due;
    bool done = false;
    QDate doneOn;  // the COMPLETED date; invalid when not done or not given
    QString description;
    bool operator==(const TaskValues&) const = default;
};

// The task of `values` as a new iCalendar object.
QByteArray TaskObject(const QString& uid, const TaskValues& values);

// The values a task holds; `uid` its UID (empty when the text holds no VTODO).
TaskValues ValuesOfTask(const QByteArray& body, QString* uid = nullptr);

class TaskKind : public DavItemKind {
  public:
    QByteArray contentType() const override;
    QString suffix() const override;
    QString uidOf(const QByteArray& body) const override;
    QByteArray fingerprint(const QByteArray& body) const override;
    QByteArray merged(const QByteArray& base, const QByteArray& local, const QByteArray& server,
                      bool* conflict) const override;
    QString nameOf(const QByteArray& body) const override;
};
