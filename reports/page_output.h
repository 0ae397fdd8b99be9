// One painting path for recorded pages: the preview's page images, the PDF
// file and the printer all paint a page through PaintPage, in millimetres
// from the sheet's corner, whatever the device's resolution.
#pragma once

#include "reports/page_folder.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>

class QPrinter;

// The painter's device must have its origin at the corner of the sheet.
void PaintPage(QPainter& painter, const RecordedPage& page);

// The page as an image at the given resolution, white paper.
QImage RenderPage(const RecordedPage& page, double dotsPerInch);

// What the user chose in the print settings.
struct PrintChoice {
    enum class Subset { AllRange, OddPagesOnly, EvenPagesOnly };
    QString printer;  // a printer name; empty: write a PDF file
    QString pdfFile;  // when printing to a PDF file
    int copies = 1;
    bool collate = true;
    int fromPage = 0;  // 1-based; 0: all pages
    int toPage = 0;
    Subset subset = Subset::AllRange;
};

// The 0-based pages in the order they are printed: the range, then the odd
// or even page numbers of it, then the copies (collated: the whole run
// again; not collated: each page repeated).
QList<int> PrintOrder(int pageCount, const PrintChoice& choice);

// Writes the pages in that order as a PDF file. False when the file cannot
// be written.
bool WritePdf(const QString& file, const RecordedPages& pages, const QList<int>& order);

// Sends the pages to the printer of the choice (or its PDF file). False when
// the printer cannot be opened.
bool PrintPages(const RecordedPages& pages, const PrintChoice& choice);
