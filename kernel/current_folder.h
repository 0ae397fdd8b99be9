// The current folder for one step: index files and report definitions named
// without a folder are found in the current one, so a step that needs
// another folder makes it current through this guard. The guard restores the
// folder that was current before on every way out of the step, a fault or an
// exception included, so that no later step finds its files in the wrong
// folder.
#pragma once

#include <QString>

class CurrentFolderGuard {
  public:
    explicit CurrentFolderGuard(const QString& folder);
    ~CurrentFolderGuard();
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

  private:
    QString previous_;
};
