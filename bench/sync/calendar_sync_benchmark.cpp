// The agenda kept with a calendar on a real Radicale (started here on a free
// port), each figure measured in the same run:
//
//   minimal client   python3 with urllib: the PROPFIND of every event's ETag
//                    and one calendar-multiget of all of them (the yardstick);
//   first sync       10,000 events (500 of them weekly series of ten) into an
//                    empty agenda, as `kesp --sync` runs it (goal: at most
//                    1.5 x the minimal client), the server's caches warmed
//                    for both (the one-off cost of Radicale's first
//                    sync-collection on the calendar printed apart);
//   nothing changed  the requests of the sync after it, the agenda and the
//                    projects mapped (goal: 1 per collection).
//
//   calendar_sync_benchmark [events]
#include "apps/common/dav_connection.h"
#include "kernel/public_variables.h"
#include "shell/address_sync.h"
#include "shell/server_account.h"
#include "shell/start_up.h"
#include "tests/shell/app_folder_copy.h"
#include "tests/sync/dav_test_server.h"
#include "toolkit/driver_seam.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

const char* kMinimalClient = R"(
import sys, urllib.request, xml.etree.ElementTree as ET
calendar = sys.argv[1]
def send(method, body, depth):
    request = urllib.request.Request(calendar, data=body, method=method,
        headers={"Depth": depth, "Content-Type": "application/xml"})
    return urllib.request.urlopen(request).read()
found = send("PROPFIND", b'<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>', "1")
hrefs = [r.find("{DAV:}href").text for r in ET.fromstring(found).iter("{DAV:}response")]
hrefs = [h for h in hrefs if not h.endswith("/")]
body = ('<C:calendar-multiget xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">'
        '<prop><getetag/><C:calendar-data/></prop>'
        + "".join("<href>%s</href>" % h for h in hrefs) + '</C:calendar-multiget>')
print(send("REPORT", body.encode(), "1").count(b"BEGIN:VEVENT"))
)";

double Seconds(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// Event `n`: every twentieth a weekly series of ten, the others single,
// spread over three years from 2027 in Berlin's zone.
QByteArray Event(int n) {
    const QDate day = QDate(2027, 1, 1).addDays(n % 1000);
    const QString start =
        day.toString("yyyyMMdd") +
        QString("T%1%200").arg(8 + n % 10, 2, 10, QChar('0')).arg(n % 4 * 15, 2, 10, QChar('0'));
    return QString(
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n"
               "BEGIN:VEVENT\r\nUID:e%1@bench\r\nDTSTAMP:20261201T000000Z\r\n"
               "DTSTART;TZID=Europe/Berlin:%2\r\nDURATION:PT1H\r\n%3"
               "SUMMARY:Termin %1\r\nLOCATION:Raum %4\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
        .arg(n)
        .arg(start)
        .arg(n % 20 == 0 ? "RRULE:FREQ=WEEKLY;COUNT=10\r\n" : "")
        .arg(n % 50)
        .toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QTemporaryDir temporary;
    CopyApplicationFolder(temporary.path());
    kesp::seam::answerMessageBox = [](const kesp::seam::MessageBoxShown&) { return true; };
    QDir::setCurrent(temporary.path());
    START_UP(temporary.path());

    DavTestServer radicale(DavServerKind::Radicale);
    if (!radicale.running()) {
        std::printf("radicale did not start: %s\n", qPrintable(radicale.problem()));
        return 1;
    }
    DavConnection connection(radicale.account());
    DavCollection calendar, tasks;
    connection.makeCalendar("agenda", false, &calendar);
    connection.makeCalendar("projects", true, &tasks);
    QMap<QString, QByteArray> events;
    for (int n = 0; n < count; ++n)
        events.insert(QString("e%1.ics").arg(n), Event(n));
    radicale.storeDirectly(calendar.url, events);
    WriteServerAccount({.server = radicale.url(),
                        .user = "kesp",
                        .agendaCalendar = calendar.url,
                        .projectsList = tasks.url});

    const auto minimal = [&] {
        QProcess python;
        python.start("python3", {"-c", kMinimalClient, calendar.url.toString()});
        python.waitForFinished(600000);
        return python.readAllStandardOutput().trimmed();
    };
    std::printf("events on the server: %s, %d of them series (the server's cache warmed)\n",
                minimal().constData(), (count + 19) / 20);
    // Radicale builds the state of a collection's sync tokens at the first
    // sync-collection on it, as a phone's sync has done on a calendar in use.
    DavChanges changes;
    std::printf(
        "the first sync-collection on the calendar (the server builds its token state): "
        "%.3f s\n",
        Seconds([&] { connection.syncCollection(calendar.url, {}, &changes); }));
    const double yardstick = Seconds([&] { minimal(); });
    SyncRun first;
    const double ours = Seconds([&] { first = SyncAddressBooksNow("secret"); });
    std::printf(
        "minimal client %.3f s   first sync %.3f s (%d requests)   %.2f x (goal: at most 1.5)\n",
        yardstick, ours, first.requests, ours / yardstick);
    for (const QString& line : first.summary)
        std::printf("  %s\n", qPrintable(line));
    const SyncRun quiet = SyncAddressBooksNow("secret");
    std::printf("nothing changed: %d request(s) for 2 collections (goal: 1 per collection)\n",
                quiet.requests);
    return 0;
}
