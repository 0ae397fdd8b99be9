#include "apps/agenda/appointment_links.h"

#include "apps/agenda/compact_times.h"
#include "store/live_records.h"
#include "store/number_followers.h"
#include "store/record_images.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QMultiHash>
#include <QUuid>

namespace {

const QString kAlias = QStringLiteral("agendauid");
constexpr int kKeyWidth = 20;
constexpr int kUidWidth = 200;
constexpr int kRecurrenceWidth = 16;

QString PathIn(const QString& dataPath) {
    return dataPath + kAgendaLinksTable;
}

void CreateWhenMissing(const QString& path) {
    if (QFileInfo::exists(path)) return;
    kesp::CreateTableWhole(path, {{"SATZ", 'N', 10, 0},
                                  {"SCHLUESSEL", 'C', kKeyWidth, 0},
                                  {"UID", 'C', kUidWidth, 0},
                                  {"RECID", 'C', kRecurrenceWidth, 0}});
}

// The link table open in an area of its own for the life of the object; the
// area that was current before is current again afterwards.
class OpenLinks {
  public:
    explicit OpenLinks(const QString& dataPath) : previous_(SELECT()) {
        CreateWhenMissing(PathIn(dataPath));
        DBUSEAREA(true, PathIn(dataPath), kAlias);
    }
    ~OpenLinks() {
        DBSELECTAREA(kAlias);
        DBCLOSEAREA();
        DBSELECTAREA(previous_);
    }
    OpenLinks(const OpenLinks&) = delete;
    OpenLinks& operator=(const OpenLinks&) = delete;

    int rows() const { return RECCOUNT(); }
    // The record number of a live row; 0 for a row marked deleted or whose
    // record a pack removed.
    int numberAt(int row) const {
        DBGOTO(row);
        if (DELETED()) return 0;
        return static_cast<int>(FIELD(kAlias + "->SATZ").toDouble());
    }
    QString text(const char* field) const {
        return FIELD(kAlias + "->" + field).toString().trimmed();
    }

    // The row of `record`, found by bisection over the ascending live
    // numbers (rows without one are skipped); 0 when none.
    int rowOf(int record) const {
        int low = 1;
        int high = rows();
        while (low <= high) {
            const int middle = low + (high - low) / 2;
            int probe = middle;
            int number = 0;
            while (probe <= high && (number = numberAt(probe)) == 0)
                ++probe;
            if (number == record) return probe;
            if (number != 0 && number < record)
                low = probe + 1;
            else
                high = middle - 1;
        }
        return 0;
    }

    // Appends a row with the table's area current. Whole records: the rows
    // of one event share their UID, set once.
    void append(const LinkedRecord& row) {
        if (!image_) image_.emplace();
        RecordImage& image = image_->image;
        image.set(image_->number, double(row.record));
        image.set(image_->key, AppointmentKey(row.appointment));
        if (!image_->uidSet || image_->uid != row.link.uid) {
            image.set(image_->uidField, row.link.uid.left(kUidWidth));
            image_->uid = row.link.uid;
            image_->uidSet = true;
        }
        image.set(image_->recurrence, row.link.recurrenceId.left(kRecurrenceWidth));
        DBAPPENDIMAGE(image);
    }

  private:
    struct RowImage {
        RecordImage image;
        int number = image.field("SATZ");
        int key = image.field("SCHLUESSEL");
        int uidField = image.field("UID");
        int recurrence = image.field("RECID");
        QString uid;  // what UID holds once uidSet
        bool uidSet = false;
    };
    int previous_;
    std::optional<RowImage> image_;
};

QString TwoDigits(const QString& text) {
    // The program writes two digits: taken as they are.
    if (text.size() == 2 && text[0].isDigit() && text[1].isDigit()) return text;
    return text.trimmed().rightJustified(2, u' ').left(2);
}

}  // namespace

QString AppointmentKey(const Appointment& appointment) {
    // The appointments of a series share their text: its digest is kept.
    static QString lastText;
    static QString lastDigest;
    const QString text = appointment.text.trimmed();
    if (text != lastText || lastDigest.isEmpty()) {
        lastText = text;
        lastDigest = QString::fromLatin1(
            QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    }
    QString key = CompactDate(appointment.date).rightJustified(8, u' ');
    key.reserve(kKeyWidth);
    return key += TwoDigits(appointment.hour) + TwoDigits(appointment.minute) + lastDigest;
}

QString ContentUid(const Appointment& appointment, int sameBefore) {
    bool hourRead = false;
    bool minuteRead = false;
    const int hour = appointment.hour.trimmed().toInt(&hourRead);
    const int minute = appointment.minute.trimmed().toInt(&minuteRead);
    const QString start = hourRead && minuteRead
                              ? QDateTime(appointment.date, QTime(hour, minute))
                                    .toString(QStringLiteral("yyyyMMdd'T'HHmmss"))
                              : appointment.date.toString(QStringLiteral("yyyyMMdd"));
    const QByteArray digest =
        QCryptographicHash::hash(appointment.text.trimmed().toUtf8(), QCryptographicHash::Sha1);
    return start + u'-' + QString::fromLatin1(digest.toHex().left(12)) +
           (sameBefore > 0 ? QStringLiteral("-%1").arg(sameBefore + 1) : QString()) +
           QStringLiteral("@varnel-kesp");
}

QString NewEventUid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@varnel-kesp");
}

