// Every input the report fuzzers kept (and every one that once broke a
// reader) is replayed here: it must end in a refusal or in a result, never in
// a crash.
#include "fuzz/report_harness.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

void Replay(const QString& folder,
            const std::function<void(const std::uint8_t*, std::size_t)>& run) {
    const QDir corpus(folder);
    const QStringList inputs = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(inputs.isEmpty()) << folder.toStdString();
    for (const QString& name : inputs) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(name.toStdString());
        run(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size()));
    }
}

TEST(FuzzCorpus, ReportDefinitionsReplayWithoutCrashing) {
    Replay(KESP_FUZZ_CORPUS "/report_definition", RunReportDefinitionInput);
}

TEST(FuzzCorpus, ReportExpressionsReplayWithoutCrashing) {
    Replay(KESP_FUZZ_CORPUS "/report_expression", RunReportExpressionInput);
}

}  // namespace
