// Text boxes (one line) and edit boxes (several lines).
#include "toolkit/controls.h"
#include "toolkit/keystroke_painting.h"
#include "toolkit/looks.h"
#include "toolkit/storable_text.h"
#include "toolkit/text_box_frame.h"
#include "toolkit/text_wrapping.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace kesp {
namespace {

bool Is(const QString& property, const char* name) {
    return property == QLatin1String(name);
}

QString WithoutTrailingBlanks(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

class TextBoxControl : public Control {
  public:
    TextBoxControl(const QString& name, QLineEdit* edit, Action onChange, Action onEnter)
        : Control(name, edit),
          edit_(edit),
          onChange_(std::move(onChange)),
          onEnter_(std::move(onEnter)) {
        if (onEnter_)
            QObject::connect(edit_, &QLineEdit::returnPressed, edit_,
                             [this] { RunAction(onEnter_); });
        // Typed, pasted or undone by the user: the window is painted when
        // the keystroke returns to the event loop.
        QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] {
            const PaintedOnReturn step(edit_);
            RunAction(onChange_);
        });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            // The change action runs for every value the program sets, also
            // when the text shown stays the same.
            // A text longer than the box shows its beginning, as it reads.
            {
                const QSignalBlocker quiet(edit_);
                ShowTextAsSet(edit_, WithoutTrailingBlanks(value.toString()));
                edit_->setCursorPosition(0);
            }
            RunAction(onChange_);
        } else if (index == 0 && (Is(property, "backcolor") || Is(property, "backgroundcolor"))) {
            // A search box gets its colour after every keystroke, mostly the one it has.
            const QColor color = ColorFromValue(value);
            if (edit_->palette().color(QPalette::Base) == color) return true;
            QPalette palette = edit_->palette();
            palette.setColor(QPalette::Base, color);
            edit_->setPalette(palette);
        } else if (index == 0 && Is(property, "fontcolor")) {
            SetForeground(edit_, ColorFromValue(value));
        } else if (index == 0 && Is(property, "readonly")) {
            edit_->setReadOnly(value.toBool());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) return edit_->text();
        if (index == 0 && (Is(property, "backcolor") || Is(property, "backgroundcolor")))
            return edit_->palette().color(QPalette::Base);
        if (index == 0 && Is(property, "readonly")) return edit_->isReadOnly();
        return Control::get(property, index);
    }
    QWidget* typingTarget() override { return edit_; }

  private:
    QLineEdit* edit_;
    Action onChange_;
    Action onEnter_;
};

// A memo keeps its line breaks as CR LF; the edit box shows them as lines.
class EditBoxControl : public Control {
  public:
    EditBoxControl(const QString& name, QPlainTextEdit* edit) : Control(name, edit), edit_(edit) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            QString text = WithoutTrailingBlanks(value.toString());
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            ChooseWrapping(edit_, text);
            edit_->setPlainText(text);
        } else if (index == 0 && Is(property, "readonly")) {
            edit_->setReadOnly(value.toBool());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) {
            QString text = edit_->toPlainText();
            text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            return text;
        }
        if (index == 0 && Is(property, "readonly")) return edit_->isReadOnly();
        return Control::get(property, index);
    }
    QWidget* typingTarget() override { return edit_; }

  private:
    QPlainTextEdit* edit_;
};

}  // namespace

std::unique_ptr<Control> MakeTextBox(QWidget* parent, const QString& name,
                                     const TextBoxProperties& p) {
    auto* edit = new QLineEdit(parent);
    UseCachedTextBoxFrame(edit);
    edit->setFont(MakeFont(p.font));
    if (p.maxLength > 0) edit->setMaxLength(p.maxLength);
    edit->setReadOnly(p.readOnly);
    edit->setText(WithoutTrailingBlanks(p.value));
    if (p.password)
        edit->setEchoMode(QLineEdit::Password);
    else
        KeepToStorableText(edit);
    PlaceControl(edit, p.row, p.col, p.width, p.height);
    return std::make_unique<TextBoxControl>(name, edit, p.onChange, p.onEnter);
}

std::unique_ptr<Control> MakeEditBox(QWidget* parent, const QString& name,
                                     const EditBoxProperties& p) {
    auto* edit = new StorableTextEdit(parent);
    edit->setFont(MakeFont(p.font));
    edit->setReadOnly(p.readOnly);
    if (p.noHScroll) {
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    PlaceControl(edit, p.row, p.col, p.width, p.height);
    auto control = std::make_unique<EditBoxControl>(name, edit);
    control->set(QStringLiteral("value"), 0, p.value);
    return control;
}

}  // namespace kesp
