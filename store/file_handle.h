// An open operating-system file: closed when the handle goes away. Reads and
// writes at explicit offsets. A failed read or open is a fault naming the
// file; a failed write, truncation, sync, creation or rename is thrown as
// WriteFailure (see store/fault.h), for the caller to undo its change.
#pragma once

#include "store/file_window.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace kesp::store {

// Who a file is and when it last changed, as the system tells it: the same
// stamp at two moments means the file was not written in between, except by
// a write within the same tick of the system's clock as the first look.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;  // also moved by renames, utime and chmod
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
    // Whether the file last changed before `ns` (on the clock the file
    // system stamps with): a stamp taken after `ns` then shows any later change.
    bool ChangedBefore(std::int64_t ns) const { return modifiedNs < ns && changedNs < ns; }
};

class FileHandle {
  public:
    FileHandle() = default;
    FileHandle(int descriptor, QString path) : fd_(descriptor), path_(std::move(path)) {}
    FileHandle(FileHandle&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)),
          path_(std::move(other.path_)),
          window_(std::move(other.window_)),
          cutWhileOpen_(std::exchange(other.cutWhileOpen_, false)) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    // Opens read-write; creates (and empties) the file when `create`.
    // A failure to open raises the open fault (1001) with the system's error
    // code; a failure to create is a WriteFailure; a name that leads to
    // something other than a plain file (a folder, a pipe, a device) is an
    // open fault too.
    static FileHandle Open(const QString& path, bool create = false);
    // Opens for reading only (nothing is ever written through the handle).
    static FileHandle OpenForReading(const QString& path);
    // Opens a folder, to hold a lock on it; raises the open fault on failure.
    static FileHandle OpenFolder(const QString& path);

    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    const QString& path() const { return path_; }

    // Takes the exclusive lock without waiting; false when another holder has it.
    bool TryLockExclusive();
    // Takes the exclusive lock on a file nobody else can know yet (one just
    // created); a refusal is a fault.
    void LockExclusive();
    // Renames the open file; the handle follows it (a WriteFailure on refusal).
    void RenameTo(const QString& path);
    // The handle's path still leads to this very file: it was not replaced
    // (renamed over) since the handle was opened.
    bool StillNamedByPath() const;

    std::uint64_t Size() const;
    // Nothing when the system cannot tell.
    std::optional<FileStamp> Stamp() const;
    // The stamp of the file a path names; nothing when it is missing or the
    // system cannot tell.
    static std::optional<FileStamp> StampOf(const QString& path);
    // Reads up to `length` bytes; fewer only at end of file.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const;
    void WriteAt(std::uint64_t offset, const char* data, std::size_t length);
    void WriteAt(std::uint64_t offset, const QByteArray& data) {
        WriteAt(offset, data.constData(), static_cast<std::size_t>(data.size()));
    }
    // One byte within the file's present length, written as WriteAt writes
    // (in the system's cache when the call returns), through a mapping of
    // the part of the file around it where the system allows: marks written
    // one by one cost a store each rather than a system call. A file another
    // program cut short before the byte (under the mapping or before it)
    // raises the damage of the table the handle's file is, and cutWhileOpen
    // is true from then on.
    void WriteByteInPlace(std::uint64_t offset, char byte);
    bool cutWhileOpen() const { return cutWhileOpen_; }
    void Truncate(std::uint64_t length);
    void Sync();
    void Close();

  private:
    [[noreturn]] void ThrowWriteFailure(const char* operation, int osCode) const;
    void WriteCounted(std::uint64_t offset, const char* data, std::size_t length);

    int fd_ = -1;
    QString path_;
    FileWindow window_;
    bool cutWhileOpen_ = false;
};

// Test seam for crash tests: from now on the process kills itself (SIGKILL)
// right before its Nth change to a file (write, sync, truncate, create,
// rename). 0 turns it off.
void KillBeforeFileChangeForTests(int n);
// Test seam for full disks: from now on files may grow by `bytes` more bytes
// in all; a write that needs more room writes what fits and fails with
// ENOSPC, as a full disk does. Shrinking a file gives its room back.
// A negative number turns it off.
void LimitRoomForTests(std::int64_t bytes);
// Test seam for failing drives: from the Nth file change on, every change
// fails with the system error `osCode` (EIO: the drive was removed).
// 0 turns it off.
void FailFileChangesForTests(int n, int osCode);
// The same for the Nth change alone: a drive that fails once and recovers.
void FailOneFileChangeForTests(int n, int osCode);
// Test seam for one kind of file refused: every change to a file whose path
// holds `namePart` (".ntx": the index files) fails with `osCode`. An empty
// part turns it off.
void RefuseChangesToFilesForTests(const QString& namePart, int osCode);
// Counts one file change (and kills the process when the seam says so).
void NoteFileChange();

// Renames; a failure is a WriteFailure naming the target.
void RenameFile(const QString& from, const QString& to);

// Gives the file `from` the second name `to`; false, with nothing changed,
// where the file system has no such links. Another refusal is a WriteFailure.
bool LinkFile(const QString& from, const QString& to);

// Swaps the names of two files or folders of one file system in one step;
// false, with nothing changed, where the file system cannot. A refusal is a
// WriteFailure naming `b`.
bool ExchangeNames(const QString& a, const QString& b);

// Whether both names lead to the very same file (device and inode).
bool IsSameFile(const QString& a, const QString& b);

// Makes a rename or a new file in `directory` durable.
void SyncDirectoryOf(const QString& filePath);

// Raises a fault of the table driver ("DBFNTX").
[[noreturn]] void RaiseTableFault(int subCode, const QString& description, const QString& fileName,
                                  const QString& operation = {}, int osCode = 0);

// The faults of damaged and unreadable files. A damaged table (or memo file)
// names the table and tells how to repair it.
[[noreturn]] void RaiseCorruption(const QString& path, const QString& what);
[[noreturn]] void RaiseTableDamage(const QString& tablePath, const QString& what);
// The damage of a table whose file another program cut short while it was
// open (the fault's cutWhileOpen set).
[[noreturn]] void RaiseCutWhileOpen(const QString& tablePath);
[[noreturn]] void RaiseOpenError(const QString& path, int osCode);
// A write the system refused, naming the file.
[[noreturn]] void ThrowWriteFailure(const QString& path, const QString& operation, int osCode);

}  // namespace kesp::store
