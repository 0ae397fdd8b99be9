// One sync of the address books with the account's server (server_account.h):
// for each book kept with an address book there, its records read, the
// exchange (apps/addresses/contact_sync.h), the records written, and then
// the book's sync token and the time of the sync kept in the account. The
// agenda and the projects go along in the same run (calendar_sync.h).
//
// The command line runs it in one go (SyncAddressBooksNow); the program runs
// the exchange in a thread of its own (BackgroundSync), so that no window
// waits on the network, and reads and writes the tables in the event loop, a
// slice per turn of the loop, so that no window waits on a large book either.
#pragma once

#include "apps/addresses/contact_sync.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <functional>
#include <memory>

class BooksRun;

struct SyncRun {
    QStringList summary;  // a line per book, in the interface language
    QString problem;      // the first problem, in the interface language; empty: none
    bool offline = false;
    int requests = 0;     // sent to the server
    int changedHere = 0;  // records changed, added or moved to the trash here
};

// In the calling thread. The account must have a server.
SyncRun SyncAddressBooksNow(const QString& password);

class BackgroundSync : public QObject {
    Q_OBJECT
  public:
    explicit BackgroundSync(QObject* parent = nullptr);
    ~BackgroundSync() override;

    // Reads the books and starts the exchange; false when a sync is running
    // or there is no account (nothing started).
    bool start(const QString& password);
    bool running() const { return books_ != nullptr; }

  signals:
    void finished(const SyncRun& run);

  private:
    void exchanged();
    // Runs `slice` once per turn of the event loop until it says it is done, then `then`.
    void inSlices(std::function<bool()> slice, std::function<void()> then);
    std::unique_ptr<BooksRun> books_;
    QThread* thread_ = nullptr;
};
