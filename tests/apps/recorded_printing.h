// The printing services' questions answered by a test: every preview is
// recorded (its pages kept, optionally saved as a PDF file) and closed at
// once; the printer dialog is answered from the script. The dialogs in force
// before are restored when the object goes.
#pragma once

#include "reports/page_output.h"
#include "reports/print_preview.h"
#include "reports/report_dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class RecordedPrinting {
  public:
    RecordedPrinting() : saved_(CurrentReportDialogs()) {
        ReportDialogs& dialogs = CurrentReportDialogs();
        dialogs.askPdfFile = [this](QWidget*) { return pdfFile; };
        dialogs.askPrinter = [this](QWidget*, int) { return printer; };
        dialogs.askPrintChoice = dialogs.askPrinter;
        dialogs.askPageNumber = [](QWidget*, int, int) { return std::optional<int>(); };
        dialogs.runPreview = [this](PrintPreview& preview) {
            QList<RecordedPage> pages;
            for (int index = 0; index < preview.pageCount(); ++index)
                pages.append(preview.pages().page(index));
            previews.append(pages);
            if (onPreview) onPreview(preview);
            if (!pdfFile.isEmpty()) preview.save();
        };
    }
    ~RecordedPrinting() { CurrentReportDialogs() = saved_; }
    RecordedPrinting(const RecordedPrinting&) = delete;
    RecordedPrinting& operator=(const RecordedPrinting&) = delete;

    // The data lines of a list report's pages (from line 9 on), trimmed,
    // page after page.
    static QStringList DataLines(const QList<RecordedPage>& pages) {
        QStringList lines;
        for (const RecordedPage& page : pages)
            for (const PageText& text : page.texts)
                if (text.line >= 9) lines.append(text.text.trimmed());
        return lines;
    }

    QList<QList<RecordedPage>> previews;  // one entry per preview shown
    QString pdfFile;                      // where "Save" in a preview writes
    std::optional<PrintChoice> printer;   // the print dialog's answer; none: cancelled
    // Looks at a preview while it is open (its page files exist only then).
    std::function<void(PrintPreview&)> onPreview;

  private:
    ReportDialogs saved_;
};
