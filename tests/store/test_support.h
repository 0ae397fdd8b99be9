// Fixtures of the store tests: a temporary folder that is also the current
// folder (index files land there), and the tables most tests start from.
#pragma once

#include "store/table_schema.h"
#include "store/xbase.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // A table of first names (VORNAME C(20), NR N(5), GEBURT D) holding `names` in order.
    QString NamesTable(const QStringList& names, const QString& file = QStringLiteral("names.dbf"));
    QByteArray ReadFile(const QString& name) const;
    void WriteFile(const QString& name, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
    QString previousFolder_;
};

// Until the clock the file system stamps with has passed the file's last
// change (a few milliseconds): orders are kept past a close only then, and a
// change after shows in the stamp.
void LetTheClockPass(const QString& path);

// Every record of the current area in its controlling order, deleted ones too.
QList<int> OrderOfAllRecords();

// Runs a Python script with Debian's interpreter; returns its output, fails the test on error.
QString RunPython(const QString& script, const QString& folder);

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << text.toStdString();
}
