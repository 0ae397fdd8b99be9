#include "reports/page_output.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

QPageLayout SheetLayout(const RecordedPage& page) {
    const QSizeF mm = page.paperMm.isValid() ? page.paperMm : QSizeF(215.9, 279.4);
    const bool landscape = mm.width() > mm.height();
    const QPageSize size(landscape ? mm.transposed() : mm, QPageSize::Millimeter);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool PaintInOrder(QPagedPaintDevice& device, const RecordedPages& pages, const QList<int>& order) {
    if (order.isEmpty()) return true;
    device.setPageLayout(SheetLayout(pages.page(order.first())));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (int i = 0; i < order.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        PaintPage(painter, pages.page(order[i]));
    }
    return painter.end();
}

}  // namespace

void PaintPage(QPainter& painter, const RecordedPage& page) {
    const double dotsPerMm = painter.device()->logicalDpiX() / 25.4;
    const double dotsPerMmY = painter.device()->logicalDpiY() / 25.4;
    painter.save();
    for (const PagePicture& picture : page.pictures) {
        const QImage image(picture.file);
        if (image.isNull()) continue;
        const QRectF& mm = picture.areaMm;
        painter.drawImage(QRectF(mm.left() * dotsPerMm, mm.top() * dotsPerMmY,
                                 mm.width() * dotsPerMm, mm.height() * dotsPerMmY),
                          image);
    }
    painter.setPen(Qt::black);
    for (const PageText& text : page.texts) {
        QFont font(text.family);
        font.setStyleHint(text.family.contains("Mono") ? QFont::TypeWriter : QFont::SansSerif);
        font.setPointSizeF(text.pointSize);
        font.setBold(text.bold);
        painter.setFont(font);
        const QFontMetricsF metrics(font, painter.device());
        painter.drawText(QPointF(ColumnLeftMm(text.column) * dotsPerMm,
                                 LineTopMm(text.line) * dotsPerMmY + metrics.ascent()),
                         text.text);
    }
    painter.restore();
}

QImage RenderPage(const RecordedPage& page, double dotsPerInch) {
    const QSizeF mm = page.paperMm.isValid() ? page.paperMm : QSizeF(215.9, 279.4);
    const QSize pixels(qMax(1, qRound(mm.width() / 25.4 * dotsPerInch)),
                       qMax(1, qRound(mm.height() / 25.4 * dotsPerInch)));
    QImage image(pixels, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintPage(painter, page);
    return image;
}

QList<int> PrintOrder(int pageCount, const PrintChoice& choice) {
    int from = 1, to = pageCount;
    if (choice.fromPage > 0) {
        from = qMax(1, choice.fromPage);
        to = qMin(pageCount, choice.toPage > 0 ? choice.toPage : pageCount);
    }
    QList<int> run;
    for (int number = from; number <= to; ++number) {
        if (choice.subset == PrintChoice::Subset::OddPagesOnly && number % 2 == 0) continue;
        if (choice.subset == PrintChoice::Subset::EvenPagesOnly && number % 2 == 1) continue;
        run.append(number - 1);
    }
    const int copies = qMax(1, choice.copies);
    QList<int> order;
    if (choice.collate) {
        for (int c = 0; c < copies; ++c)
            order += run;
    } else {
        for (int index : run) {
            for (int c = 0; c < copies; ++c)
                order.append(index);
        }
    }
    return order;
}

bool WritePdf(const QString& file, const RecordedPages& pages, const QList<int>& order) {
    QPdfWriter writer(file);
    writer.setResolution(600);
    writer.setCreator("Varnel Kesp 2.0");
    return PaintInOrder(writer, pages, order);
}

bool PrintPages(const RecordedPages& pages, const PrintChoice& choice) {
    const QList<int> order = PrintOrder(pages.pageCount(), choice);
    if (choice.printer.isEmpty()) return WritePdf(choice.pdfFile, pages, order);
    const QPrinterInfo info = QPrinterInfo::printerInfo(choice.printer);
    if (info.isNull()) return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setCopyCount(1);  // the order already holds the copies
    return PaintInOrder(printer, pages, order);
}
