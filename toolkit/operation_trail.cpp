#include "toolkit/operation_trail.h"

#include <vector>

namespace kesp {
namespace {

std::vector<TrailEntry>& RunningOperations() {
    static std::vector<TrailEntry> running;
    return running;
}

}  // namespace

OperationScope::OperationScope(const char* operation, int line) {
    RunningOperations().push_back({operation, line});
}

OperationScope::~OperationScope() {
    RunningOperations().pop_back();
}

QList<TrailEntry> OperationTrail() {
    const auto& running = RunningOperations();
    return QList<TrailEntry>(running.begin(), running.end());
}

QStringList CalledFromLines() {
    QStringList lines;
    const auto& running = RunningOperations();
    for (auto entry = running.rbegin(); entry != running.rend(); ++entry)
        lines << QStringLiteral("Called from %1(%2)")
                     .arg(QString::fromLatin1(entry->operation))
                     .arg(entry->line);
    return lines;
}

}  // namespace kesp
