#include "shell/folders.h"

#include "kernel/public_variables.h"

#include <QDir>

ApplicationFolders FoldersBeneath(const QString& programFolder) {
    QString application = QDir::toNativeSeparators(QDir::cleanPath(programFolder));
    const QString separator = QDir::separator();
    if (!application.endsWith(separator)) application += separator;
    return {application, application + "img" + separator, application + "data" + separator,
            application + "export" + separator};
}

void SET_FOLDERS(const ApplicationFolders& folders) {
    THE_APP_PATH = folders.application;
    THE_IMG_PATH = folders.images;
    THE_DATA_PATH = folders.data;
    THE_EXPORT_PATH = folders.exports;
}
