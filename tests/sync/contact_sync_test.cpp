// The address books kept with a real contacts server (Radicale and Xandikos,
// each started by the test): two computers, each a copy of the program with
// its own data folder run as `kesp --sync`, and a phone (phone.py) editing
// the same people. Whatever happens (edits on both sides, deletions, a
// refused token, a 412 race, the server away, the process killed or the
// connection cut at any moment), every person ends up once on each computer
// and once on the server, and no edit is lost.
#include "apps/common/dav_connection.h"
#include "tests/sync/cutting_proxy.h"
#include "tests/sync/dav_test_server.h"
#include "tests/sync/sync_computer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class ContactSync : public ::testing::TestWithParam<DavServerKind> {
  protected:
    void SetUp() override {
        server_ = std::make_unique<DavTestServer>(GetParam());
        if (!server_->installed())
            GTEST_SKIP() << "not installed: " << davServerName(GetParam()).toStdString();
        ASSERT_TRUE(server_->running()) << server_->problem().toStdString();
    }

    QString url() const { return server_->url().toString(); }

    // "href etag" of every card on the server.
    QStringList serverCards(const QString& book) const {
        QStringList cards;
        for (const QString& line : runPhone({"list", book}).split('\n', Qt::SkipEmptyParts))
            if (!line.section(' ', 0, 0).endsWith('/')) cards.append(line);
        return cards;
    }
    QString phone(const QStringList& arguments) const {
        int exitCode = -1;
        const QString out = runPhone(arguments, &exitCode);
        EXPECT_EQ(exitCode, 0) << arguments.join(' ').toStdString();
        return out;
    }
    // The server's place of the card whose text holds `text`.
    QString cardWith(const QString& book, const QString& text) const {
        const QUrl base(book);
        for (const QString& line : serverCards(book)) {
            const QString href = line.section(' ', 0, 0);
            const QString card = runPhone({"get", base.resolved(QUrl(href)).toString()});
            if (card.contains(text)) return base.resolved(QUrl(href)).toString();
        }
        return {};
    }
    void synced(const SyncComputer& computer) const {
        const ProgramRun run = computer.kesp({"--sync"});
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    }
    // The same people here and there, each once.
    void sameEverywhere(const SyncComputer& computer, const QString& book,
                        const QSet<QString>& names) const {
        const auto people = computer.people();
        EXPECT_EQ(QSet<QString>(people.keyBegin(), people.keyEnd()), names);
        EXPECT_EQ(serverCards(book).size(), names.size());
    }

    std::unique_ptr<DavTestServer> server_;
};

QByteArray PhoneCardWithWhatARecordCannotHold() {
    return PersonCard(
        "phone-dora", "Dora", "Doe",
        {"item1.TEL;TYPE=CELL:+49 170 1111", "item1.X-ABLabel:Dienst", "TEL;TYPE=HOME:030 2222",
         "TEL;TYPE=HOME:030 3333", "TEL;TYPE=HOME:030 4444", "IMPP:xmpp:dora@example.org",
         "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ==", "BDAY:--0704"});
}

