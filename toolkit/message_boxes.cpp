// The three message boxes, modal to the whole program.
#include "toolkit/driver_seam.h"
#include "toolkit/forms.h"
#include "toolkit/message_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>

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
    // The window manager cuts a title longer than the box ("Varn... 2.0"): the
    // box is kept wide enough for the title, its icon and the title bar's buttons.
    constexpr int kTitleBarExtras = 160;
    const int titleWidth = QFontMetrics(QApplication::font()).horizontalAdvance(title);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth + kTitleBarExtras, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
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
