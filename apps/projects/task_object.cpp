#include "apps/projects/task_object.h"

#include "apps/common/content_lines.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QStringList>

namespace {

const QStringList kTaskProperties{"SUMMARY",     "DTSTART",         "DUE", "STATUS", "COMPLETED",
                                  "DESCRIPTION", "PERCENT-COMPLETE"};

QStringList UnfoldedLines(const QByteArray& body) {
    QStringList lines;
    for (QString line : QString::fromUtf8(body).split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if ((line.startsWith(u' ') || line.startsWith(u'\t')) && !lines.isEmpty())
            lines.last() += line.mid(1);
        else if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

// "DUE;VALUE=DATE:20270105" → "DUE".
QString NameOf(const QString& line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != u';' && line[end] != u':')
        ++end;
    return line.left(end).toUpper();
}

// The value after the first colon outside quotes.
QString ValueOf(const QString& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"') quoted = !quoted;
        if (line[i] == u':' && !quoted) return line.mid(i + 1);
    }
    return {};
}

QString Unescaped(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == u'n' || next == u'N' ? QChar(u'\n') : next;
    }
    return out;
}

QString Escaped(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u';', QStringLiteral("\\;"));
    text.replace(u',', QStringLiteral("\\,"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

// A DATE or DATE-TIME value's day ("20270105", "20270105T120000Z").
QDate DayOf(const QString& value) {
    return QDate::fromString(value.left(8), QStringLiteral("yyyyMMdd"));
}

// The lines that say `values`, in the order a task is written.
QStringList LinesOf(const TaskValues& values) {
    QStringList lines;
    if (!values.title.isEmpty()) lines.append(QStringLiteral("SUMMARY:") + Escaped(values.title));
    if (values.start.isValid())
        lines.append(QStringLiteral("DTSTART;VALUE=DATE:") + values.start.toString("yyyyMMdd"));
    if (values.due.isValid())
        lines.append(QStringLiteral("DUE;VALUE=DATE:") + values.due.toString("yyyyMMdd"));
    lines.append(values.done ? QStringLiteral("STATUS:COMPLETED")
                             : QStringLiteral("STATUS:NEEDS-ACTION"));
    if (values.done) {
        lines.append(QStringLiteral("PERCENT-COMPLETE:100"));
        if (values.doneOn.isValid())
            lines.append(QStringLiteral("COMPLETED:") + values.doneOn.toString("yyyyMMdd") +
                         QStringLiteral("T120000Z"));
    }
    if (!values.description.isEmpty())
        lines.append(QStringLiteral("DESCRIPTION:") + Escaped(values.description));
    return lines;
}

QByteArray Folded(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += FoldedContentLine(line);
    return out;
}

QString Stamp() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

template <typename Value>
void Take(const Value& base, const Value& local, Value& into, bool* conflict) {
    if (local == base) return;
    if (into != base && into != local) *conflict = true;
    into = local;
}

}  // namespace

QByteArray TaskObject(const QString& uid, const TaskValues& values) {
    QStringList lines{QStringLiteral("BEGIN:VCALENDAR"),
                      QStringLiteral("VERSION:2.0"),
                      QStringLiteral("PRODID:-//Varnel Kesp//Projects 2.0//EN"),
                      QStringLiteral("BEGIN:VTODO"),
                      QStringLiteral("UID:") + uid,
                      QStringLiteral("DTSTAMP:") + Stamp()};
    lines += LinesOf(values);
    lines += {QStringLiteral("END:VTODO"), QStringLiteral("END:VCALENDAR")};
    return Folded(lines);
}

TaskValues ValuesOfTask(const QByteArray& body, QString* uid) {
    TaskValues values;
    int depth = 0;  // inside the VTODO: 1; inside its alarms: more
    bool found = false;
    for (const QString& line : UnfoldedLines(body)) {
        const QString name = NameOf(line);
        const QString value = ValueOf(line);
        if (name == QLatin1String("BEGIN")) {
            if (depth > 0 || (!found && value.trimmed().toUpper() == QLatin1String("VTODO"))) {
                ++depth;
                found = true;
            }
            continue;
        }
        if (name == QLatin1String("END") && depth > 0) {
            if (--depth == 0) break;
            continue;
        }
        if (depth != 1) continue;
        if (name == QLatin1String("UID") && uid) *uid = value.trimmed();
        if (name == QLatin1String("SUMMARY")) values.title = Unescaped(value).trimmed();
        if (name == QLatin1String("DESCRIPTION")) values.description = Unescaped(value).trimmed();
        if (name == QLatin1String("DTSTART")) values.start = DayOf(value);
        if (name == QLatin1String("DUE")) values.due = DayOf(value);
        if (name == QLatin1String("STATUS"))
            values.done = value.trimmed().toUpper() == QLatin1String("COMPLETED");
        if (name == QLatin1String("COMPLETED")) values.doneOn = DayOf(value);
    }
    if (!values.done) values.doneOn = {};
    if (!found && uid) uid->clear();
    return values;
}

QByteArray TaskKind::contentType() const {
    return QByteArrayLiteral("text/calendar; charset=utf-8");
}

QString TaskKind::suffix() const {
    return QStringLiteral(".ics");
}

QString TaskKind::uidOf(const QByteArray& body) const {
    QString uid;
    ValuesOfTask(body, &uid);
    return uid;
}

QByteArray TaskKind::fingerprint(const QByteArray& body) const {
    return QCryptographicHash::hash(Folded(LinesOf(ValuesOfTask(body))), QCryptographicHash::Sha256)
        .toHex();
}

QByteArray TaskKind::merged(const QByteArray& base, const QByteArray& local,
                            const QByteArray& server, bool* conflict) const {
    const TaskValues before = ValuesOfTask(base);
    const TaskValues mine = ValuesOfTask(local);
    TaskValues values = ValuesOfTask(server);
    Take(before.title, mine.title, values.title, conflict);
    Take(before.start, mine.start, values.start, conflict);
    Take(before.due, mine.due, values.due, conflict);
    std::pair<bool, QDate> done{values.done, values.doneOn};
    Take(std::pair{before.done, before.doneOn}, std::pair{mine.done, mine.doneOn}, done, conflict);
    values.done = done.first;
    values.doneOn = done.second;
    Take(before.description, mine.description, values.description, conflict);
    // The server's task with the values' lines in place of its own.
    QStringList lines;
    int depth = 0;
    bool inTask = false;
    for (const QString& line : UnfoldedLines(server)) {
        const QString name = NameOf(line);
        if (name == QLatin1String("BEGIN")) ++depth;
        if (name == QLatin1String("END")) --depth;
        if (name == QLatin1String("BEGIN") &&
            ValueOf(line).trimmed().toUpper() == QLatin1String("VTODO") && depth == 2)
            inTask = true;
        if (inTask && depth == 1 && name == QLatin1String("END")) {
            lines += LinesOf(values);
            inTask = false;
        }
        if (inTask && depth == 2 && kTaskProperties.contains(name)) continue;
        if (inTask && depth == 2 && name == QLatin1String("DTSTAMP")) {
            lines.append(QStringLiteral("DTSTAMP:") + Stamp());
            continue;
        }
        lines.append(line);
    }
    return Folded(lines);
}

QString TaskKind::nameOf(const QByteArray& body) const {
    const QString title = ValuesOfTask(body).title;
    return title.isEmpty() ? QStringLiteral("?") : title;
}
