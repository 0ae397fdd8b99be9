#include "apps/common/export_file.h"

#include "kernel/public_variables.h"
#include "toolkit/forms.h"

#include <QSaveFile>

bool WriteExportFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s result: a buffered
    // QSaveFile can commit a file that its last flush cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();  // the earlier file stays as it was
        file.commit();
        return false;
    }
    return file.commit();
}

bool WriteExportFileAndReport(const QString& file, const QByteArray& bytes,
                              const ExportReport& report) {
    const bool written = WriteExportFile(THE_EXPORT_PATH + file, bytes);
    if (written)
        MSGEXCLAMATION(TEXT(report.written) + "\r" + THE_EXPORT_PATH, report.title);
    else
        MSGEXCLAMATION(TEXT(report.cannotWrite), report.title);
    return written;
}
