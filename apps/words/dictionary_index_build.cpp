#include "apps/words/dictionary_index_build.h"

#include "apps/words/word_index.h"
#include "store/dbf_table.h"
#include "toolkit/beside_the_loop.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <memory>
#include <utility>
#include <vector>

using kesp::store::DbfTable;

namespace {

struct Waiting {
    QPointer<QObject> receiver;
    std::function<void()> ready;
};

bool coming = false;
std::vector<Waiting> waiting;

// On the event loop: the side file saved is read in place of the bytes
// built, so that the system keeps only what is read.
void Finish(std::unique_ptr<WordIndex> built, bool saved, const QString& tablePath) {
    if (saved)
        if (auto opened = WordIndex::Open(tablePath)) built = std::move(opened);
    KeepDictionaryIndex(std::move(built));
    coming = false;
    for (const Waiting& each : std::exchange(waiting, {}))
        if (each.receiver) each.ready();
}

}  // namespace

void BuildDictionaryIndexInBackground(const QString& tablePath) {
    if (coming || CurrentDictionaryIndex(tablePath)) return;
    const std::unique_ptr<DbfTable> table = DbfTable::Open(tablePath, DbfTable::Purpose::Inspect);
    if (!table) return;
    auto records = std::make_shared<WordIndex::Records>(WordIndex::TakeRecords(*table));
    coming = true;
    DictionaryIndexPool().start([records] {
        // Moved through copies of the function that carries it.
        auto built = std::make_shared<std::unique_ptr<WordIndex>>(WordIndex::Build(*records));
        const bool saved = (*built)->Save();
        // Dropped when the application is already going away.
        QCoreApplication* application = QCoreApplication::instance();
        if (!application) return;
        QMetaObject::invokeMethod(
            application,
            [application, built, saved, tablePath = records->tablePath] {
                kesp::RunOutsideTurns(application, [built, saved, tablePath] {
                    Finish(std::move(*built), saved, tablePath);
                });
            },
            Qt::QueuedConnection);
    });
}

QThreadPool& DictionaryIndexPool() {
    // The application waits for it as it goes away.
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool(QCoreApplication::instance());
        made->setMaxThreadCount(1);
        return made;
    }();
    return *pool;
}

bool DictionaryIndexComing() {
    return coming;
}

void WhenDictionaryIndexReady(QObject* receiver, std::function<void()> ready) {
    if (!coming) {
        ready();
        return;
    }
    waiting.push_back({receiver, std::move(ready)});
}
