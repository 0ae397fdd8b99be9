#include "shell/kept_figures.h"

#include "store/fault.h"
#include "store/file_names.h"

#include <QDataStream>
#include <QFile>
#include <QIODevice>

using kesp::store::FileStamp;

namespace {

constexpr char kMagic[] = "KESPFIG1";
constexpr char kEnd[] = "KESPEND1";
// More would be no file this program wrote.
constexpr quint32 kMostEntries = 4096;

QString FileIn(const QString& folder) {
    return folder + QLatin1Char('/') + QLatin1String(kKeptFiguresFile);
}

void Put(QDataStream& out, const FileStamp& stamp) {
    out << quint64{stamp.device} << quint64{stamp.inode} << quint64{stamp.size}
        << qint64{stamp.modifiedNs} << qint64{stamp.changedNs};
}

FileStamp TakeStamp(QDataStream& in) {
    quint64 device = 0, inode = 0, size = 0;
    qint64 modified = 0, changed = 0;
    in >> device >> inode >> size >> modified >> changed;
    return {device, inode, size, modified, changed};
}

void Put(QDataStream& out, const TableFigures& figures) {
    out << qint64{figures.live} << static_cast<quint32>(figures.days.size());
    for (const auto& [key, days] : figures.days) {
        out << key;
        for (const std::uint32_t count : days)
            out << quint32{count};
    }
}

TableFigures TakeFigures(QDataStream& in) {
    TableFigures figures;
    qint64 live = 0;
    quint32 dates = 0;
    in >> live >> dates;
    figures.live = live;
    for (quint32 n = 0; n < dates && n < kMostEntries && in.status() == QDataStream::Ok; ++n) {
        QString key;
        in >> key;
        DayOfYearCounts& days = figures.days[key];
        for (std::uint32_t& count : days) {
            quint32 read = 0;
            in >> read;
            count = read;
        }
    }
    return figures;
}

}  // namespace

KeptFigures KeptFigures::ReadFrom(const QString& folder) {
    QFile file(FileIn(folder));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    const qsizetype magic = sizeof kMagic - 1;
    const qsizetype end = sizeof kEnd - 1;
    if (bytes.size() < magic + end || !bytes.startsWith(kMagic) || !bytes.endsWith(kEnd)) return {};
    QDataStream in(bytes.sliced(magic, bytes.size() - magic - end));
    in.setVersion(QDataStream::Qt_6_0);
    KeptFigures kept;
    quint32 entries = 0;
    in >> entries;
    if (entries > kMostEntries) return {};
    for (quint32 n = 0; n < entries && in.status() == QDataStream::Ok; ++n) {
        QString name;
        Entry entry;
        in >> name;
        entry.stamp = TakeStamp(in);
        qint64 began = 0;
        in >> began;
        entry.countBeganNs = began;
        entry.figures = TakeFigures(in);
        kept.entries_[name] = std::move(entry);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd()) return {};
    return kept;
}

std::optional<TableFigures> KeptFigures::Find(const QString& name, const FileStamp& stamp) const {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return std::nullopt;
    const Entry& entry = found->second;
    if (entry.stamp != stamp || !stamp.ChangedBefore(entry.countBeganNs)) return std::nullopt;
    return entry.figures;
}

void KeptFigures::Keep(const QString& name, const FileStamp& stamp, std::int64_t countBeganNs,
                       TableFigures figures) {
    entries_[name] = {stamp, countBeganNs, std::move(figures)};
}

bool KeptFigures::WriteTo(const QString& folder) const {
    QByteArray bytes(kMagic);
    {
        QDataStream out(&bytes, QIODevice::Append);
        out.setVersion(QDataStream::Qt_6_0);
        out << static_cast<quint32>(entries_.size());
        for (const auto& [name, entry] : entries_) {
            out << name;
            Put(out, entry.stamp);
            out << qint64{entry.countBeganNs};
            Put(out, entry.figures);
        }
    }
    bytes.append(kEnd);
    const QString path = FileIn(folder);
    const QString beside = path + QStringLiteral(".new");
    try {
        kesp::store::FileHandle file = kesp::store::FileHandle::Open(beside, true);
        file.WriteAt(0, bytes);
        file.RenameTo(path);
        return true;
    } catch (const kesp::WriteFailure&) {
        kesp::store::RemoveFile(beside);
        return false;
    }
}