void FollowAgendaPacks() {
    kesp::store::FollowRecordNumbers(
        {QStringLiteral("agenda.dbf"), kAgendaLinksTable, QStringLiteral("SATZ")});
}

std::optional<AppointmentLink> LinkOf(const QString& dataPath, int record,
                                      const Appointment& appointment) {
    if (record < 1 || !QFileInfo::exists(PathIn(dataPath))) return std::nullopt;
    OpenLinks links(dataPath);
    const int row = links.rowOf(record);
    if (row == 0 || links.text("SCHLUESSEL") != AppointmentKey(appointment).trimmed())
        return std::nullopt;
    return AppointmentLink{links.text("UID"), links.text("RECID")};
}

void FillLinks(const QString& dataPath, QList<LinkedRecord>& records) {
    if (records.isEmpty() || !QFileInfo::exists(PathIn(dataPath))) return;
    OpenLinks links(dataPath);
    for (LinkedRecord& one : records) {
        const int row = links.rowOf(one.record);
        if (row != 0 && links.text("SCHLUESSEL") == AppointmentKey(one.appointment).trimmed())
            one.link = {links.text("UID"), links.text("RECID")};
    }
}

void AddLinks(const QString& dataPath, const QList<LinkedRecord>& rows) {
    if (rows.isEmpty()) return;
    OpenLinks links(dataPath);
    for (const LinkedRecord& row : rows)
        links.append(row);
    DBCOMMIT();
}

void DropLinks(const QString& dataPath, const QList<int>& records) {
    if (records.isEmpty() || !QFileInfo::exists(PathIn(dataPath))) return;
    OpenLinks links(dataPath);
    for (const int record : records) {
        const int row = links.rowOf(record);
        if (row == 0) continue;
        DBGOTO(row);
        DBDELETE();
    }
    DBCOMMIT();
}

QHash<int, QString> RecordsOfEvent(const QString& dataPath, const QString& uid) {
    QHash<int, QString> records;
    if (!QFileInfo::exists(PathIn(dataPath))) return records;
    OpenLinks links(dataPath);
    const QString wanted = uid.left(kUidWidth);
    for (int row = 1; row <= links.rows(); ++row) {
        const int number = links.numberAt(row);
        if (number > 0 && links.text("UID") == wanted) records.insert(number, links.text("RECID"));
    }
    return records;
}

int LastLinkedRecord(const QString& dataPath) {
    if (!QFileInfo::exists(PathIn(dataPath))) return 0;
    OpenLinks links(dataPath);
    for (int row = links.rows(); row >= 1; --row)
        if (const int number = links.numberAt(row); number > 0) return number;
    return 0;
}

bool LinksAwaitTheirRecords(const QString& dataPath) {
    if (!QFileInfo::exists(PathIn(dataPath))) return false;
    OpenLinks links(dataPath);
    bool waiting = false;
    DBEVALLIVE([&waiting] { waiting = waiting || FIELD(kAlias + "->SATZ").toDouble() == 0; });
    return waiting;
}

QList<AppointmentLink> TieRecordsBackFromTheTrash(const QString& dataPath,
                                                  const QHash<int, Appointment>& records) {
    QList<AppointmentLink> tied;
    if (records.isEmpty() || !QFileInfo::exists(PathIn(dataPath))) return tied;
    struct Orphan {
        int row;
        AppointmentLink link;
    };
    QList<LinkedRecord> again;
    {
        OpenLinks links(dataPath);
        QMultiHash<QString, Orphan> orphans;
        DBEVALLIVE([&] {
            if (FIELD(kAlias + "->SATZ").toDouble() == 0)
                orphans.insert(links.text("SCHLUESSEL"),
                               {RECNO(), {links.text("UID"), links.text("RECID")}});
        });
        if (orphans.isEmpty()) return tied;
        QList<int> numbers = records.keys();
        std::sort(numbers.begin(), numbers.end());
        for (const int number : numbers) {
            const Appointment& appointment = records[number];
            const auto found = orphans.find(AppointmentKey(appointment).trimmed());
            if (found == orphans.end()) continue;
            DBGOTO(found->row);
            DBDELETE();
            again.append({number, appointment, found->link});
            tied.append(found->link);
            orphans.erase(found);
        }
        for (const LinkedRecord& row : again)
            links.append(row);
        DBCOMMIT();
    }
    return tied;
}

void DropLinksOfEmptiedTrash(const QString& dataPath, const QSet<QString>& stillInTheTrash) {
    if (!QFileInfo::exists(PathIn(dataPath))) return;
    OpenLinks links(dataPath);
    DBEVALLIVE([&] {
        if (FIELD(kAlias + "->SATZ").toDouble() == 0 &&
            !stillInTheTrash.contains(links.text("SCHLUESSEL")))
            DBDELETE();
    });
    if (LIVECOUNT() < links.rows()) __DBPACK();
}

void ForgetTrashedLinksOf(const QString& dataPath, const QString& uid) {
    if (!QFileInfo::exists(PathIn(dataPath))) return;
    OpenLinks links(dataPath);
    const QString wanted = uid.left(kUidWidth);
    DBEVALLIVE([&] {
        if (FIELD(kAlias + "->SATZ").toDouble() == 0 && links.text("UID") == wanted) DBDELETE();
    });
}
