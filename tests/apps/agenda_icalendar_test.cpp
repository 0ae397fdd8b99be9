// The agenda's iCalendar files through the context menus of its two views:
// exports read back by Debian's python3-icalendar, imports of files written
// by hand.
#include "apps/agenda/agenda_operations.h"
#include "kernel/public_variables.h"
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"

#include <QFile>
#include <QProcess>

#include <sys/stat.h>

namespace {

using kesp::test::TestDriver;

// The lines python3-icalendar prints running `script` on `file`, or one line
// saying why it failed.
QStringList RunPython(const char* script, const QString& file) {
    QProcess python;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PYTHONIOENCODING", "utf-8");
    python.setProcessEnvironment(environment);
    python.start(KESP_PYTHON, {"-c", script, file});
    if (!python.waitForFinished(30000)) return {"<python did not finish>"};
    if (python.exitCode() != 0)
        return {"<python: " + QString::fromUtf8(python.readAllStandardError()) + ">"};
    QStringList events = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    events.removeAll(QString());
    return events;
}

// Every event of the file as "start|end|summary" on the computer's clock,
// read by python3-icalendar; a time must carry its zone.
QStringList ReadByPython(const QString& file) {
    const char* script =
        "import sys, datetime, icalendar\n"
        "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
        "def local(t):\n"
        "    if not isinstance(t, datetime.datetime): return t\n"
        "    assert t.tzinfo is not None, 'a time without its zone'\n"
        "    return t.astimezone().replace(tzinfo=None)\n"
        "for e in cal.walk('VEVENT'):\n"
        "    s, t = local(e.decoded('DTSTART')), local(e.decoded('DTEND'))\n"
        "    assert e.get('UID') and e.get('DTSTAMP')\n"
        "    print('%s|%s|%s' % (s.isoformat(), t.isoformat(), str(e.get('SUMMARY'))))\n";
    return RunPython(script, file);
}

class AgendaICalendar : public AgendaFixture {
  protected:
    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(folder_.path() + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString Path(const QString& name) const { return folder_.path() + "/" + name; }
};

TEST_F(AgendaICalendar, TheDayAndTheElevenDaysAreExportedAsEventsOfHalfAnHour) {
    const QString longText =
        "Jahresgespräch mit Frau Öztürk; Thema: Budget, Reisen \\ Fortbildung, Büro";
    CreateAgenda({{QDate(2008, 1, 25), "18", "30", "Essen; \"Anna\" kocht"},
                  {QDate(2008, 1, 25), "09", "05", longText},
                  {QDate(2008, 1, 27), "23", "45", "Spät"},
                  {QDate(2008, 1, 26), "7", "x", "Zeit von anderswo"}});
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::select("agenda_frm", "Browse_1", 2);
    TestDriver::click("agenda_frm", "Menu_1");
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGEXCLAMATION: Agenda.ics wurde erstellt.\n" + exportPath()}));
    EXPECT_EQ(ReadByPython(exportPath() + "Agenda.ics"),
              QStringList({"2008-01-25T09:05:00|2008-01-25T09:35:00|" + longText,
                           "2008-01-25T18:30:00|2008-01-25T19:00:00|Essen; \"Anna\" kocht"}));
    const QByteArray file = ExportedFile("Agenda.ics");
    for (const QByteArray& line : file.split('\n'))
        EXPECT_LE(line.size(), 76) << line.toStdString();  // 75 octets and the CR
    EXPECT_TRUE(file.contains("Essen\\; \"Anna\" kocht"));
    // The selection stays.
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Essen; \"Anna\" kocht");

