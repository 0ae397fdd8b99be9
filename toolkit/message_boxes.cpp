// The three message boxes, modal to the whole program.
#include "toolkit/driver_seam.h"
#include "toolkit/forms.h"
#include "toolkit/message_box.h"

#include <QApplication>

namespace kesp {

QString ReadableMessage(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::unique_ptr<QMessageBox> BuildMessageBox(const QString& kind, const QString& text,
                                             const QString& title) {
    const bool asksYesNo = kind == QLatin1String("MSGYESNO");
    const QMessageBox::Icon icon = asksYesNo                                 ? QMessageBox::Question
                                   : kind == QLatin1String("MSGEXCLAMATION") ? QMessageBox::Warning
                                                                             : QMessageBox::NoIcon;
    auto box = std::make_unique<QMessageBox>(
        icon, title, ReadableMessage(text),
        asksYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        QApplication::activeWindow());
    box->setWindowModality(Qt::ApplicationModal);
    if (asksYesNo) {
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    }
    return box;
}

}  // namespace kesp

namespace {

bool Show(const char* kind, const QString& text, const QString& title) {
    if (kesp::seam::answerMessageBox)
        return kesp::seam::answerMessageBox(
            {QString::fromLatin1(kind), title, kesp::ReadableMessage(text)});
    return kesp::BuildMessageBox(QString::fromLatin1(kind), text, title)->exec() != QMessageBox::No;
}

}  // namespace

void MSGBOX(const QString& text, const QString& title) {
    Show("MSGBOX", text, title);
}

void MSGEXCLAMATION(const QString& text, const QString& title) {
    Show("MSGEXCLAMATION", text, title);
}

bool MSGYESNO(const QString& text, const QString& title) {
    return Show("MSGYESNO", text, title);
}
