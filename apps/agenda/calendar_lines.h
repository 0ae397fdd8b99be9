// The content lines of an iCalendar file (RFC 5545) as its readers and
// writers take them: the file's octets unfolded into logical lines, each
// with the number of the physical line it begins on; decoded as UTF-8, or
// as the Windows code page when the file is no valid UTF-8; a line split into
// its name, parameters and value; texts escaped and unescaped.
//
// Unfolding joins a line break followed by a blank or a tab, also after empty
// lines between them (as writers that double their line ends leave it), and
// works on the octets, so that a character split over two lines joins again.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

struct NumberedLine {
    QString text;
    int number = 0;  // the file's line it begins on, from 1
};

QList<NumberedLine> UnfoldedLines(const QByteArray& bytes);

struct ContentLine {
    QString name;                   // upper case
    QMap<QString, QString> params;  // names upper case; values unquoted, several joined by ","
    QString value;
    qsizetype paramsFrom = 0;  // where the parameters begin in the line ( at ";"), for
    qsizetype valueFrom = 0;   // ... and where the value begins (after ":")
};

// Nothing when the line has no name or no ":" after its parameters.
std::optional<ContentLine> ParseContentLine(const QString& line);

// A TEXT value with "\\", ";", "," and line breaks escaped; control
// characters become blanks.
QString EscapedText(const QString& text);
QString UnescapedText(const QString& text);
