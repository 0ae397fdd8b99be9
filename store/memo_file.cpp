#include "store/memo_file.h"

#include <algorithm>
#include <array>

namespace kesp::store {
namespace {

constexpr std::uint32_t kHeaderSize = 512;
constexpr std::uint32_t kFoxBlockSize = 64;
constexpr char kEndOfMemo = 0x1A;

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}
std::uint32_t LittleEndian32(const unsigned char* p) {
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) |
           p[0];
}
void PutBigEndian32(char* p, std::uint32_t v) {
    p[0] = static_cast<char>(v >> 24);
    p[1] = static_cast<char>(v >> 16);
    p[2] = static_cast<char>(v >> 8);
    p[3] = static_cast<char>(v);
}
void PutLittleEndian32(char* p, std::uint32_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
    p[2] = static_cast<char>(v >> 16);
    p[3] = static_cast<char>(v >> 24);
}

}  // namespace

MemoFile MemoFile::Open(const QString& path, MemoKind kind, const QString& tablePath) {
    MemoFile memo;
    memo.file_ = FileHandle::Open(path);
    memo.tablePath_ = tablePath;
    memo.kind_ = kind;
    memo.size_ = memo.file_.Size();
    std::array<unsigned char, kHeaderSize> header{};
    const std::size_t got =
        memo.file_.ReadAt(0, reinterpret_cast<char*>(header.data()), header.size());
    if (got < 8) memo.RaiseDamage(QStringLiteral("memo header cut short"));
    if (kind == MemoKind::Fpt) {
        const std::uint32_t size = (std::uint32_t{header[6]} << 8) | header[7];
        if (size == 0) memo.RaiseDamage(QStringLiteral("memo block size 0"));
        memo.blockSize_ = size <= 32 ? size * 512 : size;
    }
    return memo;
}

MemoFile MemoFile::Create(const QString& path, MemoKind kind) {
    MemoFile memo;
    memo.file_ = FileHandle::Open(path, true);
    memo.kind_ = kind;
    QByteArray header(kHeaderSize, '\0');
    if (kind == MemoKind::Fpt) {
        memo.blockSize_ = kFoxBlockSize;
        PutBigEndian32(header.data(), kHeaderSize / kFoxBlockSize);
        header[6] = 0;
        header[7] = static_cast<char>(kFoxBlockSize);
    } else {
        PutLittleEndian32(header.data(), 1);
        header[16] = 0x03;  // dBase III memo version
    }
    memo.file_.WriteAt(0, header);
    memo.size_ = kHeaderSize;
    return memo;
}

QByteArray MemoFile::Read(std::uint32_t block) const {
    QByteArray data;
    const QString damage = Inspect(block, &data);
    if (!damage.isEmpty()) RaiseDamage(damage);
    return data;
}

void MemoFile::RaiseDamage(const QString& what) const {
    if (tablePath_.isEmpty()) RaiseCorruption(path(), what);
    const qsizetype slash = path().lastIndexOf(QLatin1Char('/'));
    RaiseTableDamage(tablePath_, path().mid(slash + 1) + QStringLiteral(": ") + what);
}

MemoFile::Mark MemoFile::Here() const {
    Mark mark;
    mark.size = size_;
    mark.head.resize(4);
    file_.ReadAt(0, mark.head.data(), 4);
    return mark;
}

void MemoFile::RollBack(const Mark& mark) {
    if (file_.Size() != mark.size) file_.Truncate(mark.size);
    file_.WriteAt(0, mark.head);
    size_ = mark.size;
}

QString MemoFile::Check(std::uint32_t block) const {
    QByteArray data;
    return Inspect(block, &data);
}

