// The questions the printing services put to the user: the page number to go
// to, the PDF file to save into, the print settings of the preview, the
// printer for a job printed at once, and the preview window itself. They are
// reached through one replaceable set, so that tests answer them from a
// script and run the preview without a nested event loop.
#pragma once

#include "reports/page_output.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class PrintPreview;

struct ReportDialogs {
    // "Go To Page": the 1-based page, or nothing when cancelled.
    std::function<std::optional<int>(QWidget* parent, int current, int pageCount)> askPageNumber;
    // "Save": the PDF file to write, empty when cancelled.
    std::function<QString(QWidget* parent)> askPdfFile;
    // "Print" in the preview: printer, copies, collation and range.
    std::function<std::optional<PrintChoice>(QWidget* parent, int pageCount)> askPrintChoice;
    // The platform's print dialog, for jobs printed without the preview.
    std::function<std::optional<PrintChoice>(QWidget* parent, int pageCount)> askPrinter;
    // Shows the preview and returns when it is closed.
    std::function<void(PrintPreview& preview)> runPreview;
};

// The dialogs in force; tests assign their own and restore the defaults.
ReportDialogs& CurrentReportDialogs();
ReportDialogs DefaultReportDialogs();

// The printer a job without a printer dialog goes to: the default printer,
// else any printer, else a PDF file the user names. Nothing when the user
// cancels the file choice.
std::optional<PrintChoice> DefaultPrintChoice(QWidget* parent);