TEST_P(ContactSync, TwoComputersAndAPhoneKeepEveryPersonOnceAndEveryEdit) {
    SyncComputer a, b;
    a.addCards(PersonCard("anna", "Anna", "Adler", {"EMAIL;TYPE=HOME:anna@example.org"}) +
               PersonCard("bernd", "Bernd", "Berg", {"BDAY:--0315"}) +
               PersonCard("clara", "Clara", "Conrad"));
    const QString book = a.setServer(url());
    ASSERT_FALSE(book.isEmpty());
    EXPECT_EQ(b.setServer(url()), book);
    synced(a);
    synced(b);
    sameEverywhere(b, book, {"Adler", "Berg", "Conrad"});
    EXPECT_EQ(b.people()["Berg"]["GEBURTSTAG"].toDate(), QDate(1904, 3, 15));  // no year

    // The phone's card: its photo, group and third number survive an edit here.
    QTemporaryFile card;
    ASSERT_TRUE(card.open());
    card.write(PhoneCardWithWhatARecordCannotHold());
    card.flush();
    phone({"putfile", book + "phone-dora.vcf", card.fileName()});
    synced(a);
    synced(b);
    a.change("Doe", {{"VORNAME", "Dorothea"}});
    synced(a);
    const QString dora = phone({"get", book + "phone-dora.vcf"});
    for (const char* kept : {"FN:Dorothea Doe", "item1.X-ABLabel:Dienst", "030 4444",
                             "xmpp:dora@example.org", "PHOTO", "--0704"})
        EXPECT_TRUE(dora.contains(kept, Qt::CaseInsensitive)) << kept << "\n" << dora.toStdString();
    synced(b);
    EXPECT_EQ(b.people()["Doe"]["VORNAME"].toString(), "Dorothea");

    // Different fields on two sides both stay; the same field keeps the
    // local value and the server's goes into the notes.
    a.change("Adler", {{"STRASSE", "Neue Str. 1"}});
    phone({"edit", cardWith(book, "Adler"), "email", "adler@example.com"});
    b.change("Berg", {{"ORT", "Köln"}});
    a.change("Berg", {{"ORT", "Bonn"}});
    synced(a);
    const ProgramRun bSync = b.kesp({"--sync"});
    EXPECT_EQ(bSync.exitCode, 0) << bSync.err.toStdString();
    EXPECT_TRUE(bSync.out.contains("Bernd Berg")) << bSync.out.toStdString();
    synced(a);
    for (const SyncComputer* computer : {&a, &b}) {
        const auto people = computer->people();
        EXPECT_EQ(people["Adler"]["STRASSE"].toString(), "Neue Str. 1");
        EXPECT_EQ(people["Adler"]["EMAIL"].toString(), "adler@example.com");
        EXPECT_EQ(people["Berg"]["ORT"].toString(), "Köln");
        EXPECT_TRUE(people["Berg"]["FREE10"].toString().contains("Bonn"));
    }

    // Deleted here goes from the server and into the other's trash; deleted
    // on the phone goes into both trashes.
    b.remove("Conrad");
    synced(b);
    phone({"delete", cardWith(book, "Adler")});
    synced(a);
    synced(b);
    for (const SyncComputer* computer : {&a, &b}) {
        sameEverywhere(*computer, book, {"Berg", "Doe"});
        EXPECT_GE(computer->inTrash(), 1);
    }
}

TEST_P(ContactSync, AChangeWaitsWhileTheServerIsAwayAndGoesUpWhenItIsBack) {
    SyncComputer a;
    a.addCards(PersonCard("erik", "Erik", "Eck"));
    const QString book = a.setServer(url());
    synced(a);
    synced(a);  // the server's answer about our own card
    const ProgramRun quiet = a.kesp({"--sync"});
    EXPECT_EQ(quiet.exitCode, 0);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QUrl away(QString("http://127.0.0.1:%1/").arg(closed.serverPort()));
    closed.close();
    a.change("Eck", {{"ORT", "Ulm"}});
    a.pointAccountAt(away);
    const ProgramRun offline = a.kesp({"--sync"});
    EXPECT_NE(offline.exitCode, 0);
    EXPECT_FALSE(offline.err.isEmpty());
    a.pointAccountAt(server_->url());
    synced(a);
    EXPECT_TRUE(phone({"get", cardWith(book, "Eck")}).contains("Ulm"));
    sameEverywhere(a, book, {"Eck"});
}

TEST_P(ContactSync, ARefusedTokenAndA412RaceAreMergedNeverDoubled) {
    SyncComputer a;
    a.addCards(PersonCard("fritz", "Fritz", "Fink") + PersonCard("gabi", "Gabi", "Gans"));
    const QString book = a.setServer(url());
    synced(a);
    // The token is refused: a comparison of every card, no doubles.
    a.setPrivateToken("http://example.org/ns/sync/not-a-token");
    phone({"edit", cardWith(book, "Fink"), "email", "fritz@example.org"});
    synced(a);
    sameEverywhere(a, book, {"Fink", "Gans"});
    EXPECT_EQ(a.people()["Fink"]["EMAIL"].toString(), "fritz@example.org");

    // The phone changes a card the sync does not hear of: the send meets a
    // 412, and the two changes are merged.
    phone({"edit", cardWith(book, "Gans"), "email", "gabi@example.org"});
    DavConnection server(server_->account());
    DavChanges now;
    ASSERT_TRUE(server.syncCollection(QUrl(book), {}, &now).ok());
    a.setPrivateToken(now.token);
    a.change("Gans", {{"ORT", "Trier"}});
    synced(a);
    const QString gabi = phone({"get", cardWith(book, "Gans")});
    EXPECT_TRUE(gabi.contains("gabi@example.org")) << gabi.toStdString();
    EXPECT_TRUE(gabi.contains("Trier")) << gabi.toStdString();
    sameEverywhere(a, book, {"Fink", "Gans"});
}

