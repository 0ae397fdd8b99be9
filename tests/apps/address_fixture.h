// Address tables in a temporary application folder (data/ and export/), the
// global settings the start-up routine fixes, and a language to work in.
// Every address test starts from here.
#pragma once

#include "store/table_schema.h"
#include "toolkit/test_driver.h"

#include <QDate>
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

struct AddressRow {
    QString vorname;
    QString nachname;
    QDate geburtstag;    // private book only
    bool liste = false;  // private book only
    QString free01;
    bool free06 = false;
    QDate free09;
    QString free10;
    bool deleted = false;  // marked deleted before the window opens
};

class AddressFixture : public ::testing::Test {
  public:
    // The rows of a window's list Browse_1, first column, top to bottom.
    static QStringList ListRows(const QString& window);

  protected:
    void SetUp() override;
    void TearDown() override;

    // "DE", "AM" or "BR": the texts and the date format of the language.
    void UseLanguage(const QString& code);

    void CreatePrivateBook(const QList<AddressRow>& rows);
    void CreateBusinessBook(const QList<AddressRow>& rows);
    void WriteCaptions(const QString& table, const QStringList& captions);
    QStringList ReadCaptions(const QString& table);

    // The key values of the stored records in physical order, "-" before a
    // record marked deleted.
    QStringList StoredNames(const QString& table);

    QString dataPath() const;
    QString exportPath() const;
    QByteArray ExportedFile(const QString& name) const;

    // The message boxes shown since the last call, as "KIND: text".
    QStringList TakeMessages();

    kesp::test::TestDriver driver_;
    QTemporaryDir folder_;

  private:
    void CreateBook(const QString& table, bool privateBook, const QList<AddressRow>& rows);
};
