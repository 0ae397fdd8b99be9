// A table opened exclusively, under its own alias, in the lowest free work
// area, for a step that must not meet a window's changes (the sync's reading
// and writing): open() is false when another holder (a window) has the
// table, and nothing was opened. The current area is back as it was when
// the object goes. Single-threaded.
#pragma once

#include "store/xbase.h"

#include <QString>

class ExclusiveTable {
  public:
    ExclusiveTable(const QString& path, const QString& alias) : alias_(alias), previous_(SELECT()) {
        DBSELECTAREA(0);
        DBUSEAREA(true, path, alias);
        open_ = !NETERR();
    }
    ~ExclusiveTable() {
        if (open_) {
            DBSELECTAREA(alias_);
            DBCLOSEAREA();
        }
        DBSELECTAREA(previous_);
    }
    ExclusiveTable(const ExclusiveTable&) = delete;
    ExclusiveTable& operator=(const ExclusiveTable&) = delete;
    bool open() const { return open_; }

  private:
    QString alias_;
    int previous_;
    bool open_ = false;
};