TEST_P(ContactSync, KilledOrCutAtAnyMomentTheNextSyncLeavesEveryPersonOnce) {
    SyncComputer a;
    QByteArray cards;
    QSet<QString> names;
    for (int n = 0; n < 30; ++n) {
        const QString name = QString("Person%1").arg(n, 2, 10, QChar('0'));
        cards += PersonCard("p" + QString::number(n), "Vorname", name);
        names.insert(name);
    }
    a.addCards(cards);
    const QString book = a.setServer(url());
    int round = 0;
    const auto someChanges = [&] {
        ++round;
        const QString name = QString("Neu%1").arg(round);
        a.addCards(PersonCard("neu" + QString::number(round), "Neu", name));
        names.insert(name);
        a.change(QString("Person%1").arg(round % 30, 2, 10, QChar('0')),
                 {{"ORT", QString("Ort %1").arg(round)}});
    };
    // Killed after more and more time: before, during and after the sends.
    for (int wait : {0, 30, 80, 150, 250, 400, 600, 900}) {
        someChanges();
        a.kespWatched({"--sync"}, [wait](qint64 pid) {
            QEventLoop loop;
            QTimer::singleShot(wait, &loop, &QEventLoop::quit);
            loop.exec();
            ::kill(pid_t(pid), SIGKILL);
        });
        synced(a);
        sameEverywhere(a, book, names);
    }
    // The connection cut after more and more bytes either way.
    for (qint64 limit : {200, 1500, 6000, 20000}) {
        for (const auto direction :
             {CuttingProxy::Direction::ToServer, CuttingProxy::Direction::ToClient}) {
            someChanges();
            CuttingProxy proxy(server_->url(), direction, limit);
            a.pointAccountAt(proxy.url());
            a.kesp({"--sync"});
            a.pointAccountAt(server_->url());
            synced(a);
            sameEverywhere(a, book, names);
        }
    }
    EXPECT_EQ(a.people()["Person05"]["ORT"].toString(), "Ort 5");
}

// A book filled long ago on the server (written into its storage: five
// thousand sends would take minutes) comes down whole into two empty books,
// and one change then travels alone.
TEST_P(ContactSync, FiveThousandContactsComeDownOnceAndOneChangeTravelsAlone) {
    SyncComputer a, b;
    const QString book = a.setServer(url());
    b.setServer(url());
    QMap<QString, QByteArray> cards;
    for (int n = 0; n < 5000; ++n)
        cards.insert(QString("many%1.vcf").arg(n),
                     PersonCard("many" + QString::number(n), "Vorname",
                                QString("Name%1").arg(n, 4, 10, QChar('0')),
                                {"EMAIL:n" + QString::number(n) + "@example.org"}));
    ASSERT_TRUE(server_->storeDirectly(QUrl(book), cards));
    synced(a);
    synced(b);
    EXPECT_EQ(a.people().size(), 5000);
    EXPECT_EQ(b.people().size(), 5000);
    a.change("Name0042", {{"ORT", "Mainz"}});
    const ProgramRun one = a.kesp({"--sync"});
    EXPECT_TRUE(one.out.contains(": 1 sent, 0 received")) << one.out.toStdString();
    synced(b);
    EXPECT_EQ(b.people()["Name0042"]["ORT"].toString(), "Mainz");
    EXPECT_EQ(serverCards(book).size(), 5000);
}

INSTANTIATE_TEST_SUITE_P(Servers, ContactSync,
                         ::testing::Values(DavServerKind::Radicale, DavServerKind::Xandikos),
                         [](const auto& info) { return davServerName(info.param).toStdString(); });

}  // namespace
