#include "store/file_handle.h"

#include "store/fault.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace kesp::store {
namespace {

int changesUntilKill = 0;

}  // namespace

void KillBeforeFileChangeForTests(int n) {
    changesUntilKill = n;
}

void NoteFileChange() {
    if (changesUntilKill > 0 && --changesUntilKill == 0) ::kill(::getpid(), SIGKILL);
}

void RenameFile(const QString& from, const QString& to) {
    NoteFileChange();
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        RaiseOpenError(to, errno);
    }
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

FileHandle::~FileHandle() {
    Close();
}

void FileHandle::Close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

FileHandle FileHandle::Open(const QString& path, bool create) {
    if (create) NoteFileChange();
    const QByteArray native = QFile::encodeName(path);
    const int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT | O_TRUNC : 0);
    const int fd = ::open(native.constData(), flags, 0644);
    if (fd < 0) RaiseOpenError(path, errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        RaiseOpenError(path, EISDIR);
    }
    return FileHandle(fd, path);
}

bool FileHandle::TryLockExclusive() {
    return ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

std::uint64_t FileHandle::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t FileHandle::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) RaiseOpenError(path_, errno);
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void FileHandle::WriteAt(std::uint64_t offset, const char* data, std::size_t length) {
    NoteFileChange();
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pwrite(fd_, data + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) RaiseWriteFault("write");
        done += static_cast<std::size_t>(n);
    }
}

void FileHandle::Truncate(std::uint64_t length) {
    NoteFileChange();
    if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) RaiseWriteFault("truncate");
}

void FileHandle::Sync() {
    NoteFileChange();
    if (::fdatasync(fd_) != 0) RaiseWriteFault("sync");
}

void FileHandle::RaiseWriteFault(const char* operation) const {
    RaiseTableFault(1011, QStringLiteral("Write error"), path_, QString::fromLatin1(operation),
                    errno);
}

void SyncDirectoryOf(const QString& filePath) {
    const QByteArray dir = QFile::encodeName(QFileInfo(filePath).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void RaiseTableFault(int subCode, const QString& description, const QString& fileName,
                     const QString& operation, int osCode) {
    Fault fault;
    fault.subsystem = QStringLiteral("DBFNTX");
    fault.subCode = subCode;
    fault.description = description;
    fault.fileName = fileName;
    fault.operation = operation;
    fault.osCode = osCode;
    RaiseFault(fault);
}

void RaiseCorruption(const QString& path, const QString& what) {
    RaiseTableFault(1012, QStringLiteral("Corruption detected"), path, what);
}

void RaiseOpenError(const QString& path, int osCode) {
    RaiseTableFault(1001, QStringLiteral("Open error"), path, {}, osCode);
}

}  // namespace kesp::store
