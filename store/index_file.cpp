// The index file of a KeyOrder: writing it with the fit it was built under,
// reading it back whole or for its key text (format in key_order.h).
#include "store/codec.h"
#include "store/disk_wait.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/key_order.h"
#include "store/key_texts.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

namespace kesp::store {
namespace {

constexpr char kMagic[] = "KESPNTX3";
constexpr char kSecondMagic[] = "KESPNTX2";  // no source of the keys
constexpr char kFirstMagic[] = "KESPNTX1";
// Closes the file: a file cut short anywhere lacks it.
constexpr char kEnd[] = "KESPEND2";

void AppendLe(std::vector<char>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

// Bytes read from a file into memory that is not cleared first.
struct ReadBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

// Reads little-endian integers from a file read whole; past its end, every
// read fails and the reader says so.
class Reader {
  public:
    explicit Reader(const ReadBytes& bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t at() const { return at_; }
    std::uint64_t Le(int bytes) {
        if (!Has(static_cast<std::size_t>(bytes))) return 0;
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= std::uint64_t{static_cast<unsigned char>(bytes_.data[at_ + i])} << (8 * i);
        at_ += static_cast<std::size_t>(bytes);
        return value;
    }
    const char* Take(std::size_t length) {
        if (!Has(length)) return nullptr;
        const char* from = bytes_.data.get() + at_;
        at_ += length;
        return from;
    }

  private:
    bool Has(std::size_t length) {
        ok_ = ok_ && length <= bytes_.size - at_;
        return ok_;
    }
    const ReadBytes& bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

struct Written {
    std::uint64_t version = 0;
    std::optional<IndexFit> fit;
    std::optional<FileStamp> file;  // as written or read
};

// What each index file was last written from, by path.
std::map<QString, Written>& WrittenVersions() {
    static std::map<QString, Written> written;
    return written;
}

// The version of the order whose writing the system last refused, by path.
std::map<QString, std::uint64_t>& RefusedVersions() {
    static std::map<QString, std::uint64_t> refused;
    return refused;
}

void AppendFit(std::vector<char>& out, const std::optional<IndexFit>& fit) {
    out.push_back(fit ? 1 : 0);
    if (!fit) return;
    AppendLe(out, fit->table.device, 8);
    AppendLe(out, fit->table.inode, 8);
    AppendLe(out, fit->table.size, 8);
    AppendLe(out, static_cast<std::uint64_t>(fit->table.modifiedNs), 8);
    AppendLe(out, static_cast<std::uint64_t>(fit->table.changedNs), 8);
    AppendLe(out, fit->records, 4);
    const QByteArray format = EncodeText(fit->dateFormat);
    AppendLe(out, static_cast<std::uint32_t>(format.size()), 4);
    out.insert(out.end(), format.begin(), format.end());
}

std::optional<IndexFit> ReadFit(Reader& in) {
    const char* known = in.Take(1);
    if (!known || *known != 1) return std::nullopt;
    IndexFit fit;
    fit.table.device = in.Le(8);
    fit.table.inode = in.Le(8);
    fit.table.size = in.Le(8);
    fit.table.modifiedNs = static_cast<std::int64_t>(in.Le(8));
    fit.table.changedNs = static_cast<std::int64_t>(in.Le(8));
    fit.records = static_cast<std::uint32_t>(in.Le(4));
    const auto length = static_cast<std::size_t>(in.Le(4));
    const char* format = length <= 64 ? in.Take(length) : nullptr;
    if (!in.ok() || !format) return std::nullopt;
    fit.dateFormat = DecodeText(QByteArray(format, static_cast<qsizetype>(length)));
    return fit;
}

}  // namespace

void KeyOrder::WriteFile(const std::optional<IndexFit>& fit) try {
    WrittenVersions().erase(path_);  // until the whole file is written
    // Through a file beside it: a write the system refuses leaves the old file whole.
    FileHandle file = FileHandle::Open(path_ + QStringLiteral(".new"), true);
    // The file's bytes are laid out and written where the disk is waited
    // for: the order and the table's records stay as they are meanwhile.
    WaitForDisk([this, &fit, &file] { WriteContent(file, fit); });
    file.RenameTo(path_);
    WrittenVersions()[path_] = {version_, fit, FileHandle::StampOf(path_)};
    RefusedVersions().erase(path_);
} catch (const WriteFailure& failure) {
    RemoveFile(path_ + QStringLiteral(".new"));
    RefusedVersions()[path_] = version_;
    Fault fault = failure.fault();
    fault.fileName = path_;  // the user knows the index, not the file beside it
    throw WriteFailure(fault);
}

void KeyOrder::WriteContent(FileHandle& file, const std::optional<IndexFit>& fit) const {
    std::vector<char> out(kMagic, kMagic + 8);
    out.reserve((std::size_t{1} << 20) + 4096);
    const QByteArray text = EncodeText(keyText_);
    AppendLe(out, static_cast<std::uint32_t>(text.size()), 4);
    out.insert(out.end(), text.begin(), text.end());
    AppendFit(out, fit);
    AppendLe(out, static_cast<std::uint32_t>(order_.size()), 4);
    std::uint64_t at = 0;
    const auto flushFull = [&file, &out, &at] {
        if (out.size() < (std::size_t{1} << 20)) return;
        file.WriteAt(at, out.data(), out.size());
        at += out.size();
        out.clear();
    };
    if constexpr (std::endian::native == std::endian::little) {
        // The record numbers as they lie in memory are the file's.
        file.WriteAt(at, out.data(), out.size());
        at += out.size();
        out.clear();
        file.WriteAt(at, reinterpret_cast<const char*>(order_.data()),
                     order_.size() * sizeof(std::uint32_t));
        at += order_.size() * sizeof(std::uint32_t);
    } else {
        for (const std::uint32_t record : order_) {
            AppendLe(out, record, 4);
            flushFull();
        }
    }
    // The keys are read in key order, from all over the table: each is asked
    // for a few entries ahead, so that the memory fetches overlap.
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (i + kAhead < order_.size()) __builtin_prefetch(KeyData(order_[i + kAhead]));
        AppendLe(out, KeyLength(order_[i]), 2);
        CopyKey(order_[i], out);
        flushFull();
    }
    const bool withSource =
        sourceWidth_ > 0 &&
        source_.size() == order_.size() * static_cast<std::size_t>(sourceWidth_);
    AppendLe(out, withSource ? static_cast<std::uint32_t>(sourceWidth_) : 0, 4);
    if (withSource) {
        file.WriteAt(at, out.data(), out.size());
        at += out.size();
        out.clear();
        file.WriteAt(at, source_.data(), source_.size());
        at += source_.size();
    }
    out.insert(out.end(), kEnd, kEnd + 8);
    file.WriteAt(at, out.data(), out.size());
}

bool KeyOrder::modified() const {
    const auto written = WrittenVersions().find(path_);
    if (written != WrittenVersions().end() && written->second.version == version_) return false;
    const auto refused = RefusedVersions().find(path_);
    return refused == RefusedVersions().end() || refused->second != version_;
}

void KeyOrder::MarkHeldByItsFile(const std::optional<IndexFit>& fit, const FileStamp& file) {
    WrittenVersions()[path_] = {version_, fit, file};
}

bool KeyOrder::heldByItsFile() const {
    const auto written = WrittenVersions().find(path_);
    return written != WrittenVersions().end() && written->second.version == version_;
}

std::optional<FileStamp> KeyOrder::heldFileStamp() const {
    const auto written = WrittenVersions().find(path_);
    if (written == WrittenVersions().end() || written->second.version != version_) return {};
    return written->second.file;
}

bool KeyOrder::writtenWithoutFit() const {
    const auto written = WrittenVersions().find(path_);
    return written != WrittenVersions().end() && written->second.version == version_ &&
           !written->second.fit;
}

bool KeyOrder::heldUnderAnotherStamp(const IndexFit& fit) const {
    const auto written = WrittenVersions().find(path_);
    if (written == WrittenVersions().end() || written->second.version != version_) return false;
    const std::optional<IndexFit>& held = written->second.fit;
    return held && held->records == fit.records && held->dateFormat == fit.dateFormat &&
           held->table != fit.table;
}

QString KeyOrder::ReadKeyText(const QString& filePath) {
    // Read on every reopening of an index: one read covers the usual short key texts.
    FileHandle file = FileHandle::Open(filePath);
    char head[12 + 256] = {};
    const std::size_t got = file.ReadAt(0, head, sizeof head);
    if (got < 12 || (std::memcmp(head, kMagic, 8) != 0 && std::memcmp(head, kSecondMagic, 8) != 0 &&
                     std::memcmp(head, kFirstMagic, 8) != 0)) {
        RaiseCorruption(filePath, QStringLiteral("not an index file"));
    }
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= std::uint32_t{static_cast<unsigned char>(head[8 + i])} << (8 * i);
    if (length > 4096) RaiseCorruption(filePath, QStringLiteral("key text"));
    if (12 + std::size_t{length} <= got) return DecodeText(QByteArray(head + 12, length));
    QByteArray text(static_cast<qsizetype>(length), Qt::Uninitialized);
    if (file.ReadAt(12, text.data(), length) < length)
        RaiseCorruption(filePath, QStringLiteral("key text"));
    return DecodeText(text);
}

std::optional<IndexFileContent> KeyOrder::ReadContent(const QString& filePath,
                                                      KeysToRead keysToRead) {
    // Read by the system's calls, not FileHandle's: a file missing or
    // unreadable here is no fault, the order is then built.
    const int descriptor = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    const FileHandle file(descriptor, filePath);
    const std::optional<FileStamp> stamp = file.Stamp();
    if (!stamp) return std::nullopt;
    // Nothing read, size 0, where the file ends too soon.
    const auto readAt = [descriptor, &stamp](std::uint64_t offset, std::size_t length) {
        ReadBytes bytes;
        if (offset > stamp->size || length > stamp->size - offset) return bytes;
        bytes.data = std::make_unique_for_overwrite<char[]>(length);
        for (std::size_t done = 0; done < length;) {
            const ssize_t got = ::pread(descriptor, bytes.data.get() + done, length - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return ReadBytes{};
            done += static_cast<std::size_t>(got);
        }
        bytes.size = length;
        return bytes;
    };
    // The head: key text, fit and count, within the first bytes but for a
    // long key text.
    const ReadBytes head =
        readAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(stamp->size, 8192)));
    Reader in(head);
    const char* magic = in.Take(8);
    const bool withSource = magic && std::memcmp(magic, kMagic, 8) == 0;
    if (!magic || (!withSource && std::memcmp(magic, kSecondMagic, 8) != 0) || stamp->size < 16)
        return std::nullopt;
    const ReadBytes end = readAt(stamp->size - 8, 8);
    if (end.size != 8 || std::memcmp(end.data.get(), kEnd, 8) != 0) return std::nullopt;
    IndexFileContent content;
    content.stamp = *stamp;
    const auto textLength = static_cast<std::size_t>(in.Le(4));
    const char* text = in.Take(textLength);
    if (!text) return std::nullopt;
    content.keyText = DecodeText(QByteArray(text, static_cast<qsizetype>(textLength)));
    content.fit = ReadFit(in);
    const auto count = static_cast<std::size_t>(in.Le(4));
    if (!in.ok() || count > (stamp->size - in.at()) / 6) return std::nullopt;
    const ReadBytes records = readAt(in.at(), 4 * count);
    if (records.size != 4 * count) return std::nullopt;
    content.records.resize(count);
    if constexpr (std::endian::native == std::endian::little) {
        if (count > 0) std::memcpy(content.records.data(), records.data.get(), 4 * count);
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(records.data.get() + 4 * i);
            content.records[i] = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                 std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
        }
    }
    if (keysToRead == KeysToRead::None ||
        (keysToRead == KeysToRead::OfExpressions && HasNativeKeyForm(content.keyText)))
        return content;
    content.keysRead = true;
    const std::uint64_t keysAt = in.at() + 4 * count;
    const ReadBytes section = readAt(keysAt, static_cast<std::size_t>(stamp->size - 8 - keysAt));
    const char* sectionData = section.data.get();
    // Each key behind its length; the keys are gathered one after another.
    content.keyLengths.resize(count);
    content.keys.resize(section.size - std::min(section.size, 2 * count));
    std::size_t from = 0;
    std::size_t to = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (section.size - from < 2) return std::nullopt;
        const auto* bytes = reinterpret_cast<const unsigned char*>(sectionData + from);
        const auto length = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
        from += 2;
        if (section.size - from < length || content.keys.size() - to < length) return std::nullopt;
        if (length > 0) std::memcpy(content.keys.data() + to, sectionData + from, length);
        content.keyLengths[i] = length;
        from += length;
        to += length;
    }
    content.keys.resize(to);
    Reader keys(section);
    keys.Take(from);
    if (withSource) {
        const auto width = static_cast<std::size_t>(keys.Le(4));
        const char* source = width > 0 && width <= 256 ? keys.Take(width * count) : nullptr;
        if (!keys.ok()) return std::nullopt;
        if (source) {
            content.source.assign(source, source + width * count);
            content.sourceWidth = static_cast<int>(width);
        }
    }
    if (keys.at() != section.size) return std::nullopt;
    return content;
}

}  // namespace kesp::store
