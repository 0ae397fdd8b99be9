// The test files python3-icalendar ships, read in place: each read here and
// by python3-icalendar (read_calendar_file.py), the two readings compared;
// then written here and read by python3-icalendar again, which must give
// the same values for what the agenda models and the same lines for the
// rest. A file of this program's tests with every kind of event the agenda
// models and keeps goes the same way. With KESP_CALENDAR_TABLE set, a table
// of the files is written there.
#include "apps/agenda/calendar_file.h"

#include "apps/agenda/calendar_rules.h"
#include "tests/apps/calendar_test_zone.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const auto* const kBerlin = ::testing::AddGlobalTestEnvironment(new ComputerInBerlin);

const QString kCorpus = QStringLiteral("/usr/lib/python3/dist-packages/icalendar/tests");

struct PythonReading {
    bool read = false;
    QString error;
    QJsonObject calendar;
};

PythonReading ReadWithPython(const QString& path) {
    QProcess python;
    python.start(KESP_PYTHON, {QString(KESP_TEST_SOURCE_DIR) + "/read_calendar_file.py", path});
    PythonReading reading;
    if (!python.waitForFinished(60000)) {
        reading.error = "python3 did not finish";
        return reading;
    }
    const QByteArray errors = python.readAllStandardError();
    reading.read = python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
    reading.error = QString::fromUtf8(errors.trimmed().split('\n').last());
    reading.calendar = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    return reading;
}

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(" | ").toStdString() << '}';
}

// Python's time, for an item of floating times: a UTC time as its wall clock.
QString Floating(const QString& python, const CalendarItem& item) {
    return item.zone.isEmpty() && python.endsWith('Z') ? python.chopped(1) : python;
}

// Whether python3-icalendar gave a time without a zone (a TZID it does not know).
bool Naive(const QString& python) {
    return python.contains('T') && !python.endsWith('Z');
}

// A time as read_calendar_file.py writes it: naive when python's is.
QString AsPython(const QDateTime& at, const CalendarItem& item, bool naive) {
    if (!at.isValid()) return "";
    if (item.allDay) return at.date().toString("yyyy-MM-dd");
    if (item.zone.isEmpty() || naive)
        return at.date().toString("yyyy-MM-dd") + at.time().toString("'T'HH:mm:ss");
    return InstantOf(at.date(), at.time(), item.zone).toString("yyyy-MM-dd'T'HH:mm:ss'Z'");
}

QStringList Texts(const QJsonValue& list, const CalendarItem& item) {
    QStringList out;
    for (const QJsonValue& value : list.toArray())
        out.append(Floating(value.toString(), item));
    out.sort();
    return out;
}

QStringList AsPython(const QList<QDateTime>& dates, const CalendarItem& item, bool naive) {
    QStringList out;
    for (const QDateTime& at : dates)
        out.append(AsPython(at, item, naive));
    out.sort();
    return out;
}

// The names of the kept properties and components, sorted.
QStringList KeptNames(const QString& keptLines) {
    QStringList names;
    int depth = 0;
    for (const QString& line : keptLines.split("\r\n", Qt::SkipEmptyParts)) {
        const QString name = line.section(QRegularExpression("[;:]"), 0, 0).toUpper();
        if (name == "BEGIN" && depth++ == 0) names.append(line.section(':', 1).toUpper());
        if (name == "END") --depth;
        if (name != "BEGIN" && name != "END" && depth == 0) names.append(name);
    }
    names.sort();
    return names;
}

QStringList PythonKeptNames(const QJsonValue& other) {
    QStringList names;
    for (const QJsonValue& line : other.toArray()) {
        const QString text = line.toString();
        names.append(text.startsWith("BEGIN:") ? text.section(QRegularExpression("[:\r]"), 1, 1)
                                               : text.section(QRegularExpression("[;:]"), 0, 0));
    }
    names.sort();
    return names;
}

// What python3-icalendar read of one event against the item read here.
void ExpectSameEvent(const QJsonObject& python, const CalendarItem& item) {
    SCOPED_TRACE("event of line " + std::to_string(item.line));
    EXPECT_EQ(python["uid"].toString(), item.uid);
    for (const auto& [key, at] : {std::pair{"start", item.start}, std::pair{"end", item.end}}) {
        const QString time = Floating(python[key].toString(), item);
        EXPECT_EQ(time, AsPython(at, item, Naive(time))) << key;
    }
    QString original;
    if (const auto id = QDateTime::fromString(item.recurrenceId, "yyyyMMdd'T'HHmmss"); id.isValid())
        original = AsPython(id, item, Naive(python["recurrence-id"].toString()));
    else if (!item.recurrenceId.isEmpty())
        original = QDate::fromString(item.recurrenceId, "yyyyMMdd").toString("yyyy-MM-dd");
    EXPECT_EQ(Floating(python["recurrence-id"].toString(), item), original);
    EXPECT_EQ(python["summary"].toString(), item.summary);
    EXPECT_EQ(python["location"].toString(), item.location);
    EXPECT_EQ(python["description"].toString(), item.description);
    EXPECT_EQ(python["rrule"].toString().isEmpty(), item.rule.isEmpty());
    for (const auto& [key, dates] :
         {std::pair{"exdate", item.leftOutDates}, std::pair{"rdate", item.extraDates}}) {
        const QStringList times = Texts(python[key], item);
        EXPECT_EQ(times, AsPython(dates, item, !times.isEmpty() && Naive(times.first()))) << key;
    }
    // The first VALARM, when it is the reminder, is modelled.
    QStringList kept = KeptNames(item.keptLines);
    if (item.alarmMinutes >= 0) kept.append("VALARM");
    kept.sort();
    EXPECT_EQ(PythonKeptNames(python["other"]), kept);
}

