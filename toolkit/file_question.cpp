// The question for a file to open.
#include "toolkit/driver_seam.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QFileDialog>

QString GETFILE(const QStringList& filters, const QString& title, const QString& folder) {
    if (kesp::seam::answerFileQuestion)
        return kesp::seam::answerFileQuestion({title, filters, folder});
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder,
                                        filters.join(QStringLiteral(";;")));
}
