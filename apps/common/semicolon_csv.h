// The semicolon text format of every export: each value followed by ";",
// each line ended by a single carriage return (0x0D), everything in
// Windows-1252 bytes without a byte-order mark.
//
// Values are written as they are, except that a value holding a ";" or a
// double quote goes inside double quotes with its own double quotes doubled,
// so that it cannot shift the columns after it, and that a carriage return,
// line feed or NUL inside a value (a lone one in a memo, or one that another
// program wrote into a text field) becomes a blank, so that one record stays
// one line.
//
// The renderings of the field kinds follow the language in force: dates in
// its date format (the empty date as the pattern with blanks for digits),
// yes/no as its words, long texts on one line.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

class SemicolonCsv {
  public:
    // Appends one line: every value followed by ";", then the carriage return.
    void addLine(const QStringList& values);

    // The file's bytes so far, in Windows-1252.
    const QByteArray& bytes() const { return bytes_; }

  private:
    QByteArray bytes_;
};

QString CsvText(const QString& stored);  // blanks trimmed
QString CsvDate(const QDate& date);      // in the date format in force
QString CsvYesNo(bool value);            // "Ja"/"Nein", "Yes"/"No", "Sim"/"Não"
// Blanks trimmed, then each CR LF pair and each soft line break (0x8D 0x0A)
// replaced by one blank.
QString CsvLongText(const QString& stored);