    UseLanguage("BR");
    TestDriver::click("agenda_frm", "Menu_3");
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGEXCLAMATION: Arquivo Agenda.ics foi criado.\n" + exportPath()}));
    EXPECT_EQ(ReadByPython(exportPath() + "Agenda.ics"),
              QStringList({"2008-01-26|2008-01-27|Zeit von anderswo",
                           "2008-01-27T23:45:00|2008-01-28T00:15:00|Spät"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Essen; \"Anna\" kocht");
}

TEST_F(AgendaICalendar, EventsOfAFileWrittenByHandBecomeNewAppointments) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Schon da"}});
    const QString longSummary = QString("Lang ").repeated(25);  // 125 characters
    WriteFile("hand.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//by hand//EN\r\n"
              "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20080125T140700\r\nDTEND:20080125T150000\r\n"
              "SUMMARY:Zahnarzt\\, Dr. M\xC3\xBCller\\; Praxis\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:b\r\nDTSTART;VALUE=DATE:20080126\r\nSUMMARY:Ganzer Tag\r\n"
              "END:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:c\r\nDTSTART:20080128T183900\r\n"
              "RRULE:FREQ=DAILY;COUNT=5\r\nSUMMARY:Jeden Tag\\nmit zweiter Zeile\r\n"
              "BEGIN:VALARM\r\nTRIGGER:-PT5M\r\nACTION:DISPLAY\r\nSUMMARY:Alarm\r\nEND:VALARM\r\n"
              "END:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20080125T235959\r\nSUMMARY:" +
                  longSummary.left(60).toUtf8() + "\r\n " + longSummary.mid(60).toUtf8() +
                  "\r\nEND:VEVENT\r\n"
                  "END:VCALENDAR\r\n");
    OpenAgenda(QDate(2008, 1, 25));
    const QStringList before = StoredRecords();
    AGENDA_AKTUALISIEREN();
    driver_.answerNextFile(Path("hand.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(driver_.fileQuestions(), QStringList({"iCalendar-Datei importieren"}));
    // The series of five days is five appointments; the long summary and the
    // exact minutes are kept with their events.
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGBOX: 8 Termin(e) importiert.\nAus 4 Ereignissen, davon 1 "
                           "wiederkehrend.\n1 Titel sind länger als 99 Zeichen: der ganze Text "
                           "bleibt beim Termin erhalten.\n3 Anfangszeiten liegen zwischen den "
                           "5-Minuten-Schritten der Agenda: die genaue Zeit bleibt für den Export "
                           "erhalten."}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Schon da", "14:05 Zahnarzt, Dr. Müller; Praxis",
                                      "23:55 " + longSummary.left(99).trimmed()}));
    const QString series = "18:35 \u21BB Jeden Tag mit zweiter Zeile";
    EXPECT_EQ(ElevenDayItems(),
              QStringList({"26.01.2008 ganztägig Ganzer Tag", "28.01.2008 " + series,
                           "29.01.2008 " + series, "30.01.2008 " + series, "31.01.2008 " + series,
                           "01.02.2008 " + series}));
    // Nothing that was there changed; the new ones follow it.
    const QStringList after = StoredRecords();
    ASSERT_EQ(after.size(), 9);
    EXPECT_EQ(after.first(), before.first());
    EXPECT_EQ(after[1], "25.01.2008 14:05 Zahnarzt, Dr. Müller; Praxis|25.01.20081405");
}

// Reading the same file again, or an event the agenda already has, adds
// nothing; a summary in a script the table cannot hold keeps what it can and
// the message says so, never a row of question marks.
TEST_F(AgendaICalendar, AnEventAlreadyThereIsSkippedAndLostCharactersAreTold) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}});
    WriteFile("twice.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//by hand//EN\r\n"
              "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20080125T090500\r\nSUMMARY:Zahnarzt\r\n"
              "END:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:20080125T100000\r\n"
              "SUMMARY:\xE4\xBC\x9A\xE8\xAD\xB0 Tokyo\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:c\r\nDTSTART:20080125T100000\r\n"
              "SUMMARY:\xE4\xBC\x9A\xE8\xAD\xB0 Tokyo\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    OpenAgenda(QDate(2008, 1, 25));
    for (const char* list : {"Browse_1", "List_1"})
        EXPECT_EQ(TestDriver::read("agenda_frm", list, "tooltip").toString(),
                  "Weitere Befehle: rechte Maustaste, Menütaste oder Umschalt+F10");
    driver_.answerNextFile(Path("twice.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGBOX: 1 Termin(e) importiert.\n2 übersprungen (schon in der "
                           "Agenda).\nZeichen, die die Tabelle nicht speichern kann, sind in "
                           "1 Text durch die nächsten Buchstaben ersetzt oder weggelassen, z. B.: "
                           "\"会議 Tokyo\""}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt", "10:00 Tokyo"}));

    UseLanguage("AM");
    driver_.answerNextFile(Path("twice.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGBOX: 0 appointment(s) imported.\n3 skipped "
                                           "(already in the agenda)."}));
    EXPECT_EQ(StoredRecords().size(), 2);
}

