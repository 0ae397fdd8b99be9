// A temporary application folder (data/ and export/) with the global
// settings the start-up routine fixes and a language to work in; tables are
// written from the installed-tables description. Every record-window test
// starts from here.
#pragma once

#include "toolkit/test_driver.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable texts in the messages of failed expectations.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{" << texts.join("|").toStdString() << "}";
}

class RecordFixture : public ::testing::Test {
  public:
    // The cells of one column of a window's list, top to bottom.
    static QStringList ListRows(const QString& window, const QString& list = "Browse_1",
                                int column = 1);

  protected:
    void SetUp() override;
    void TearDown() override;

    // "DE", "AM" or "BR": the texts and the date format of the language.
    void UseLanguage(const QString& code);

    // Writes the table of the installed description anew into the data
    // folder, with its first records or empty, and closes it again.
    void InstallTable(const QString& file, bool withFirstRecords = true);

    QString dataPath() const;
    QString exportPath() const;
    QByteArray ExportedFile(const QString& name) const;

    // The message boxes shown since the last call, as "KIND: text"; each is
    // expected to carry `title`.
    QStringList TakeMessages(const QString& title = "Varnel Kesp 2.0");

    kesp::test::TestDriver driver_;
    QTemporaryDir folder_;
};
