// The print settings the preview asks for before printing: "Select Printer",
// "Copies", "Collate Copies" and the "Print Range" ("All", or "Pages" "From"
// ... "To", with "All Range", "Odd Pages Only" or "Even Pages Only"). The PDF
// printer is always offered, so printing works on a machine without any
// printer.
#pragma once

#include "reports/page_output.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

class PrintChoiceDialog : public QDialog {
  public:
    static const QString kPdfPrinter;

    PrintChoiceDialog(int pageCount, QWidget* parent = nullptr);
    // The settings as shown; printer empty for the PDF printer.
    PrintChoice choice() const;

  private:
    QComboBox* printer_;
    QSpinBox* copies_;
    QCheckBox* collate_;
    QRadioButton* all_;
    QRadioButton* pages_;
    QSpinBox* from_;
    QSpinBox* to_;
    QComboBox* subset_;
};
