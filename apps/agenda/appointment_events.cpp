#include "apps/agenda/appointment_events.h"

#include "apps/agenda/calendar_file.h"
#include "apps/agenda/calendar_rules.h"
#include "store/codec.h"
#include "store/live_records.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QFileInfo>
#include <QSet>

namespace {

const QString kAlias = QStringLiteral("agendainfo");
constexpr int kUidWidth = 200;
constexpr int kRecurrenceWidth = 16;

QString PathIn(const QString& dataPath) {
    return dataPath + kAgendaEventsTable;
}

void CreateWhenMissing(const QString& path) {
    if (QFileInfo::exists(path)) return;
    kesp::CreateTableWhole(path,
                           {{"UID", 'C', kUidWidth, 0},
                            {"RECID", 'C', kRecurrenceWidth, 0},
                            {"BIS", 'D', 8, 0},
                            {"OFFEN", 'L', 1, 0},
                            {"GELOESCHT", 'L', 1, 0},
                            {"EREIGNIS", 'M', 10, 0}},
                           kesp::MemoKind::Fpt);
}

class OpenEvents {
  public:
    explicit OpenEvents(const QString& dataPath) : previous_(SELECT()) {
        CreateWhenMissing(PathIn(dataPath));
        DBUSEAREA(true, PathIn(dataPath), kAlias);
    }
    ~OpenEvents() {
        DBSELECTAREA(kAlias);
        DBCLOSEAREA();
        DBSELECTAREA(previous_);
    }
    OpenEvents(const OpenEvents&) = delete;
    OpenEvents& operator=(const OpenEvents&) = delete;

    int rows() const { return RECCOUNT(); }
    QVariant value(const char* field) const { return FIELD(kAlias + "->" + field); }
    QString text(const char* field) const { return value(field).toString().trimmed(); }
    // A component kept only to be written back, not an event: its RECID is
    // its name, where an event's is empty or a start in digits.
    bool keptComponent() const { return text("RECID").startsWith(u'V'); }

    // The row the pointer is on, read whole.
    StoredEvent read(int row) const {
        StoredEvent event{.row = row,
                          .storedUntil = value("BIS").toDate(),
                          .deleted = value("GELOESCHT").toBool()};
        const CalendarFileReading reading = ReadCalendarFile(value("EREIGNIS").toString().toUtf8());
        if (!reading.items.isEmpty()) event.item = reading.items.first();
        // What the row says wins over what its text says, should they differ.
        if (event.item.uid.left(kUidWidth) != text("UID")) event.item.uid = text("UID");
        if (event.item.recurrenceId.left(kRecurrenceWidth) != text("RECID"))
            event.item.recurrenceId = text("RECID");
        return event;
    }

  private:
    int previous_;
};

QString EventText(const CalendarItem& item) {
    const QByteArray text = WriteCalendarFile({item}, QDateTime::currentDateTimeUtc());
    return kesp::store::NearestStorable(QString::fromUtf8(text));
}

}  // namespace

std::optional<StoredEvent> StoredEventOf(const QString& dataPath, const QString& uid,
                                         const QString& recurrenceId) {
    if (uid.isEmpty() || !QFileInfo::exists(PathIn(dataPath))) return std::nullopt;
    OpenEvents events(dataPath);
    const QString wanted = uid.left(kUidWidth);
    // The last row written for it, should there be more than one.
    std::optional<StoredEvent> found;
    DBEVALLIVE([&] {
        if (events.text("UID") == wanted && events.text("RECID") == recurrenceId)
            found = events.read(RECNO());
    });
    return found;
}

QMultiHash<QString, StoredEvent> EventRowsByUid(const QString& dataPath) {
    QMultiHash<QString, StoredEvent> found;
    if (!QFileInfo::exists(PathIn(dataPath))) return found;
    OpenEvents events(dataPath);
    DBEVALLIVE([&] {
        if (!events.keptComponent()) found.insert(events.text("UID"), events.read(RECNO()));
    });
    return found;
}

QList<StoredEvent> ChangedOccurrencesOf(const QString& dataPath, const QString& uid) {
    QList<StoredEvent> found;
    if (!QFileInfo::exists(PathIn(dataPath))) return found;
    OpenEvents events(dataPath);
    const QString wanted = uid.left(kUidWidth);
    DBEVALLIVE([&] {
        if (events.text("UID") == wanted && !events.text("RECID").isEmpty() &&
            !events.keptComponent())
            found.append(events.read(RECNO()));
    });
    return found;
}

