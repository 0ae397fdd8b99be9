// What an import keeps of a text the tables cannot hold whole: the
// characters Windows-1252 has, never a "?" in place of the others. The
// import counts the texts that lost characters and names the first few of
// the records they belong to in its summary.
#pragma once

#include "kernel/texts.h"

#include <QString>
#include <QStringList>

class LostCharacters {
  public:
    // The storable part of `text`; `record` names the record it belongs to.
    QString kept(const QString& text, const QString& record);

    int count() const { return count_; }

    // "" when nothing was lost; else a line for the summary: "Characters the
    // table cannot store are left out of 2 text(s), e.g.: "...", "..."".
    QString summaryLine() const;

  private:
    int count_ = 0;
    QStringList named_;
};
