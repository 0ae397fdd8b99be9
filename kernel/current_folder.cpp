#include "kernel/current_folder.h"

#include <QDir>

CurrentFolderGuard::CurrentFolderGuard(const QString& folder) : previous_(QDir::currentPath()) {
    QDir::setCurrent(folder);
}

CurrentFolderGuard::~CurrentFolderGuard() {
    QDir::setCurrent(previous_);
}
