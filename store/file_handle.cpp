#include "store/file_handle.h"

#include "store/disk_wait.h"
#include "store/fault.h"
#include "store/file_names.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace kesp::store {
namespace {

int changesUntilKill = 0;
std::int64_t roomLeft = -1;  // -1: as much as the system has
int failingFrom = 0;         // the change from which on every change fails; 0: none
int failingCode = 0;
int changesSeen = 0;
bool failingOnce = false;  // only the change `failingFrom` fails
QString refusedNamePart;   // changes to files whose path holds it fail; empty: none
int refusedCode = 0;

// A file grown beyond the process's size limit makes the system send SIGXFSZ,
// which ends the process without a word. Ignored, the write fails with EFBIG
// and is reported like a full disk.
void IgnoreFileSizeSignal() {
    static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)ignored;
}

// Counts the change; the error a failing-drive seam puts in its place, else 0.
int BeginFileChange(const QString& path) {
    NoteFileChange();
    if (failingFrom > 0 && ++changesSeen >= failingFrom &&
        (!failingOnce || changesSeen == failingFrom)) {
        return failingCode;
    }
    if (!refusedNamePart.isEmpty() && path.contains(refusedNamePart)) return refusedCode;
    return 0;
}

std::uint64_t SizeOfPath(const QByteArray& native) {
    struct stat info {};
    return ::stat(native.constData(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

// A new file may be read and written by whom its folder lets in: a folder the
// user keeps to themselves (0700) gets files of 0600, a shared one 0644 (the
// process's umask applies on top).
mode_t NewFileModeIn(const QByteArray& nativePath) {
    const qsizetype slash = nativePath.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : nativePath.left(std::max<qsizetype>(slash, 1));
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0) return 0644;
    return (info.st_mode & 0777) & 0666;
}

FileHandle OpenChecked(const QString& path, int flags, bool create) {
    const QByteArray native = NativeFileName(path);
    const mode_t mode = create ? NewFileModeIn(native) : 0644;
    const int fd = ::open(native.constData(), flags | O_CLOEXEC | O_NONBLOCK, mode);
    if (fd < 0) {
        if (create) ThrowWriteFailure(path, QStringLiteral("create"), errno);
        RaiseOpenError(path, errno);
    }
    FileHandle handle(fd, path);
    struct stat info {};
    if (::fstat(fd, &info) != 0) RaiseOpenError(path, errno);
    if (S_ISDIR(info.st_mode)) RaiseOpenError(path, EISDIR);
    if (!S_ISREG(info.st_mode)) {
        Fault fault;
        fault.subsystem = QStringLiteral("DBFNTX");
        fault.subCode = 1001;
        fault.description = QStringLiteral("Open error");
        fault.fileName = path;
        fault.detail = QStringLiteral("not a regular file");
        RaiseFault(fault);
    }
    // Opened without waiting (a pipe would block an open for reading); reads
    // and writes wait as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return handle;
}

}  // namespace

void KillBeforeFileChangeForTests(int n) {
    changesUntilKill = n;
}

void LimitRoomForTests(std::int64_t bytes) {
    roomLeft = bytes < 0 ? -1 : bytes;
}

void FailFileChangesForTests(int n, int osCode) {
    failingFrom = n;
    failingCode = osCode;
    changesSeen = 0;
    failingOnce = false;
}

void FailOneFileChangeForTests(int n, int osCode) {
    FailFileChangesForTests(n, osCode);
    failingOnce = true;
}

void RefuseChangesToFilesForTests(const QString& namePart, int osCode) {
    refusedNamePart = namePart;
    refusedCode = osCode;
}

void NoteFileChange() {
    if (changesUntilKill > 0 && --changesUntilKill == 0) ::kill(::getpid(), SIGKILL);
}

void RenameFile(const QString& from, const QString& to) {
    if (const int simulated = BeginFileChange(to)) {
        ThrowWriteFailure(to, QStringLiteral("rename"), simulated);
    }
    if (::rename(NativeFileName(from).constData(), NativeFileName(to).constData()) != 0) {
        ThrowWriteFailure(to, QStringLiteral("rename"), errno);
    }
}

bool LinkFile(const QString& from, const QString& to) {
    if (const int simulated = BeginFileChange(to)) {
        ThrowWriteFailure(to, QStringLiteral("link"), simulated);
    }
    if (::link(NativeFileName(from).constData(), NativeFileName(to).constData()) == 0) return true;
    if (errno == EPERM || errno == EOPNOTSUPP || errno == EXDEV || errno == EMLINK) return false;
    ThrowWriteFailure(to, QStringLiteral("link"), errno);
}

bool ExchangeNames(const QString& a, const QString& b) {
    if (const int simulated = BeginFileChange(b)) {
        ThrowWriteFailure(b, QStringLiteral("rename"), simulated);
    }
    if (::renameat2(AT_FDCWD, NativeFileName(a).constData(), AT_FDCWD,
                    NativeFileName(b).constData(), RENAME_EXCHANGE) == 0) {
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) return false;
    ThrowWriteFailure(b, QStringLiteral("rename"), errno);
}

bool IsSameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(NativeFileName(a).constData(), &first) == 0 &&
           ::stat(NativeFileName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        window_ = std::move(other.window_);
        cutWhileOpen_ = std::exchange(other.cutWhileOpen_, false);
    }
    return *this;
}

