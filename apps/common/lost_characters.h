// What an import keeps of a text the tables cannot hold whole: the
// characters Windows-1252 has, the nearest letters for the others ("Łódź"
// becomes "Lodz", so that it is still found), never a "?". The import
// counts the texts that needed it and names the first few of the records
// they belong to in its summary.
#pragma once

#include "kernel/texts.h"

#include <QString>
#include <QStringList>

class LostCharacters {
  public:
    // The storable part of `text`; `record` names the record it belongs to.
    QString kept(const QString& text, const QString& record);

    int count() const { return count_; }

    // "" when nothing was replaced; else a line for the summary: "Characters
    // the table cannot store were replaced by the nearest letters or left out
    // in 2 texts, e.g.: "...", "..."".
    QString summaryLine() const;

  private:
    int count_ = 0;
    QStringList named_;
};
