#include "toolkit/storable_text.h"

#include "store/codec.h"
#include "toolkit/hint_label.h"
#include "toolkit/text_wrapping.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QValidator>

#include <utility>

namespace kesp {
namespace {

QString HintInEnglish(const QString& leftOut) {
    return QStringLiteral("Cannot be stored, left out: %1").arg(leftOut);
}

UnstorableTextHint& Hint() {
    static UnstorableTextHint hint = HintInEnglish;
    return hint;
}

void ShowHint(QWidget* box, const QString& leftOut) {
    ShowHintUnder(box, QString::fromLatin1(kUnstorableTextHintName), Hint()(leftOut));
}

// Takes out what cannot be stored: a validator may change the text it is
// given, and the line edit then shows the changed text. A keystroke that adds
// nothing storable is refused outright, so it changes nothing.
class StorableTextValidator : public QValidator {
  public:
    explicit StorableTextValidator(QLineEdit* edit)
        : QValidator(edit), edit_(edit), accepted_(edit->text()) {}

    State validate(QString& input, int& position) const override {
        QString leftOut;
        const QString kept = store::StorablePart(input, &leftOut);
        if (!leftOut.isEmpty()) {
            ShowHint(edit_, leftOut);
            if (kept == accepted_) return Invalid;
            position = static_cast<int>(store::StorablePart(input.left(position)).size());
            input = kept;
        }
        accepted_ = input;
        return Acceptable;
    }
    // The text the program put in the box, past the validator.
    void Shown(const QString& text) { accepted_ = text; }

  private:
    QLineEdit* edit_;
    mutable QString accepted_;  // the text as it was before the edit being checked
};

}  // namespace

void SetUnstorableTextHint(UnstorableTextHint hint) {
    Hint() = hint ? std::move(hint) : UnstorableTextHint(HintInEnglish);
}

void KeepToStorableText(QLineEdit* edit) {
    edit->setValidator(new StorableTextValidator(edit));
}

void ShowTextAsSet(QLineEdit* edit, const QString& text) {
    // The text it already shows, unedited since it was set (a record shown
    // again as a search narrows the list to it): setting it again would only
    // lay it out again and put the cursor at its end.
    if (edit->text() == text && !edit->isUndoAvailable() && !edit->isRedoAvailable()) {
        edit->deselect();
        edit->end(false);
        return;
    }
    auto* validator = dynamic_cast<StorableTextValidator*>(
        edit->findChild<QValidator*>(QString(), Qt::FindDirectChildrenOnly));
    edit->setValidator(nullptr);
    edit->setText(text);
    if (validator != nullptr) {
        validator->Shown(edit->text());
        edit->setValidator(validator);
    }
}

void StorableTextEdit::keyPressEvent(QKeyEvent* event) {
    QString leftOut;
    store::StorablePart(event->text(), &leftOut);
    if (!leftOut.isEmpty()) {
        ShowHint(this, leftOut);
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void StorableTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    QString leftOut;
    const QString kept = store::StorablePart(event->commitString(), &leftOut);
    if (leftOut.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    ShowHint(this, leftOut);
    QInputMethodEvent storable(event->preeditString(), event->attributes());
    storable.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&storable);
}

void StorableTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    QString leftOut;
    const QString kept = store::StorablePart(source->text(), &leftOut);
    if (!leftOut.isEmpty()) ShowHint(this, leftOut);
    ChooseWrapping(this, kept, true);
    insertPlainText(kept);
}

}  // namespace kesp
