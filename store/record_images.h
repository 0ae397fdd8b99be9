// Records built whole before they are appended: for writing many records of
// one table at once (thousands of appointments of a series with their
// links), where a write of field after field through the work area costs
// more than the records themselves.
//
// A RecordImage is a blank record shaped as the table open in the current
// work area when it is made. Its fields are set as REPLACE sets them (the
// same conversion: text to Windows-1252 cut at the field's width, dates,
// numbers, logicals), and what was set stays for the next record: fields
// that do not change between records are set once. DBAPPENDIMAGE appends a
// record holding the image to the table of the current area, as DBAPPEND
// followed by a REPLACE of every field would, its orders kept current; the
// record is written with the table's next commit, like any appended record.
//
// An image holds no memo: a memo field cannot be set and reads as empty in
// the appended record. Appending an image to a table of other fields (or
// without a table open) raises a fault, as an unknown field does.
//
// Single-threaded.
#pragma once

#include "store/dbf_table.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

#include <vector>

class RecordImage {
  public:
    // A blank record of the table open in the current work area.
    RecordImage();

    // The position of a field named as REPLACE names it in the current area
    // ("DATUM"); an unknown or memo field raises a fault.
    int field(const QString& name) const;
    void set(int field, const QVariant& value);

    const QByteArray& bytes() const { return bytes_; }
    const QString& tablePath() const { return tablePath_; }

  private:
    QString tablePath_;
    std::vector<kesp::store::Field> fields_;
    QByteArray bytes_;
};

// Appends a record holding `image` to the table of the current work area;
// it becomes the current record.
void DBAPPENDIMAGE(const RecordImage& image);
