// The address book read and written a slice at a time while the event loop
// turns (the program's background sync), against a real server: a window
// that opens the book between two slices, or a record saved between them,
// never costs a person or doubles one; what could not be written waits and
// comes with the next sync.
#include "apps/addresses/private_addresses.h"
#include "apps/addresses/vcard_contacts.h"
#include "kernel/public_variables.h"
#include "shell/address_sync.h"
#include "shell/server_account.h"
#include "store/live_records.h"
#include "tests/shell/installed_program.h"
#include "tests/sync/dav_test_server.h"
#include "toolkit/test_driver.h"

#include <QSet>

namespace {

constexpr int kCards = 600;  // many slices of records

class SyncSlices : public InstalledProgram, public ::testing::WithParamInterface<DavServerKind> {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        server_ = std::make_unique<DavTestServer>(GetParam());
        if (!server_->installed()) GTEST_SKIP() << "not installed";
        ASSERT_TRUE(server_->running()) << server_->problem().toStdString();
        DavConnection connection(server_->account());
        DavCollection book;
        ASSERT_TRUE(connection.makeAddressBook("private", &book).ok());
        book_ = book.url;
        QMap<QString, QByteArray> cards;
        for (int n = 0; n < kCards; ++n)
            cards.insert(QString("s%1.vcf").arg(n),
                         QString("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:s%1\r\nN:Name%1;Vorname;;;\r\n"
                                 "FN:Vorname Name%1\r\nEND:VCARD\r\n")
                             .arg(n)
                             .toUtf8());
        ASSERT_TRUE(server_->storeDirectly(book_, cards));
        WriteServerAccount({.server = server_->url(), .user = "kesp", .privateBook = book_});
    }

    // Last names of the book's live records, each once; `count` every live one.
    QSet<QString> People(int* count) {
        QSet<QString> names;
        *count = 0;
        DBUSEAREA(true, DataFile("adressen_p.dbf"), "people");
        DBEVALLIVE([&] {
            names.insert(FIELD("people->NACHNAME").toString().trimmed());
            ++*count;
        });
        DBCLOSEAREA();
        return names;
    }

    std::unique_ptr<DavTestServer> server_;
    QUrl book_;
};

TEST_P(SyncSlices, ABookOpenedBetweenSlicesWaitsAndTheNextSyncBringsTheRestOnce) {
    const VCardBook& vcardBook = PrivateVCardBook();
    ContactBookSnapshot read = ReadContactBook(vcardBook);
    DavConnection connection(server_->account());
    ContactSyncResult result = ExchangeContacts(connection, book_, {}, read);
    ASSERT_TRUE(result.problem.ok());
    ASSERT_EQ(result.changes.size(), kCards);
    {
        ContactSyncApplying applying(vcardBook, read, result);
        EXPECT_FALSE(applying.step());  // the UIDs read
        EXPECT_FALSE(applying.step());  // the first records written
        // A window opens the book.
        DBUSEAREA(true, DataFile("adressen_p.dbf"), "window");
        while (!applying.step()) {
        }
        DBCLOSEAREA();
        const ContactSyncApplied& applied = applying.applied();
        EXPECT_GT(applied.added, 0);
        EXPECT_EQ(applied.added + applied.waitingForBook, kCards);
        EXPECT_FALSE(applied.whole());
        EXPECT_TRUE(ContactSyncSummary("Privat", result, applied)
                        .contains("because the address book was opened meanwhile"));
    }
    // The program's own sync, the token of the first one not kept.
    const SyncRun next = SyncAddressBooksNow("secret");
    EXPECT_TRUE(next.problem.isEmpty()) << next.problem.toStdString();
    int live = 0;
    EXPECT_EQ(People(&live).size(), kCards);
    EXPECT_EQ(live, kCards);
    EXPECT_EQ(SyncAddressBooksNow("secret").summary.join(' ').contains(": 0 sent, 0 received"),
              true);
}

class BookReadingSlices : public InstalledProgram {};

TEST_F(BookReadingSlices, StartOverWhenTheBookIsWrittenAndStopWhenItIsOpened) {
    const VCardBook& vcardBook = PrivateVCardBook();
    for (int n = 0; n < 400; ++n)
        AddRecord("adressen_p.dbf", {{"VORNAME", "Hier"}, {"NACHNAME", QString("H%1").arg(n)}});
    {
        ContactBookReading reading(vcardBook);
        EXPECT_FALSE(reading.step());
        // A record already read saved again, as a window's Save does.
        DBUSEAREA(true, DataFile("adressen_p.dbf"), "window");
        DBGOTO(1);
        REPLACE("window->NACHNAME", QString("Saved"));
        DBCLOSEAREA();
        while (!reading.step()) {
        }
        const ContactBookSnapshot snapshot = reading.take();
        EXPECT_FALSE(snapshot.inUse);
        EXPECT_EQ(snapshot.live.size(), 400);
        EXPECT_EQ(snapshot.live.value(1).value("NACHNAME").toString().trimmed(), "Saved");
        EXPECT_EQ(snapshot.uids.size(), 400);
    }
    {
        ContactBookReading reading(vcardBook);
        EXPECT_FALSE(reading.step());
        DBUSEAREA(true, DataFile("adressen_p.dbf"), "window");
        while (!reading.step()) {
        }
        DBCLOSEAREA();
        EXPECT_TRUE(reading.take().inUse);
    }
}

TEST_F(BookReadingSlices, TheBooksWindowLetsGoOfItsTableWhenItCloses) {
    OpenMainWindow();
    kesp::test::TestDriver::click("haupt", "Button_1");
    ASSERT_TRUE(kesp::test::TestDriver::isOpen("form1"));
    EXPECT_TRUE(ReadContactBook(PrivateVCardBook()).inUse);
    kesp::test::TestDriver::closeWindow("form1");
    EXPECT_FALSE(ReadContactBook(PrivateVCardBook()).inUse);
    kesp::test::TestDriver::click("haupt", "Button_1");  // and opens it again
    EXPECT_EQ(kesp::test::TestDriver::read("form1", "label_anzahl").toString(), "0 records");
    kesp::test::TestDriver::closeWindow("form1");
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncSlices,
                         ::testing::Values(DavServerKind::Radicale, DavServerKind::Xandikos),
                         [](const auto& info) { return davServerName(info.param).toStdString(); });

}  // namespace