FileHandle::~FileHandle() {
    Close();
}

void FileHandle::Close() {
    window_.Release();
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

FileHandle FileHandle::Open(const QString& path, bool create) {
    IgnoreFileSizeSignal();
    if (create) {
        if (const int simulated = BeginFileChange(path)) {
            store::ThrowWriteFailure(path, QStringLiteral("create"), simulated);
        }
        if (roomLeft >= 0) roomLeft += static_cast<std::int64_t>(SizeOfPath(NativeFileName(path)));
    }
    return OpenChecked(path, O_RDWR | (create ? O_CREAT | O_TRUNC : 0), create);
}

FileHandle FileHandle::OpenForReading(const QString& path) {
    return OpenChecked(path, O_RDONLY, false);
}

FileHandle FileHandle::OpenFolder(const QString& path) {
    const int fd = ::open(NativeFileName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) RaiseOpenError(path, errno);
    return FileHandle(fd, path);
}

bool FileHandle::TryLockExclusive() {
    return ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

void FileHandle::LockExclusive() {
    if (!TryLockExclusive()) {
        RaiseTableFault(1039, QStringLiteral("Lock error"), path_, {}, errno);
    }
}

void FileHandle::RenameTo(const QString& path) {
    RenameFile(path_, path);
    path_ = path;
}

bool FileHandle::StillNamedByPath() const {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd_, &open) == 0 && ::stat(NativeFileName(path_).constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

std::uint64_t FileHandle::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

namespace {

FileStamp StampFrom(const struct stat& info) {
    auto ns = [](const timespec& at) {
        return static_cast<std::int64_t>(at.tv_sec) * 1000000000 + at.tv_nsec;
    };
    return FileStamp{static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uint64_t>(info.st_size), ns(info.st_mtim), ns(info.st_ctim)};
}

}  // namespace

std::optional<FileStamp> FileHandle::Stamp() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return StampFrom(info);
}

std::optional<FileStamp> FileHandle::StampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return StampFrom(info);
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
    if (const int simulated = BeginFileChange(path_)) ThrowWriteFailure("write", simulated);
    WriteCounted(offset, data, length);
}

void FileHandle::WriteByteInPlace(std::uint64_t offset, char byte) {
    if (const int simulated = BeginFileChange(path_)) ThrowWriteFailure("write", simulated);
    switch (window_.Store(fd_, offset, byte)) {
        case FileWindow::Stored::Done:
            return;
        case FileWindow::Stored::NotMapped:
            WriteCounted(offset, &byte, 1);
            return;
        case FileWindow::Stored::FileCut:
            cutWhileOpen_ = true;
            RaiseCutWhileOpen(path_);
    }
}

void FileHandle::WriteCounted(std::uint64_t offset, const char* data, std::size_t length) {
    std::size_t fits = length;
    if (roomLeft >= 0) {
        const std::uint64_t size = Size();
        const std::uint64_t growth = offset + length > size ? offset + length - size : 0;
        if (growth > static_cast<std::uint64_t>(roomLeft)) {
            const std::uint64_t limit = size + static_cast<std::uint64_t>(roomLeft);
            fits = limit > offset ? static_cast<std::size_t>(limit - offset) : 0;
            roomLeft = 0;
        } else {
            roomLeft -= static_cast<std::int64_t>(growth);
        }
    }
    std::size_t done = 0;
    while (done < fits) {
        const ssize_t n =
            ::pwrite(fd_, data + done, fits - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowWriteFailure("write", errno);
        if (n == 0) ThrowWriteFailure("write", EIO);
        done += static_cast<std::size_t>(n);
    }
    if (fits < length) ThrowWriteFailure("write", ENOSPC);
}

void FileHandle::Truncate(std::uint64_t length) {
    if (const int simulated = BeginFileChange(path_)) ThrowWriteFailure("truncate", simulated);
    window_.Release();  // no part of the mapping may lie past the end
    if (roomLeft >= 0) {
        const std::uint64_t size = Size();
        if (length > size && length - size > static_cast<std::uint64_t>(roomLeft)) {
            ThrowWriteFailure("truncate", ENOSPC);
        }
        roomLeft += static_cast<std::int64_t>(size) - static_cast<std::int64_t>(length);
    }
    if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) ThrowWriteFailure("truncate", errno);
}

void FileHandle::Sync() {
    if (const int simulated = BeginFileChange(path_)) ThrowWriteFailure("sync", simulated);
    int refused = 0;
    WaitForDisk([this, &refused] {
        if (::fdatasync(fd_) != 0) refused = errno;
    });
    if (refused != 0) ThrowWriteFailure("sync", refused);
}

void FileHandle::ThrowWriteFailure(const char* operation, int osCode) const {
    store::ThrowWriteFailure(path_, QString::fromLatin1(operation), osCode);
}

void SyncDirectoryOf(const QString& filePath) {
    const qsizetype slash = filePath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0    ? QStringLiteral(".")
                           : slash == 0 ? QStringLiteral("/")
                                        : filePath.left(slash);
    const int fd = ::open(NativeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

namespace {

Fault CorruptionFault(const QString& path, const QString& what) {
    Fault fault;
    fault.subsystem = QStringLiteral("DBFNTX");
    fault.subCode = 1012;
    fault.description = QStringLiteral("Corruption detected");
    fault.fileName = path;
    fault.detail = what;
    return fault;
}

}  // namespace

void RaiseCorruption(const QString& path, const QString& what) {
    RaiseFault(CorruptionFault(path, what));
}

void RaiseTableDamage(const QString& tablePath, const QString& what) {
    Fault fault = CorruptionFault(tablePath, what);
    fault.remedy = QStringLiteral("repair it with: kesp-dbf repair %1").arg(tablePath);
    RaiseFault(fault);
}

void RaiseCutWhileOpen(const QString& tablePath) {
    Fault fault = CorruptionFault(tablePath, QStringLiteral("cut short by another program"));
    fault.remedy = QStringLiteral("repair it with: kesp-dbf repair %1").arg(tablePath);
    fault.cutWhileOpen = true;
    RaiseFault(fault);
}

void RaiseOpenError(const QString& path, int osCode) {
    RaiseTableFault(1001, QStringLiteral("Open error"), path, {}, osCode);
}

void ThrowWriteFailure(const QString& path, const QString& operation, int osCode) {
    Fault fault;
    fault.subsystem = QStringLiteral("DBFNTX");
    fault.subCode = 1011;
    fault.description = QStringLiteral("Write error");
    fault.fileName = path;
    fault.operation = operation;
    fault.osCode = osCode;
    throw WriteFailure(fault);
}

}  // namespace kesp::store
