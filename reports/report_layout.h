// The layout of a list report: from the current record of a view to its end,
// one data line per record under a page header, with wrapped long texts,
// group captions and subtotals, grand totals and page breaks by lines per
// page. The layout reads the records it is given and never moves them any
// other way than forward; it puts text on recorded pages and hands each
// finished page to a sink (a folder of page files, or a list in a test).
#pragma once

#include "reports/recorded_page.h"
#include "reports/report_definition.h"
#include "reports/report_expression.h"

#include <QSizeF>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

// The view being printed, read from its current record onwards.
class ReportRecords {
  public:
    virtual ~ReportRecords() = default;
    virtual bool atEnd() = 0;
    virtual void skip() = 0;
    // Requires: a field the definition names. At the end of the view the
    // blank value of the field.
    virtual ReportValue field(const QString& aliasField) = 0;
};

class PageSink {
  public:
    virtual ~PageSink() = default;
    virtual void addPage(RecordedPage page) = 0;
};

// A definition whose expressions have been parsed.
struct CompiledReport {
    ReportDefinition definition;
    std::optional<ReportExpression> title;
    std::vector<ReportExpression> columns;
    std::optional<ReportExpression> groupKey;
    int totalWidth = 0;    // W: the sum of the column widths
    QString extraHeading;  // second title line when the title has none
};

// The compiled report, or the message that refuses the definition (it names
// the definition and the expression).
std::variant<CompiledReport, QString> CompileReport(const ReportDefinition& definition);

struct ReportLayoutSettings {
    QSizeF paperMm{215.9, 279.4};
    QString imageFile;                   // empty: no picture
    std::function<QString()> dateText;   // default: DTOC(DATE())
    std::function<QString()> timeText;   // default: TIME() as hh:mm:ss
    std::function<void()> onEachRecord;  // keeps the windows responsive
};

// What keeps the windows responsive during a long layout: the event loop run
// at the first record, then at most every 25 ms. Letting it run at every
// record costs more than laying the record out.
std::function<void()> EventsNowAndThen();

// Lays the report out and returns the number of pages. Throws
// ReportExpressionError when a value does not fit its expression.
int LayOutReport(const CompiledReport& report, ReportRecords& records, PageSink& pages,
                 const ReportLayoutSettings& settings);

// A long text broken into lines of at most width characters, at blanks where
// possible; line breaks in the text start new lines, soft breaks (0x8D 0x0A)
// do not.
QStringList WrapLongText(const QString& text, int width);
// The line with the blanks between its words spread out to fill width.
QString JustifyLine(const QString& line, int width);