struct TableRow {
    QString file;
    int pythonEvents = -1;  // -1: python3-icalendar cannot read the file
    int events = 0;
    int skipped = 0;
    int series = 0;
    int occurrences = 0;
    QStringList kept;
    QStringList zones;
};

QList<TableRow>& Table() {
    static QList<TableRow> rows;
    return rows;
}

class PythonIcalendarFiles : public ::testing::TestWithParam<QString> {
  public:
    static void TearDownTestSuite();
};

TEST_P(PythonIcalendarFiles, ReadAsPythonReadsThemAndBackThroughPythonUnchanged) {
    const QString path = GetParam();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "python3-icalendar's test files are missing";
    const CalendarFileReading reading = ReadCalendarFile(file.readAll());
    ASSERT_EQ(reading.problem, "");
    const PythonReading original = ReadWithPython(path);

    TableRow row{QFileInfo(path).fileName()};
    row.events = int(reading.items.size());
    row.skipped = int(reading.skipped.size());
    for (const CalendarItem& item : reading.items) {
        row.series += item.repeats() ? 1 : 0;
        row.occurrences += int(OccurrenceStarts(item, item.start.date().addMonths(18)).size());
        const QString zone = item.allDay ? "all day" : item.zone.isEmpty() ? "floating" : item.zone;
        if (!row.zones.contains(zone)) row.zones.append(zone);
        for (const QString& name : KeptNames(item.keptLines))
            if (!row.kept.contains(name)) row.kept.append(name);
    }

    // The events python3-icalendar read without an error are the items read
    // here; those with an error (a line that is no content line) are skipped.
    QList<QJsonObject> sound;
    if (original.read) {
        int withErrors = 0;
        for (const QJsonValue& event : original.calendar["events"].toArray()) {
            if (event["errors"].toArray().isEmpty())
                sound.append(event.toObject());
            else
                ++withErrors;
        }
        row.pythonEvents = int(original.calendar["events"].toArray().size());
        EXPECT_EQ(reading.calendars, original.calendar["calendars"].toInt());
        EXPECT_EQ(reading.skipped.size(), withErrors);
        ASSERT_EQ(reading.items.size(), sound.size());
        for (qsizetype i = 0; i < sound.size(); ++i)
            ExpectSameEvent(sound[i], reading.items[i]);
    }
    Table().append(row);

    // Written here and read by python3-icalendar: the same values and lines.
    QTemporaryDir folder;
    const QString written = folder.filePath("written.ics");
    QFile out(written);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(WriteCalendarFile(reading.items,
                                QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5), QTimeZone::utc())));
    out.close();
    const PythonReading back = ReadWithPython(written);
    ASSERT_TRUE(back.read) << back.error.toStdString();
    const QJsonArray events = back.calendar["events"].toArray();
    ASSERT_EQ(events.size(), reading.items.size());
    for (qsizetype i = 0; i < events.size(); ++i) {
        const CalendarItem& item = reading.items[i];
        SCOPED_TRACE("written event " + std::to_string(i));
        EXPECT_TRUE(events[i]["errors"].toArray().isEmpty());
        ExpectSameEvent(events[i].toObject(), item);
        if (!original.read) continue;
        // The rest as python3-icalendar read it from the original, byte for byte.
        for (const char* key : {"uid", "summary", "location", "description", "rrule", "other"})
            EXPECT_EQ(events[i][key], sound[i][key]) << key;
    }
}

void PythonIcalendarFiles::TearDownTestSuite() {
    QString table =
        "| file | events (python3-icalendar) | skipped | series | occurrences, 18 months from "
        "each first start | zones read | kept properties |\n|---|---|---|---|---|---|---|\n";
    for (const TableRow& row : Table())
        table += QString("| %1 | %2 (%3) | %4 | %5 | %6 | %7 | %8 |\n")
                     .arg(row.file)
                     .arg(row.events)
                     .arg(row.pythonEvents < 0 ? QString("cannot read")
                                               : QString::number(row.pythonEvents))
                     .arg(row.skipped)
                     .arg(row.series)
                     .arg(row.occurrences)
                     .arg(row.zones.isEmpty() ? "–" : row.zones.join(", "))
                     .arg(row.kept.isEmpty() ? "–" : row.kept.join(", "));
    std::printf("%s", table.toUtf8().constData());
    const QString path = qEnvironmentVariable("KESP_CALENDAR_TABLE");
    if (path.isEmpty()) return;
    QFile out(path);
    if (out.open(QIODevice::WriteOnly)) out.write(table.toUtf8());
}

QStringList CorpusFiles() {
    QStringList files;
    for (const QString& name : QDir(kCorpus).entryList({"*.ics"}, QDir::Files, QDir::Name))
        files.append(kCorpus + "/" + name);
    if (files.isEmpty()) files.append(kCorpus + "/missing.ics");
    return files << QString(KESP_TEST_SOURCE_DIR) + "/calendar_files/every_kind_of_event.ics";
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, PythonIcalendarFiles, ::testing::ValuesIn(CorpusFiles()),
    [](const ::testing::TestParamInfo<QString>& info) {
        return info.param.section('.', 0, 0).replace(QRegularExpression("\\W"), "_").toStdString();
    });

}  // namespace
