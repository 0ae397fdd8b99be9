#include "store/table_schema.h"

#include "store/dbf_format.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/memo_file.h"

#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace kesp {
namespace {

using store::Field;

[[noreturn]] void RaiseBadDefinition(const QString& path, const QString& what) {
    store::RaiseTableFault(1021, QStringLiteral("Invalid field definition"), path, what);
}

}  // namespace

namespace store {

std::vector<Field> DescribedFields(const QString& path, const std::vector<FieldSpec>& described,
                                   MemoKind kind, std::uint8_t* version) {
    if (described.empty() || described.size() > 1000)
        RaiseBadDefinition(path, QStringLiteral("fields"));
    std::vector<Field> fields;
    int offset = 1;
    bool anyMemo = false;
    for (const FieldSpec& wanted : described) {
        Field f;
        f.name = wanted.name.toUpper();
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(wanted.type)));
        const bool nameOk =
            !f.name.isEmpty() && f.name.size() <= 10 &&
            std::all_of(f.name.begin(), f.name.end(), [](QChar c) {
                return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
            });
        if (!nameOk) RaiseBadDefinition(path, wanted.name);
        switch (f.type) {
            case 'C':
                f.length = wanted.length;
                break;
            case 'N':
                f.length = wanted.length;
                f.decimals = wanted.decimals;
                if (f.length > 20 || f.decimals < 0 ||
                    (f.decimals > 0 && f.decimals > f.length - 2)) {
                    RaiseBadDefinition(path, wanted.name);
                }
                break;
            case 'D':
                f.length = 8;
                break;
            case 'L':
                f.length = 1;
                break;
            case 'M':
                f.length = 10;
                anyMemo = true;
                break;
            default:
                RaiseBadDefinition(path, wanted.name);
        }
        if (f.length < 1 || f.length > 254) RaiseBadDefinition(path, wanted.name);
        f.offset = offset;
        offset += f.length;
        fields.push_back(f);
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (fields[i].name == fields[j].name) RaiseBadDefinition(path, fields[i].name);
        }
    }
    *version = !anyMemo ? 0x03 : kind == MemoKind::Fpt ? 0xF5 : 0x83;
    return fields;
}

}  // namespace store

void CreateTable(const QString& path, const std::vector<FieldSpec>& described, MemoKind kind) {
    using namespace store;
    std::uint8_t version = 0;
    const std::vector<Field> fields = DescribedFields(path, described, kind, &version);
    const int recordLength = RecordLengthOf(fields);
    const bool anyMemo = KindOfVersion(version).has_value();
    FileHandle file = FileHandle::Open(path, true);
    QByteArray bytes = TableHeader(version, fields, 0, recordLength);
    bytes.append(kEndOfFile);
    file.WriteAt(0, bytes);
    file.Sync();
    if (anyMemo) {
        const QFileInfo info(path);
        const bool upper = info.suffix() == info.suffix().toUpper() && !info.suffix().isEmpty();
        QString ext = kind == MemoKind::Fpt ? QStringLiteral("fpt") : QStringLiteral("dbt");
        if (upper) ext = ext.toUpper();
        MemoFile memo = MemoFile::Create(
            info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('.') + ext,
            kind);
        memo.Sync();
    }
    SyncDirectoryOf(path);
}

void CreateTableWhole(const QString& path, const std::vector<FieldSpec>& fields, MemoKind kind) {
    const QFileInfo info(path);
    const QString made =
        info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".neu");
    try {
        CreateTable(made, fields, kind);
        store::RenameFile(made, path);
    } catch (const WriteFailure&) {
        store::RemoveFile(made);
        throw;
    }
}

}  // namespace kesp
