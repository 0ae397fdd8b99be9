// Writes the installed tables into a data folder:
//
//   kesp_make_data_files <data folder>
//
// Every table of the installed description that is missing, or whose file has
// other fields than described, is created anew and receives its first
// records. A table that already has exactly the described fields is left as it
// is, so rebuilding the program never throws away the records of someone who
// uses the built application folder. The build runs this into the data folder
// of the portable application folder.
#include "data/installed_table_files.h"
#include "data/installed_tables.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

// The field descriptors of a table file's header (name, type, width,
// decimals), compared with the description.
bool HasDescribedFields(const QString& path, const kesp::TableDescription& table) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray header = file.read(32 + 32 * 256);
    int offset = 32;
    for (const kesp::FieldDescription& field : table.fields) {
        if (offset + 32 > header.size()) return false;
        const QByteArray descriptor = header.mid(offset, 32);
        const QString name = QString::fromLatin1(descriptor.left(11).constData());
        const int width = static_cast<unsigned char>(descriptor[16]);
        const int decimals = static_cast<unsigned char>(descriptor[17]);
        if (name.compare(field.name, Qt::CaseInsensitive) != 0 || descriptor[11] != field.type)
            return false;
        if ((field.type == 'C' || field.type == 'N') &&
            (width != field.width || decimals != field.decimals))
            return false;
        offset += 32;
    }
    return offset < header.size() && header[offset] == '\r';
}

void WriteTable(const QString& folder, const kesp::TableDescription& table) {
    const QString path = QDir(folder).filePath(table.file);
    if (HasDescribedFields(path, table)) return;
    kesp::WriteInstalledTable(path, table);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        SET_DELETED(true);
        for (const kesp::TableDescription& table : kesp::InstalledTables())
            WriteTable(folder, table);
    } catch (const kesp::FaultException& fault) {
        std::fprintf(stderr, "%s\n", qPrintable(fault.fault().text()));
        return 1;
    }
    return 0;
}
