// A report definition: the keyword file (".rpt") that tells the list-report
// service which work area to print, which columns, headings, widths, totals
// and grouping to use, and how the paper is set up.
//
// Reading follows the keyword rules of the file format: the block starts after
// the first line holding "REPORT " (any case); a keyword's value is the rest of
// the first later line that holds the keyword and a blank; an empty line ends
// the block; flags count anywhere in the block. Reading never fails: what is
// missing keeps its default, and Problem() says whether the result can be
// printed at all.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

struct ReportImage {
    QString file;               // relative to the current folder
    int top = 0, left = 0;      // text line and column of the top-left corner
    int bottom = 0, right = 0;  // line and column of the bottom-right corner
};

struct ReportDefinition {
    QString name;  // the report name, without ".rpt"

    QString title;  // expression; empty: no title
    bool hasHeaders = false;
    QStringList upperHeadings;
    QStringList lowerHeadings;
    QStringList fields;  // one expression per column
    QList<int> widths;
    QList<bool> totals;
    QStringList numberFormats;
    int linesPerPage = 58;
    int charactersPerLine = 80;
    int leftMargin = 0;
    QString paperName;  // "DMPAPER_A4", ...; empty: letter
    QString workArea;
    QString groupBy;  // expression; empty: not grouped
    QString groupCaption;
    std::optional<ReportImage> image;

    bool preview = false;
    bool selectPrinter = false;
    bool landscape = false;
    bool imageOnEveryPage = false;  // MULTIPLE
    bool dosMode = false;           // recognised; prints like any other report
    bool proportionalFont = false;  // NOFIXED

    int columnCount() const { return int(fields.size()); }
    bool summed(int column) const { return column < totals.size() && totals[column]; }
    bool anySummed() const { return totals.contains(true); }
    QString numberFormat(int column) const {
        return column < numberFormats.size() ? numberFormats[column] : QString();
    }
};

// Reads the text of a definition file (already decoded).
ReportDefinition ParseReportDefinition(const QString& name, const QString& fileText);

// Reads "<name>.rpt" from the folder. Nothing when the file cannot be read.
std::optional<ReportDefinition> ReadReportDefinitionFile(const QString& folder,
                                                         const QString& name);

// Why the definition cannot be printed, as the message the user sees; empty
// when it can. Missing fields or widths give the classic short messages; a
// missing work area or headings, or arrays shorter than the field list, are
// refused with a message naming the definition.
QString ReportDefinitionProblem(const ReportDefinition& definition);

// Point size of the report font for a number of characters per line.
int ReportFontSize(int charactersPerLine);

// Parses the array literals at the start of text: {'a',"b"},{1,2,.T.}.
// Quoted elements become texts, numbers doubles, .T./.F. booleans, anything
// else its own text, trimmed. Nothing when the text holds no well-formed array.
std::optional<QList<QList<QVariant>>> ParseArrayLiterals(const QString& text);
