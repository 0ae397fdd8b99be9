#include "store/table_file_check.h"

#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_names.h"

#include <sys/stat.h>

namespace kesp::store {
namespace {

// Restores the handler in force when it goes, however the check ends.
class FaultsThrown {
  public:
    FaultsThrown() : before_(SetFaultHandler({})) {}
    ~FaultsThrown() { SetFaultHandler(std::move(before_)); }
    FaultsThrown(const FaultsThrown&) = delete;
    FaultsThrown& operator=(const FaultsThrown&) = delete;

  private:
    FaultHandler before_;
};

// Not followed: a link in a backup may lead anywhere on the system.
bool IsPlainFile(const QString& path) {
    struct stat info {};
    return ::lstat(NativeFileName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool NameIsTaken(const QString& path) {
    struct stat info {};
    return ::lstat(NativeFileName(path).constData(), &info) == 0;
}

}  // namespace

QString TableFileDamage(const QString& path) {
    if (!IsPlainFile(path)) {
        return NameIsTaken(path) ? QStringLiteral("%1: not a plain file").arg(path)
                                 : QStringLiteral("%1: missing").arg(path);
    }
    for (const QString& memo : MemoCandidates(path)) {
        if (NameIsTaken(memo) && !IsPlainFile(memo))
            return QStringLiteral("%1: not a plain file").arg(memo);
    }
    const FaultsThrown thrown;
    try {
        const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
        if (!table) return {};  // held by another program, which is writing it whole
        const std::vector<QString> problems = table->CheckStructure();
        return problems.empty() ? QString() : problems.front();
    } catch (const FaultException& fault) {
        return fault.fault().text();
    }
}

}  // namespace kesp::store
