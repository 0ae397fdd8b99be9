// The three message boxes, modal to the whole program.
#include "toolkit/driver_seam.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString Readable(QString text) {
    // A carriage return in the text is a line break.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool Show(const char* kind, QMessageBox::Icon icon, const QString& text, const QString& title) {
    const QString readable = Readable(text);
    if (kesp::seam::answerMessageBox)
        return kesp::seam::answerMessageBox({QString::fromLatin1(kind), title, readable});

    const bool asksYesNo = icon == QMessageBox::Question;
    QMessageBox box(icon, title, readable,
                    asksYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    if (asksYesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    return box.exec() != QMessageBox::No;
}

}  // namespace

void MSGBOX(const QString& text, const QString& title) {
    Show("MSGBOX", QMessageBox::NoIcon, text, title);
}

void MSGEXCLAMATION(const QString& text, const QString& title) {
    Show("MSGEXCLAMATION", QMessageBox::Warning, text, title);
}

bool MSGYESNO(const QString& text, const QString& title) {
    return Show("MSGYESNO", QMessageBox::Question, text, title);
}