// Bytes that hold no calendar change nothing; one event that cannot be read
// is skipped and named by its line, the others are imported.
TEST_F(AgendaICalendar, AFileThatIsNoCalendarChangesNothingAndABrokenEventIsSkipped) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Schon da"}});
    WriteFile("agenda.csv", "Datum;St.;Min.;Termin;\r25.01.2008;09;05;Zahnarzt;\r");
    WriteFile("broken.ics",
              "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20080125T090000\r\nSUMMARY:Gut\r\n"
              "END:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:Ohne Beginn\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    OpenAgenda(QDate(2008, 1, 25));
    const QByteArray before = TableBytes();
    UseLanguage("AM");
    driver_.answerNextFile(Path("agenda.csv"));
    TestDriver::click("agenda_frm", "Menu_4");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: This is not a readable iCalendar "
                                           "file. Nothing was changed.\n" +
                                           Path("agenda.csv")}));
    driver_.answerNextFile(Path("missing.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: The file was not imported, nothing was "
                                           "stored:\n" +
                                           Path("missing.ics") + "\nThe file cannot be read."}));
    TestDriver::click("agenda_frm", "Menu_2");  // the question cancelled
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(TableBytes(), before);

    driver_.answerNextFile(Path("broken.ics"));
    TestDriver::click("agenda_frm", "Menu_4");
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGBOX: 1 appointment(s) imported.\n1 event(s) could not be read and "
                           "were skipped (line 6)."}));
    EXPECT_EQ(DayRows(), QStringList({"09:00 Gut", "09:05 Schon da"}));
}

TEST_F(AgendaICalendar, AnEventWithoutSummaryIsImportedWithoutTextAndCounted) {
    WriteFile("untitled.ics",
              "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20080125T090000\r\nSUMMARY:Mit\r\n"
              "END:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART:20080125T100000\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    OpenAgenda(QDate(2008, 1, 25));
    driver_.answerNextFile(Path("untitled.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGBOX: 2 Termin(e) importiert. 1 davon ohne Titel."}));
    EXPECT_EQ(DayRows(), QStringList({"09:00 Mit", "10:00 "}));
}

TEST_F(AgendaICalendar, AFileThatIsNoRegularFileIsRefusedAtOnce) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Schon da"}});
    const QString fifo = Path("calendar.ics");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    OpenAgenda(QDate(2008, 1, 25));
    const QByteArray before = TableBytes();
    for (const QString& chosen : {fifo, folder_.path()}) {
        driver_.answerNextFile(chosen);
        TestDriver::click("agenda_frm", "Menu_2");  // returns: nothing waits for a writer
        EXPECT_EQ(TakeMessages(),
                  QStringList({"MSGEXCLAMATION: Die Datei wurde nicht eingelesen, nichts wurde "
                               "gespeichert:\n" +
                               chosen + "\nDie Datei kann nicht gelesen werden."}));
    }
    EXPECT_EQ(TableBytes(), before);
}

TEST_F(AgendaICalendar, ALargeFileOrManyEventsAreImportedOnlyWhenTheUserSaysSo) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Schon da"}});
    QByteArray many = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
    const QByteArray event =
        "BEGIN:VEVENT\r\nDTSTART:20080126T100000\r\nSUMMARY:x\r\n"
        "END:VEVENT\r\n";
    many.reserve(many.size() + 100'001 * event.size() + 15);
    for (int n = 0; n <= 100'000; ++n)
        many += event;
    many += "END:VCALENDAR\r\n";
    WriteFile("many.ics", many);
    // A comment line the size of 21 MB: the size alone asks, before reading.
    WriteFile("large.ics", "BEGIN:VCALENDAR\r\nX-PADDING:" + QByteArray(21 << 20, 'x') +
                               "\r\nEND:VCALENDAR\r\n");
    OpenAgenda(QDate(2008, 1, 25));
    const QByteArray before = TableBytes();
    driver_.answerNext(false);
    driver_.answerNextFile(Path("large.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGYESNO: Die Datei ist 21 MB groß; der Import kann "
                                           "eine Weile dauern. Trotzdem importieren?"}));
    driver_.answerNext(false);
    driver_.answerNextFile(Path("many.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGYESNO: Die Datei enthält 100001 Termine; der "
                                           "Import kann eine Weile dauern. Alle importieren?"}));
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(DayRows(), QStringList({"09:05 Schon da"}));
}

}  // namespace

