#include "fuzz/open_table_harness.h"

#include "store/fault.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// In memory where the system offers it: every input syncs files to disk.
const QString& Folder() {
    static QTemporaryDir dir(QDir("/dev/shm").exists()
                                 ? QStringLiteral("/dev/shm/kesp-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kesp-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

void WriteBytes(const QString& path, const std::uint8_t* data, std::size_t size) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

void CloseQuietly() {
    try {
        DBCLOSEALL();
    } catch (const kesp::FaultException&) {
        DBCLOSEALL();
    }
}

void Exercise(const QString& table) {
    DBUSEAREA(true, table);
    if (!USED()) return;
    int visited = 0;
    for (DBGOTOP(); !DBEOF() && visited < 2000; DBSKIP(), ++visited) {
        for (int i = 1; i <= FCOUNT(); ++i)
            FIELD(FIELDNAME(i));
    }
    DBGOBOTTOM();
    DBSKIP(-1);
    if (RECCOUNT() > 2000 || FCOUNT() < 1) return;
    const QString first = FIELDNAME(1);
    DBCREATEINDEX("fuzz", first);
    DBSEEK(FIELD(first));
    DBGOTO(1);
    DBDELETE();
    for (int i = 1; i <= FCOUNT(); ++i)
        REPLACE(FIELDNAME(i), FIELD(FIELDNAME(i)));
    DBAPPEND();
    __DBPACK();
    DBGOBOTTOM();
    for (int i = 1; i <= FCOUNT(); ++i)
        FIELD(FIELDNAME(i));
}

}  // namespace

void RunOpenTableInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    const bool fpt = data[0] & 1;
    const std::size_t tableSize = std::min<std::size_t>(data[1] | (data[2] << 8), size - 3);
    const QString table = Folder() + QStringLiteral("/t.dbf");
    QDir::setCurrent(Folder());
    QFile::remove(Folder() + QStringLiteral("/t.dbt"));
    QFile::remove(Folder() + QStringLiteral("/t.fpt"));
    WriteBytes(table, data + 3, tableSize);
    WriteBytes(Folder() + (fpt ? QStringLiteral("/t.fpt") : QStringLiteral("/t.dbt")),
               data + 3 + tableSize, size - 3 - tableSize);
    try {
        Exercise(table);
    } catch (const kesp::FaultException&) {
        // The expected answer to a damaged file.
    }
    CloseQuietly();
}
