#include "reports/report_dialogs.h"

#include "reports/print_choice_dialog.h"
#include "reports/print_preview.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

std::optional<int> AskPageNumber(QWidget* parent, int current, int pageCount) {
    bool ok = false;
    const int number = QInputDialog::getInt(parent, "Go To Page", "Page Number", current, 1,
                                            qMax(1, pageCount), 1, &ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

QString AskPdfFile(QWidget* parent) {
    QString file = QFileDialog::getSaveFileName(parent, "Save", QDir::homePath(), "PDF (*.pdf)");
    if (!file.isEmpty() && !file.endsWith(".pdf", Qt::CaseInsensitive)) file += ".pdf";
    return file;
}

std::optional<PrintChoice> AskPrintChoice(QWidget* parent, int pageCount) {
    PrintChoiceDialog dialog(pageCount, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

std::optional<PrintChoice> AskPrinter(QWidget* parent, int pageCount) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, qMax(1, pageCount));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintChoice choice;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        choice.pdfFile = printer.outputFileName();
        if (choice.pdfFile.isEmpty()) choice.pdfFile = CurrentReportDialogs().askPdfFile(parent);
        if (choice.pdfFile.isEmpty()) return std::nullopt;
    } else {
        choice.printer = printer.printerName();
    }
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    if (printer.printRange() == QPrinter::PageRange) {
        choice.fromPage = printer.fromPage();
        choice.toPage = printer.toPage();
    }
    return choice;
}

}  // namespace

ReportDialogs DefaultReportDialogs() {
    return ReportDialogs{AskPageNumber, AskPdfFile, AskPrintChoice, AskPrinter,
                         [](PrintPreview& preview) { preview.exec(); }};
}

ReportDialogs& CurrentReportDialogs() {
    static ReportDialogs dialogs = DefaultReportDialogs();
    return dialogs;
}

std::optional<PrintChoice> DefaultPrintChoice(QWidget* parent) {
    PrintChoice choice;
    choice.printer = QPrinterInfo::defaultPrinterName();
    if (choice.printer.isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty()) {
        choice.printer = QPrinterInfo::availablePrinterNames().first();
    }
    if (choice.printer.isEmpty()) {
        choice.pdfFile = CurrentReportDialogs().askPdfFile(parent);
        if (choice.pdfFile.isEmpty()) return std::nullopt;
    }
    return choice;
}