namespace {

// What python3-icalendar reads of every event: UID, start with its zone,
// rule, dates left out, place, description and what the agenda only keeps.
QStringList PropertiesByPython(const QString& file) {
    const char* script =
        "import sys, icalendar\n"
        "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
        "for e in cal.walk('VEVENT'):\n"
        "    s = e.decoded('DTSTART')\n"
        "    x = e.get('EXDATE')\n"
        "    x = [d.dt.isoformat() for d in (x.dts if x else [])]\n"
        "    print('|'.join([str(e.get('UID')), s.isoformat(), str(getattr(s, 'tzinfo', '')),\n"
        "        e.get('RRULE').to_ical().decode() if e.get('RRULE') else '', ','.join(x),\n"
        "        str(e.get('LOCATION', '')), str(e.get('DESCRIPTION', '')).replace('\\n', '/'),\n"
        "        str(e.get('ATTENDEE', '')), e.get('CATEGORIES').to_ical().decode()\n"
        "        if e.get('CATEGORIES') else '']))\n";
    return RunPython(script, file);
}

// An event read, stored and written again gives python3-icalendar what the
// file gave it; an appointment keeps its UID through an edit and a pack.
TEST_F(AgendaICalendar, EventsGoOutAsTheyCameInAndUidsStayThroughAnEditAndAPack) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Schon da"}});
    WriteFile("series.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
              "BEGIN:VEVENT\r\nUID:series@test\r\nDTSTAMP:20080101T000000Z\r\n"
              "DTSTART;TZID=America/New_York:20080125T100000\r\n"
              "DTEND;TZID=America/New_York:20080125T110000\r\n"
              "RRULE:FREQ=WEEKLY;COUNT=4\r\nEXDATE;TZID=America/New_York:20080201T100000\r\n"
              "SUMMARY:Call\r\nLOCATION:Büro 3\\, Haus B\r\nDESCRIPTION:Zeile 1\\nZeile 2\r\n"
              "ATTENDEE;CN=Anna:mailto:anna@example.com\r\nCATEGORIES:Arbeit,Telefon\r\n"
              "END:VEVENT\r\nEND:VCALENDAR\r\n");
    OpenAgenda(QDate(2008, 1, 25));
    driver_.answerNextFile(Path("series.ics"));
    TestDriver::click("agenda_frm", "Menu_2");
    TakeMessages();
    const auto exported = [this] {
        TestDriver::click("agenda_frm", "Menu_1");
        TakeMessages();
        return PropertiesByPython(exportPath() + "Agenda.ics");
    };
    const QStringList first = exported();
    ASSERT_EQ(first.size(), 2) << first.join('\n').toStdString();
    EXPECT_EQ(first.filter("series@test"), PropertiesByPython(Path("series.ics")));

    // The appointment written before UIDs were kept, changed and packed.
    TestDriver::select("agenda_frm", "Browse_1", 1);
    ASSERT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Schon da");
    TestDriver::clearText("agenda_frm", "Text_2");
    TestDriver::typeInto("agenda_frm", "Text_2", "Schon lange da");
    TestDriver::click("agenda_frm", "Button_1");
    TestDriver::closeWindow("agenda_frm");
    OpenAgenda(QDate(2008, 1, 25));  // packs
    const QStringList later = exported();
    ASSERT_EQ(later.size(), 2) << later.join(QChar(10)).toStdString();
    EXPECT_EQ(later.filter("series@test"), first.filter("series@test"));
    EXPECT_EQ(later.filter("@varnel-kesp").value(0).section('|', 0, 0),
              first.filter("@varnel-kesp").value(0).section('|', 0, 0));
}

}  // namespace
