// The box that MSGBOX, MSGEXCLAMATION and MSGYESNO show, built but not shown:
// its icon and buttons by kind ("MSGBOX", "MSGEXCLAMATION", "MSGYESNO"), a
// carriage return in the text as a line break, Yes the default and No the
// answer of Escape in a question, and wide enough for its title.
#pragma once

#include <QMessageBox>

#include <memory>

namespace kesp {

std::unique_ptr<QMessageBox> BuildMessageBox(const QString& kind, const QString& text,
                                             const QString& title);

// The text as the box shows it: carriage returns as line breaks.
QString ReadableMessage(QString text);

}  // namespace kesp
