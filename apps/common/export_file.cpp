#include "apps/common/export_file.h"

#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {

// Why the file could not be written, in the interface language: a missing
// folder or a folder of the file's name first (the usual reasons with
// exports), else the system's words for its error code.
QString Reason(int osCode, const QString& path, const QFileDevice& file) {
    if (QFileInfo(path).isDir()) osCode = EISDIR;
    if (osCode == ENOENT || osCode == ENOTDIR) {
        return TEXT(
            {"Der Ordner ist nicht vorhanden", "The folder does not exist", "A pasta não existe"});
    }
    if (osCode == EISDIR) {
        return TEXT({"Ein Ordner trägt diesen Namen", "A folder has that name",
                     "Há uma pasta com esse nome"});
    }
    return osCode != 0 ? WRITE_FAILURE_REASON(osCode) : file.errorString();
}

}  // namespace

bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString* reason) {
    // A symbolic link of the name would lead the file out of the folder (the
    // file would be written where the link points): the link goes, and the
    // file takes its place.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path)) {
        if (reason) *reason = WRITE_FAILURE_REASON(errno);  // the link could not go
        return false;
    }
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s result: a buffered
    // QSaveFile can commit a file that its last flush cut short.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason) *reason = Reason(errno, path, file);
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (reason) *reason = Reason(errno, path, file);
        file.cancelWriting();  // the earlier file stays as it was
        file.commit();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        if (reason) *reason = Reason(errno, path, file);
        return false;
    }
    return true;
}

bool WriteExportFileAndReport(const QString& file, const QByteArray& bytes,
                              const ExportReport& report) {
    const QString path = THE_EXPORT_PATH + file;
    QString reason;
    const bool written = WriteFileWhole(path, bytes, &reason);
    if (written) {
        MSGEXCLAMATION(TEXT(report.written) + "\r" + THE_EXPORT_PATH, report.title);
    } else {
        MSGEXCLAMATION(
            TEXT(report.cannotWrite) + "\r" + QDir::toNativeSeparators(path) + ": " + reason,
            report.title);
    }
    return written;
}
