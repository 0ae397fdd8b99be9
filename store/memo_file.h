// The memo file of a table: ".dbt" or ".fpt", as the table header declares.
//
// .dbt (dBase III): 512-byte blocks; block 0 is the header, its first four
//   bytes (little-endian) the next free block. A memo is raw text ended by
//   0x1A 0x1A. dBase IV blocks (FF FF 08 00 + length) are read as well.
// .fpt (FoxPro): a 512-byte header holding the next free block (big-endian
//   u32 at 0) and the block size (big-endian u16 at 6, 64 when we create it).
//   A memo is type (u32 BE, 1 = text), length (u32 BE) and the bytes.
//
// Space is never reused: a changed memo is written at the end, so a memo a
// committed record points to is never overwritten. Pack writes a fresh file.
#pragma once

#include "store/file_handle.h"
#include "store/table_schema.h"

#include <QByteArray>

#include <cstdint>

namespace kesp::store {

class MemoFile {
  public:
    MemoFile() = default;
    // Opens an existing memo file of the table at tablePath; a missing one
    // raises the open fault, a damaged header the table's damage fault.
    static MemoFile Open(const QString& path, MemoKind kind, const QString& tablePath);
    // Writes an empty memo file (replacing one of the same name).
    static MemoFile Create(const QString& path, MemoKind kind);

    MemoKind kind() const { return kind_; }
    const QString& path() const { return file_.path(); }

    // Block 0 reads as the empty memo. A block beyond the file, or a length
    // running past its end, raises the table's damage fault.
    QByteArray Read(std::uint32_t block) const;
    // Appends the memo and returns its first block; an empty memo is not stored (0).
    std::uint32_t Append(const QByteArray& text);
    void Sync() { file_.Sync(); }
    // Damage a check finds without raising: "" when the block reads cleanly.
    QString Check(std::uint32_t block) const;
    // Reads the memo into `text`; the damage found ("" when none) instead of a fault.
    QString TryRead(std::uint32_t block, QByteArray* text) const { return Inspect(block, text); }

    // Where appending stands, to take back what a failed commit appended.
    struct Mark {
        std::uint64_t size = 0;
        QByteArray head;  // the next-free-block bytes
    };
    Mark Here() const;
    // The file cut back to the mark. Throws WriteFailure when the system refuses.
    void RollBack(const Mark& mark);

  private:
    std::uint64_t NextFreeBlock() const;
    QString Inspect(std::uint32_t block, QByteArray* data) const;
    [[noreturn]] void RaiseDamage(const QString& what) const;

    FileHandle file_;
    QString tablePath_;  // named by the faults of a damaged memo
    MemoKind kind_ = MemoKind::Dbt;
    std::uint32_t blockSize_ = 512;
    std::uint64_t size_ = 0;
};

}  // namespace kesp::store
