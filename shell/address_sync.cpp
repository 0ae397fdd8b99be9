#include "shell/address_sync.h"

#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "apps/common/dav_problem_text.h"
#include "kernel/problem_texts.h"
#include "kernel/texts.h"
#include "shell/calendar_sync.h"
#include "shell/server_account.h"
#include "store/fault.h"

#include <QDateTime>
#include <QThreadPool>
#include <QTimer>

#include <vector>

namespace {

DavAccount DavAccountOf(const ServerAccount& account, const QString& password) {
    return {.server = account.server,
            .user = account.user,
            .password = password,
            .trustedCertificate = account.trustedCertificate,
            .plainHttpConfirmed = account.plainHttpConfirmed};
}

}  // namespace

// The books of one sync, each read, exchanged and written in turn, the
// agenda's calendar and the projects' task list after them. The books are
// read and written a slice at a time (contact_sync.h), so that the event loop
// turns between slices; the calendars each in one.
class BooksRun {
  public:
    explicit BooksRun(const ServerAccount& account) {
        if (!account.privateBook.isEmpty())
            books_.push_back({&PrivateVCardBook(), &PrivateAddressesKind(), account.privateBook,
                              account.privateToken});
        if (!account.businessBook.isEmpty())
            books_.push_back({&BusinessVCardBook(), &BusinessAddressesKind(), account.businessBook,
                              account.businessToken});
        calendars_ = MappedCalendars(account);
    }

    // The next slice of reading; true when every book is read.
    bool readSlice() {
        for (BookSync& sync : books_) {
            if (sync.read) continue;
            if (!sync.reading) sync.reading = std::make_unique<ContactBookReading>(*sync.book);
            if (sync.reading->step()) {
                sync.snapshot = sync.reading->take();
                sync.reading.reset();
                sync.read = true;
            }
            return false;
        }
        if (!calendarsRead_) {
            ReadCalendars(calendars_);
            calendarsRead_ = true;
            return false;
        }
        return true;
    }

    // Any thread: touches no table.
    void exchange(const DavAccount& account) {
        DavConnection server(account);
        for (BookSync& sync : books_) {
            if (sync.snapshot.inUse) continue;
            server.rememberCollection({.url = sync.collection, .addressBook = true});
            sync.result = ExchangeContacts(server, sync.collection, sync.token, sync.snapshot);
            if (sync.result.problem.problem == DavProblem::Offline) {
                run_.requests = server.requestsSent();
                return;
            }
        }
        ExchangeCalendars(calendars_, server);
        run_.requests = server.requestsSent();
    }

    // The next slice of writing; true when every book is written and the
    // account keeps what the sync ended with.
    bool applySlice() {
        for (BookSync& sync : books_) {
            if (sync.applied) continue;
            if (!applyBookSlice(sync)) return false;
            sync.applied = true;
            return false;
        }
        finish();
        return true;
    }

    const SyncRun& run() const { return run_; }

  private:
    struct BookSync {
        const VCardBook* book = nullptr;
        const RecordKind* kind = nullptr;
        QUrl collection;
        QByteArray token;
        ContactBookSnapshot snapshot;
        ContactSyncResult result;
        std::unique_ptr<ContactBookReading> reading;
        std::unique_ptr<ContactSyncApplying> applying;
        bool read = false;
        bool applied = false;
        bool keptToken = false;  // the account takes the server's new token
    };

    // True when the book is done with.
    bool applyBookSlice(BookSync& sync) {
        const QString name = TEXT(sync.kind->name);
        if (sync.snapshot.inUse) {
            run_.summary.append(ContactSyncSummary(name, sync.result, {.inUse = true}));
            return true;
        }
        if (!sync.applying)
            sync.applying =
                std::make_unique<ContactSyncApplying>(*sync.book, sync.snapshot, sync.result);
        try {
            if (!sync.applying->step()) return false;
        } catch (const kesp::WriteFailure& failure) {
            if (run_.problem.isEmpty()) run_.problem = WRITE_FAILURE_TEXT(failure);
            return true;
        }
        const ContactSyncApplied& applied = sync.applying->applied();
        run_.summary.append(ContactSyncSummary(name, sync.result, applied));
        run_.changedHere += applied.changed + applied.added + applied.trashed;
        if (!sync.result.problem.ok()) {
            if (run_.problem.isEmpty())
                run_.problem = DavProblemText(sync.result.problem, ReadServerAccount().server);
            run_.offline = run_.offline || sync.result.problem.problem == DavProblem::Offline;
        }
        // The token only once the book and its links are written: a sync cut
        // off before asks the server again for what came since the last one.
        if (applied.whole() && !sync.result.token.isEmpty()) sync.keptToken = true;
        return true;
    }

    void finish() {
        ServerAccount account = ReadServerAccount();
        for (const BookSync& sync : books_) {
            if (!sync.keptToken) continue;
            if (sync.book == &PrivateVCardBook())
                account.privateToken = sync.result.token;
            else
                account.businessToken = sync.result.token;
        }
        ApplyCalendars(calendars_, run_, account);
        account.lastSync =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        account.lastProblem = run_.problem.left(254);
        try {
            WriteServerAccount(account);
        } catch (const kesp::WriteFailure& failure) {
            if (run_.problem.isEmpty()) run_.problem = WRITE_FAILURE_TEXT(failure);
        }
    }

    std::vector<BookSync> books_;
    QList<CalendarSync> calendars_;
    bool calendarsRead_ = false;
    SyncRun run_;
};

SyncRun SyncAddressBooksNow(const QString& password) {
    const ServerAccount account = ReadServerAccount();
    BooksRun books(account);
    while (!books.readSlice()) {
    }
    books.exchange(DavAccountOf(account, password));
    while (!books.applySlice()) {
    }
    return books.run();
}

BackgroundSync::BackgroundSync(QObject* parent) : QObject(parent) {}

BackgroundSync::~BackgroundSync() {
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

bool BackgroundSync::start(const QString& password) {
    if (running()) return false;
    const ServerAccount account = ReadServerAccount();
    if (account.server.isEmpty()) return false;
    books_ = std::make_unique<BooksRun>(account);
    inSlices([this] { return books_->readSlice(); },
             [this, dav = DavAccountOf(account, password)] {
                 BooksRun* books = books_.get();
                 thread_ = QThread::create([books, dav] { books->exchange(dav); });
                 connect(thread_, &QThread::finished, this, &BackgroundSync::exchanged);
                 thread_->start();
             });
    return true;
}

void BackgroundSync::exchanged() {
    thread_->deleteLater();
    thread_ = nullptr;
    inSlices([this] { return books_->applySlice(); },
             [this] {
                 const SyncRun run = books_->run();
                 // Thousands of records' values take tens of milliseconds to
                 // free: a worker frees them.
                 QThreadPool::globalInstance()->start(
                     [done = std::shared_ptr<BooksRun>(std::move(books_))] {});
                 emit finished(run);
             });
}

void BackgroundSync::inSlices(std::function<bool()> slice, std::function<void()> then) {
    QTimer::singleShot(0, this, [this, slice = std::move(slice), then = std::move(then)]() mutable {
        if (slice())
            then();
        else
            inSlices(std::move(slice), std::move(then));
    });
}
