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

namespace {

struct BookSync {
    const VCardBook* book = nullptr;
    const RecordKind* kind = nullptr;
    QUrl collection;
    QByteArray token;
    ContactBookSnapshot snapshot;
    ContactSyncResult result;
};

QList<BookSync> MappedBooks(const ServerAccount& account) {
    QList<BookSync> books;
    if (!account.privateBook.isEmpty())
        books.append({&PrivateVCardBook(), &PrivateAddressesKind(), account.privateBook,
                      account.privateToken});
    if (!account.businessBook.isEmpty())
        books.append({&BusinessVCardBook(), &BusinessAddressesKind(), account.businessBook,
                      account.businessToken});
    return books;
}

DavAccount DavAccountOf(const ServerAccount& account, const QString& password) {
    return {.server = account.server,
            .user = account.user,
            .password = password,
            .trustedCertificate = account.trustedCertificate,
            .plainHttpConfirmed = account.plainHttpConfirmed};
}

void ReadBooks(QList<BookSync>& books) {
    for (BookSync& sync : books)
        sync.snapshot = ReadContactBook(*sync.book);
}

// Any thread: touches no table.
int ExchangeBooks(QList<BookSync>& books, QList<CalendarSync>& calendars,
                  const DavAccount& account) {
    DavConnection server(account);
    for (BookSync& sync : books) {
        if (sync.snapshot.inUse) continue;
        server.rememberCollection({.url = sync.collection, .addressBook = true});
        sync.result = ExchangeContacts(server, sync.collection, sync.token, sync.snapshot);
        if (sync.result.problem.problem == DavProblem::Offline) return server.requestsSent();
    }
    ExchangeCalendars(calendars, server);
    return server.requestsSent();
}

SyncRun ApplyBooks(QList<BookSync>& books, QList<CalendarSync>& calendars, int requests) {
    SyncRun run{.requests = requests};
    ServerAccount account = ReadServerAccount();
    for (BookSync& sync : books) {
        const QString name = TEXT(sync.kind->name);
        if (sync.snapshot.inUse) {
            run.summary.append(ContactSyncSummary(name, sync.result, {.inUse = true}));
            continue;
        }
        ContactSyncApplied applied;
        try {
            applied = ApplyContactSync(*sync.book, sync.snapshot, sync.result);
        } catch (const kesp::WriteFailure& failure) {
            if (run.problem.isEmpty()) run.problem = WRITE_FAILURE_TEXT(failure);
            continue;
        }
        run.summary.append(ContactSyncSummary(name, sync.result, applied));
        if (!sync.result.problem.ok()) {
            if (run.problem.isEmpty())
                run.problem = DavProblemText(sync.result.problem, account.server);
            run.offline = run.offline || sync.result.problem.problem == DavProblem::Offline;
        }
        // The token only once the book and its links are written: a sync cut
        // off before asks the server again for what came since the last one.
        if (!applied.inUse && !sync.result.token.isEmpty()) {
            if (sync.book == &PrivateVCardBook())
                account.privateToken = sync.result.token;
            else
                account.businessToken = sync.result.token;
        }
    }
    ApplyCalendars(calendars, run, account);
    account.lastSync = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    account.lastProblem = run.problem.left(254);
    try {
        WriteServerAccount(account);
    } catch (const kesp::WriteFailure& failure) {
        if (run.problem.isEmpty()) run.problem = WRITE_FAILURE_TEXT(failure);
    }
    return run;
}

}  // namespace

SyncRun SyncAddressBooksNow(const QString& password) {
    const ServerAccount account = ReadServerAccount();
    QList<BookSync> books = MappedBooks(account);
    QList<CalendarSync> calendars = MappedCalendars(account);
    ReadBooks(books);
    ReadCalendars(calendars);
    const int requests = ExchangeBooks(books, calendars, DavAccountOf(account, password));
    return ApplyBooks(books, calendars, requests);
}

struct BackgroundSync::Books {
    QList<BookSync> books;
    QList<CalendarSync> calendars;
    DavAccount account;
    int requests = 0;
};

BackgroundSync::BackgroundSync(QObject* parent) : QObject(parent) {}

BackgroundSync::~BackgroundSync() {
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

bool BackgroundSync::start(const QString& password) {
    if (thread_) return false;
    const ServerAccount account = ReadServerAccount();
    if (account.server.isEmpty()) return false;
    books_ = std::make_unique<Books>();
    books_->books = MappedBooks(account);
    books_->calendars = MappedCalendars(account);
    books_->account = DavAccountOf(account, password);
    ReadBooks(books_->books);
    ReadCalendars(books_->calendars);
    Books* books = books_.get();
    thread_ = QThread::create([books] {
        books->requests = ExchangeBooks(books->books, books->calendars, books->account);
    });
    connect(thread_, &QThread::finished, this, &BackgroundSync::applyAndFinish);
    thread_->start();
    return true;
}

void BackgroundSync::applyAndFinish() {
    thread_->deleteLater();
    thread_ = nullptr;
    const SyncRun run = ApplyBooks(books_->books, books_->calendars, books_->requests);
    books_.reset();
    emit finished(run);
}
