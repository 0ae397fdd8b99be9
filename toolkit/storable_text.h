// Text boxes and edit boxes take only characters the tables can store
// (Windows-1252). A character outside it is refused as it is typed, pasted or
// dropped, and a short hint beside the box says what was left out, instead
// of the store writing "?" in its place without a word. Text the program sets
// is shown as it is.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <functional>

class QLineEdit;

namespace kesp {

// The object name of the hint, a label shown under the box for a few seconds.
inline constexpr char kUnstorableTextHintName[] = "unstorableTextHint";

// The hint for the characters left out. The program installs one in the
// interface language; until then it is English.
using UnstorableTextHint = std::function<QString(const QString& leftOut)>;
void SetUnstorableTextHint(UnstorableTextHint hint);

// A one-line text box keeps to storable text from now on.
void KeepToStorableText(QLineEdit* edit);
// Shows text the program sets in such a box as it is, unchecked.
void ShowTextAsSet(QLineEdit* edit, const QString& text);

// The multi-line edit box that keeps to storable text.
class StorableTextEdit : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace kesp
