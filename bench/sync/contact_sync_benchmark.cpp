// The private address book kept with a real Radicale (started here on a free
// port), each figure measured in the same run:
//
//   minimal client   python3 with urllib: the PROPFIND of every card's ETag
//                    and one addressbook-multiget of all of them (the yardstick);
//   first sync       5,000 cards into an empty book, as `kesp --sync` runs it
//                    (goal: at most 1.5 x the minimal client);
//   nothing changed  the requests of the sync after it (goal: 1 per book);
//   one change       the requests after one record changed here (goal: at most 3);
//   longest gap      the event loop's longest wait while the program syncs the
//                    5,000 cards in the background, first into the empty book,
//                    then with nothing changed (goal: at most 50 ms each).
//
//   contact_sync_benchmark [cards]
#include "apps/common/dav_connection.h"
#include "kernel/public_variables.h"
#include "shell/address_sync.h"
#include "shell/server_account.h"
#include "shell/start_up.h"
#include "store/xbase.h"
#include "tests/shell/app_folder_copy.h"
#include "tests/sync/dav_test_server.h"
#include "toolkit/driver_seam.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

const char* kMinimalClient = R"(
import sys, urllib.request, xml.etree.ElementTree as ET
book = sys.argv[1]
def send(method, body, depth):
    request = urllib.request.Request(book, data=body, method=method,
        headers={"Depth": depth, "Content-Type": "application/xml"})
    return urllib.request.urlopen(request).read()
found = send("PROPFIND", b'<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>', "1")
hrefs = [r.find("{DAV:}href").text for r in ET.fromstring(found).iter("{DAV:}response")]
hrefs = [h for h in hrefs if not h.endswith("/")]
body = ('<C:addressbook-multiget xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">'
        '<prop><getetag/><C:address-data/></prop>'
        + "".join("<href>%s</href>" % h for h in hrefs) + '</C:addressbook-multiget>')
cards = send("REPORT", body.encode(), "1").count(b"BEGIN:VCARD")
print(cards)
)";

double Seconds(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The book emptied here and forgotten by the sync: the next one is a first sync.
void StartOver() {
    DBCLOSEALL();
    for (const QFileInfo& file :
         QDir(QString(KESP_APP_DIR) + "/data").entryInfoList({"adressen_p.*"})) {
        QFile::remove(THE_DATA_PATH + file.fileName());
        QFile::copy(file.absoluteFilePath(), THE_DATA_PATH + file.fileName());
    }
    QFile::remove(THE_DATA_PATH + "vcard_p.dbf");
    QFile::remove(THE_DATA_PATH + "carddav_p.dbf");
    QFile::remove(THE_DATA_PATH + "carddav_p.fpt");
    ServerAccount account = ReadServerAccount();
    account.privateToken.clear();
    WriteServerAccount(account);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 5000;
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
    DavCollection book;
    connection.makeAddressBook("private", &book);
    QMap<QString, QByteArray> cards;
    for (int n = 0; n < count; ++n)
        cards.insert(QString("c%1.vcf").arg(n),
                     QString("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c%1\r\nN:Name%1;Vorname;;;\r\n"
                             "FN:Vorname Name%1\r\nEMAIL:n%1@example.org\r\nTEL;TYPE=HOME:030 %1"
                             "\r\nADR;TYPE=HOME:;;Straße %1;Berlin;;10115;\r\nEND:VCARD\r\n")
                         .arg(n)
                         .toUtf8());
    radicale.storeDirectly(book.url, cards);
    ServerAccount account{.server = radicale.url(), .user = "kesp", .privateBook = book.url};
    WriteServerAccount(account);

    const auto minimal = [&] {
        QProcess python;
        python.start("python3", {"-c", kMinimalClient, book.url.toString()});
        python.waitForFinished(600000);
        return python.readAllStandardOutput().trimmed();
    };
    std::printf("cards on the server: %s (the server's cache warmed)\n", minimal().constData());
    const double yardstick = Seconds([&] { minimal(); });
    SyncRun first;
    const double ours = Seconds([&] { first = SyncAddressBooksNow("secret"); });
    std::printf(
        "minimal client %.3f s   first sync %.3f s (%d requests)   %.2f x (goal: at most 1.5)\n",
        yardstick, ours, first.requests, ours / yardstick);

    const SyncRun quiet = SyncAddressBooksNow("secret");
    std::printf("nothing changed: %d request(s) for 1 book (goal: 1 per book)\n", quiet.requests);
    DBUSEAREA(true, THE_DATA_PATH + "adressen_p.dbf", "bookchange");
    DBGOTO(42);
    REPLACE("bookchange->ORT", QString("Mainz"));
    DBCLOSEAREA();
    const SyncRun one = SyncAddressBooksNow("secret");
    std::printf("one change: %d requests (goal: at most 3)\n", one.requests);

    // The longest wait of the event loop while the program syncs in the
    // background, up to the turn after the sync finished.
    const auto backgroundGap = [&](double* whole) {
        BackgroundSync background;
        QElapsedTimer tick;
        qint64 longest = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout,
                         [&] { longest = std::max(longest, tick.restart()); });
        bool done = false;
        QObject::connect(&background, &BackgroundSync::finished,
                         [&](const SyncRun&) { done = true; });
        watch.start(1);
        tick.start();
        *whole = Seconds([&] {
            background.start("secret");
            while (!done)
                application.processEvents(QEventLoop::WaitForMoreEvents);
        });
        return std::max(longest, tick.elapsed());
    };
    StartOver();
    double whole = 0;
    const qint64 firstGap = backgroundGap(&whole);
    std::printf(
        "background first sync %.3f s, the event loop's longest gap %lld ms (goal: at most 50)\n",
        whole, firstGap);
    const qint64 quietGap = backgroundGap(&whole);
    std::printf(
        "background sync with nothing changed %.3f s, the event loop's longest gap %lld ms "
        "(goal: at most 50)\n",
        whole, quietGap);
    return 0;
}