QList<StoredEvent> OpenSeries(const QString& dataPath) {
    QList<StoredEvent> found;
    if (!QFileInfo::exists(PathIn(dataPath))) return found;
    OpenEvents events(dataPath);
    DBEVALLIVE([&] {
        if (events.value("OFFEN").toBool() && !events.value("GELOESCHT").toBool())
            found.append(events.read(RECNO()));
    });
    return found;
}

void WriteEventRows(const QString& dataPath, QList<StoredEvent>& stored) {
    if (stored.isEmpty()) return;
    OpenEvents events(dataPath);
    for (StoredEvent& event : stored) {
        if (event.row > 0) {
            DBGOTO(event.row);
        } else {
            DBAPPEND();
            event.row = RECNO();
        }
        REPLACE("UID", event.item.uid.left(kUidWidth));
        REPLACE("RECID", event.item.recurrenceId.left(kRecurrenceWidth));
        REPLACE("BIS", event.storedUntil);
        REPLACE("OFFEN", event.item.repeats() && event.item.recurrenceId.isEmpty() &&
                             !SeriesEnds(event.item));
        REPLACE("GELOESCHT", event.deleted);
        REPLACE("EREIGNIS", EventText(event.item));
    }
    DBCOMMIT();
}

void MarkEventDeleted(const QString& dataPath, const QString& uid, bool deleted) {
    if (!QFileInfo::exists(PathIn(dataPath))) return;
    OpenEvents events(dataPath);
    const QString wanted = uid.left(kUidWidth);
    DBEVALLIVE([&] {
        if (events.text("UID") == wanted && !events.keptComponent()) REPLACE("GELOESCHT", deleted);
    });
    DBCOMMIT();
}

void ForgetChangedOccurrences(const QString& dataPath, const QString& uid,
                              const QStringList& keep) {
    if (!QFileInfo::exists(PathIn(dataPath))) return;
    OpenEvents events(dataPath);
    const QString wanted = uid.left(kUidWidth);
    DBEVALLIVE([&] {
        const QString recurrence = events.text("RECID");
        if (events.text("UID") == wanted && !recurrence.isEmpty() && !keep.contains(recurrence) &&
            !events.keptComponent())
            DBDELETE();
    });
    DBCOMMIT();
}

void RemoveEventRows(const QString& dataPath, const QString& uid) {
    if (!QFileInfo::exists(PathIn(dataPath))) return;
    OpenEvents events(dataPath);
    const QString wanted = uid.left(kUidWidth);
    DBEVALLIVE([&] {
        if (events.text("UID") == wanted && !events.keptComponent()) DBDELETE();
    });
    DBCOMMIT();
}

QList<int> KeepComponents(const QString& dataPath, const QList<KeptComponent>& components) {
    QList<int> rows;
    if (components.isEmpty()) return rows;
    QSet<QString> known;
    const auto identity = [](const KeptComponent& component) {
        return component.name + u'|' +
               (component.uid.isEmpty() ? component.lines : component.uid.left(kUidWidth));
    };
    for (const KeptComponent& component : KeptComponents(dataPath))
        known.insert(identity(component));
    OpenEvents events(dataPath);
    for (const KeptComponent& component : components) {
        if (known.contains(identity(component))) continue;
        known.insert(identity(component));
        DBAPPEND();
        REPLACE("UID", component.uid.left(kUidWidth));
        REPLACE("RECID", component.name.left(kRecurrenceWidth));
        REPLACE("EREIGNIS", kesp::store::NearestStorable(component.lines));
        rows.append(RECNO());
    }
    DBCOMMIT();
    return rows;
}

void ForgetKeptComponents(const QString& dataPath, const QList<int>& rows) {
    if (rows.isEmpty()) return;
    OpenEvents events(dataPath);
    for (const int row : rows) {
        DBGOTO(row);
        if (events.keptComponent()) DBDELETE();
    }
}

QList<KeptComponent> KeptComponents(const QString& dataPath) {
    QList<KeptComponent> found;
    if (!QFileInfo::exists(PathIn(dataPath))) return found;
    OpenEvents events(dataPath);
    DBEVALLIVE([&] {
        if (events.keptComponent())
            found.append(
                {events.text("RECID"), events.text("UID"), events.value("EREIGNIS").toString()});
    });
    return found;
}
