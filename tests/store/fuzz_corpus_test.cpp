// Every input the fuzzer kept (and every one that once crashed the store) is
// replayed here: it must end in a fault or in success, never in a crash.
#include "fuzz/open_table_harness.h"
#include "test_support.h"

#include <QDir>
#include <QFile>

TEST_F(StoreTest, FuzzCorpusReplaysWithoutCrashing) {
    const QDir corpus(QStringLiteral(KESP_FUZZ_CORPUS));
    const QStringList inputs = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(inputs.isEmpty());
    for (const QString& name : inputs) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(name.toStdString());
        RunOpenTableInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()));
    }
}
