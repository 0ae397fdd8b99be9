#include "reports/print_choice_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

const QString PrintChoiceDialog::kPdfPrinter = "PDF";

PrintChoiceDialog::PrintChoiceDialog(int pageCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Print");
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    printer_ = new QComboBox;
    printer_->setObjectName("printer");
    printer_->addItems(QPrinterInfo::availablePrinterNames());
    printer_->addItem(kPdfPrinter);
    const QString preferred = QPrinterInfo::defaultPrinterName();
    printer_->setCurrentIndex(preferred.isEmpty() ? 0 : printer_->findText(preferred));
    form->addRow("Select Printer", printer_);
    copies_ = new QSpinBox;
    copies_->setObjectName("copies");
    copies_->setRange(1, 999);
    form->addRow("Copies", copies_);
    collate_ = new QCheckBox("Collate Copies");
    collate_->setObjectName("collate");
    collate_->setChecked(true);
    form->addRow(collate_);
    layout->addLayout(form);

    auto* range = new QGroupBox("Print Range");
    auto* rangeLayout = new QVBoxLayout(range);
    all_ = new QRadioButton("All");
    all_->setObjectName("all");
    all_->setChecked(true);
    pages_ = new QRadioButton("Pages");
    pages_->setObjectName("pages");
    from_ = new QSpinBox;
    from_->setObjectName("from");
    to_ = new QSpinBox;
    to_->setObjectName("to");
    for (QSpinBox* box : {from_, to_})
        box->setRange(1, qMax(1, pageCount));
    to_->setValue(qMax(1, pageCount));
    auto* pagesRow = new QHBoxLayout;
    pagesRow->addWidget(pages_);
    pagesRow->addWidget(new QLabel("From"));
    pagesRow->addWidget(from_);
    pagesRow->addWidget(new QLabel("To"));
    pagesRow->addWidget(to_);
    subset_ = new QComboBox;
    subset_->setObjectName("subset");
    subset_->addItems({"All Range", "Odd Pages Only", "Even Pages Only"});
    rangeLayout->addWidget(all_);
    rangeLayout->addLayout(pagesRow);
    rangeLayout->addWidget(subset_);
    layout->addWidget(range);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PrintChoice PrintChoiceDialog::choice() const {
    PrintChoice c;
    c.printer = printer_->currentText() == kPdfPrinter ? QString() : printer_->currentText();
    c.copies = copies_->value();
    c.collate = collate_->isChecked();
    if (pages_->isChecked()) {
        c.fromPage = from_->value();
        c.toPage = to_->value();
    }
    c.subset = PrintChoice::Subset(subset_->currentIndex());
    return c;
}