QString MemoFile::Inspect(std::uint32_t block, QByteArray* data) const {
    data->clear();
    if (block == 0) return {};
    const std::uint64_t offset = std::uint64_t{block} * blockSize_;
    if (offset < kHeaderSize || offset >= size_) {
        return QStringLiteral("memo block %1 beyond the file").arg(block);
    }
    const std::uint64_t available = size_ - offset;
    std::array<unsigned char, 8> head{};
    const std::size_t got = file_.ReadAt(offset, reinterpret_cast<char*>(head.data()), 8);
    if (kind_ == MemoKind::Fpt) {
        if (got < 8) return QStringLiteral("memo block %1 cut short").arg(block);
        const std::uint32_t length = BigEndian32(head.data() + 4);
        if (length > available - 8) {
            return QStringLiteral("memo block %1 runs past the end").arg(block);
        }
        data->resize(static_cast<qsizetype>(length));
        file_.ReadAt(offset + 8, data->data(), length);
        return {};
    }
    // dBase IV blocks carry their length; dBase III text runs to the end mark.
    if (got == 8 && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
        const std::uint32_t length = LittleEndian32(head.data() + 4);
        if (length < 8 || length - 8 > available - 8) {
            return QStringLiteral("memo block %1 runs past the end").arg(block);
        }
        data->resize(static_cast<qsizetype>(length - 8));
        file_.ReadAt(offset + 8, data->data(), length - 8);
        return {};
    }
    std::array<char, 4096> chunk{};
    std::uint64_t at = offset;
    while (at < size_) {
        const std::size_t n = file_.ReadAt(at, chunk.data(), chunk.size());
        if (n == 0) break;
        for (std::size_t i = 0; i < n; ++i) {
            if (chunk[i] == kEndOfMemo) {
                data->append(chunk.data(), static_cast<qsizetype>(i));
                return {};
            }
        }
        data->append(chunk.data(), static_cast<qsizetype>(n));
        at += n;
    }
    return {};  // no end mark before the end of the file: the text there is the memo
}

std::uint64_t MemoFile::NextFreeBlock() const {
    std::array<unsigned char, 4> head{};
    file_.ReadAt(0, reinterpret_cast<char*>(head.data()), 4);
    const std::uint64_t stated =
        kind_ == MemoKind::Fpt ? BigEndian32(head.data()) : LittleEndian32(head.data());
    // Never trust a header that points back into used space: append after the end.
    const std::uint64_t atEnd = (size_ + blockSize_ - 1) / blockSize_;
    const std::uint64_t first = kHeaderSize / blockSize_ + (kHeaderSize % blockSize_ ? 1 : 0);
    return std::max({stated, atEnd, first});
}

std::uint32_t MemoFile::Append(const QByteArray& text) {
    if (text.isEmpty()) return 0;
    const std::uint64_t block = NextFreeBlock();
    QByteArray stored;
    if (kind_ == MemoKind::Fpt) {
        stored.resize(8);
        PutBigEndian32(stored.data(), 1);
        PutBigEndian32(stored.data() + 4, static_cast<std::uint32_t>(text.size()));
        stored += text;
    } else {
        stored = text;
        stored.append(kEndOfMemo).append(kEndOfMemo);
    }
    const std::uint64_t blocks = (stored.size() + blockSize_ - 1) / blockSize_;
    stored.append(QByteArray(static_cast<qsizetype>(blocks * blockSize_ - stored.size()), '\0'));
    const std::uint64_t next = block + blocks;
    if (next > 0xFFFFFFFFu) RaiseDamage(QStringLiteral("memo file full"));
    file_.WriteAt(block * blockSize_, stored);
    size_ = std::max(size_, next * blockSize_);
    std::array<char, 4> head{};
    if (kind_ == MemoKind::Fpt) {
        PutBigEndian32(head.data(), static_cast<std::uint32_t>(next));
    } else {
        PutLittleEndian32(head.data(), static_cast<std::uint32_t>(next));
    }
    file_.WriteAt(0, head.data(), head.size());
    return static_cast<std::uint32_t>(block);
}

}  // namespace kesp::store
