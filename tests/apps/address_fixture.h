// The address tables and their captions tables in a temporary application
// folder, the captions named in German. Every address test starts from here.
#pragma once

#include "tests/apps/record_fixture.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

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

class AddressFixture : public RecordFixture {
  protected:
    void SetUp() override;

    void CreatePrivateBook(const QList<AddressRow>& rows);
    void CreateBusinessBook(const QList<AddressRow>& rows);
    void WriteCaptions(const QString& table, const QStringList& captions);
    QStringList ReadCaptions(const QString& table);

    // The key values of the stored records in physical order, "-" before a
    // record marked deleted.
    QStringList StoredNames(const QString& table);

  private:
    void CreateBook(const QString& table, bool privateBook, const QList<AddressRow>& rows);
};
