// An open operating-system file: closed when the handle goes away. Reads and
// writes at explicit offsets; every failure becomes a fault naming the file.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace kesp::store {

class FileHandle {
  public:
    FileHandle() = default;
    FileHandle(int descriptor, QString path) : fd_(descriptor), path_(std::move(path)) {}
    FileHandle(FileHandle&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    // Opens read-write; creates (and empties) the file when `create`.
    // A failure raises the open fault (1001) with the system's error code.
    static FileHandle Open(const QString& path, bool create = false);

    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    const QString& path() const { return path_; }

    // Takes the exclusive lock without waiting; false when another holder has it.
    bool TryLockExclusive();

    std::uint64_t Size() const;
    // Reads up to `length` bytes; fewer only at end of file.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const;
    void WriteAt(std::uint64_t offset, const char* data, std::size_t length);
    void WriteAt(std::uint64_t offset, const QByteArray& data) {
        WriteAt(offset, data.constData(), static_cast<std::size_t>(data.size()));
    }
    void Truncate(std::uint64_t length);
    void Sync();
    void Close();

  private:
    [[noreturn]] void RaiseWriteFault(const char* operation) const;

    int fd_ = -1;
    QString path_;
};

// Test seam for crash tests: from now on the process kills itself (SIGKILL)
// right before its Nth change to a file (write, sync, truncate, create,
// rename). 0 turns it off.
void KillBeforeFileChangeForTests(int n);
// Counts one file change (and kills the process when the seam says so).
void NoteFileChange();

// Renames, raising the open fault naming the target on failure.
void RenameFile(const QString& from, const QString& to);

// Makes a rename or a new file in `directory` durable.
void SyncDirectoryOf(const QString& filePath);

// Raises a fault of the table driver ("DBFNTX").
[[noreturn]] void RaiseTableFault(int subCode, const QString& description, const QString& fileName,
                                  const QString& operation = {}, int osCode = 0);

// The faults of damaged and unwritable files.
[[noreturn]] void RaiseCorruption(const QString& path, const QString& what);
[[noreturn]] void RaiseOpenError(const QString& path, int osCode);

}  // namespace kesp::store
