// Labels, buttons, image buttons, frames, images and progress bars.
#include "toolkit/accessible_names.h"
#include "toolkit/controls.h"
#include "toolkit/fault_handler.h"
#include "toolkit/flat_progress_bar.h"
#include "toolkit/focus_mark.h"
#include "toolkit/keystroke_painting.h"
#include "toolkit/looks.h"
#include "toolkit/reading_order.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTextLayout>

#include <algorithm>

namespace kesp {
namespace {

bool Is(const QString& property, const char* name) {
    return property == QLatin1String(name);
}

// Static text as the classic desktop draws it: text wider than the label
// wraps at word boundaries onto further lines, but only onto lines the
// label's height holds whole; the last of them takes the rest of the text on
// one line, cut at the label's width. No line is ever drawn cut in height,
// half over the control below. The lines shown are centred vertically (a
// single line in a taller label, as the classic desktop shows it) and keep the
// horizontal alignment the label was given; a cut line starts at the left.
QTextOption WrappingOption(Qt::Alignment horizontal) {
    QTextOption option(horizontal);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Lays the text out in lines of `width`, one below the other; the line at
// `restOnOneLine` (none when -1) takes the rest of a paragraph on one line.
// Returns the number of lines.
int LayOutLines(QTextLayout& layout, int width, int restOnOneLine) {
    constexpr qreal kUnbounded = 100000;
    layout.beginLayout();
    int count = 0;
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(count == restOnOneLine ? kUnbounded : width);
        line.setPosition({0, y});
        y += line.height();
        ++count;
    }
    layout.endLayout();
    return count;
}

class StaticText : public QLabel {
  public:
    StaticText(const QString& text, Qt::Alignment horizontal, QWidget* parent)
        : QLabel(text, parent), horizontal_(horizontal) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setAlignment(horizontal_ | Qt::AlignVCenter);
    }

    void setStaticText(const QString& text) { setText(text); }

  protected:
    void paintEvent(QPaintEvent*) override {
        const QRect area = contentsRect();
        QString shown = text();
        shown.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
        shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
        shown.replace(QLatin1Char('\r'), QChar::LineSeparator);

        QTextLayout layout(shown, font());
        layout.setTextOption(WrappingOption(horizontal_));
        const int needed = LayOutLines(layout, area.width(), -1);
        int whole = 0;
        qreal height = 0;
        while (whole < needed &&
               (whole == 0 || height + layout.lineAt(whole).height() <= area.height()))
            height += layout.lineAt(whole++).height();
        if (whole < needed) {
            layout.setTextOption(WrappingOption(Qt::AlignLeft));
            LayOutLines(layout, area.width(), whole - 1);
        }

        QPainter painter(this);
        painter.setClipRect(area);
        painter.setPen(palette().color(QPalette::WindowText));
        const QPointF origin(area.left(),
                             area.top() + std::max<qreal>(0, (area.height() - height) / 2));
        for (int i = 0; i < whole; ++i)
            layout.lineAt(i).draw(&painter, origin);
    }

  private:
    Qt::Alignment horizontal_;
};

class LabelControl : public Control {
  public:
    LabelControl(const QString& name, StaticText* label) : Control(name, label), label_(label) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && (Is(property, "value") || Is(property, "caption"))) {
            // The same text again (a count line after every search) has
            // nothing new to show: it waits for the next paint like the rest.
            const QString text = value.toString();
            if (text == label_->text()) return true;
            label_->setStaticText(text);
            CaptionTextChanged(label_);
        } else if (index == 0 && (Is(property, "backcolor") || Is(property, "backgroundcolor"))) {
            SetBackground(label_, ColorFromValue(value));
        } else if (index == 0 && Is(property, "fontcolor")) {
            SetForeground(label_, ColorFromValue(value));
        } else {
            return Control::set(property, index, value);
        }
        ShowAtOnce(label_);
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && (Is(property, "value") || Is(property, "caption"))) return label_->text();
        if (index == 0 && (Is(property, "backcolor") || Is(property, "backgroundcolor")))
            return label_->palette().color(QPalette::Window);
        return Control::get(property, index);
    }

  private:
    StaticText* label_;
};

class ButtonControl : public Control {
  public:
    ButtonControl(const QString& name, QPushButton* button, Action action)
        : Control(name, button), button_(button), action_(std::move(action)) {
        QObject::connect(button_, &QPushButton::clicked, button_,
                         [this] { RunStep(button_, action_); });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "caption")) {
            button_->setText(value.toString());
        } else if (index == 0 && Is(property, "picture")) {
            setPicture(value.toString());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "caption")) return button_->text();
        if (index == 0 && Is(property, "picture")) return picture_;
        return Control::get(property, index);
    }
    bool userClick() override {
        if (!button_->isEnabled() || !button_->isVisibleTo(button_->window())) return true;
        button_->click();
        return true;
    }

    void setPicture(const QString& picture) {
        picture_ = picture;
        const QPixmap pixmap = LoadPicture(picture);
        button_->setIcon(pixmap.isNull() ? QIcon() : QIcon(pixmap));
        if (!pixmap.isNull())
            button_->setIconSize(pixmap.size().boundedTo(button_->size() - QSize(4, 4)));
    }

  private:
    QPushButton* button_;
    Action action_;
    QString picture_;
};

class FrameControl : public Control {
  public:
    FrameControl(const QString& name, QGroupBox* frame) : Control(name, frame), frame_(frame) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && (Is(property, "caption") || Is(property, "value"))) {
            frame_->setTitle(value.toString());
            return true;
        }
        return Control::set(property, index, value);
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && (Is(property, "caption") || Is(property, "value")))
            return frame_->title();
        return Control::get(property, index);
    }

  private:
    QGroupBox* frame_;
};

class ImageControl : public Control {
  public:
    ImageControl(const QString& name, QLabel* image, QString picture)
        : Control(name, image), image_(image) {
        setPicture(picture);
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "picture")) {
            setPicture(value.toString());
            return true;
        }
        return Control::set(property, index, value);
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "picture")) return picture_;
        return Control::get(property, index);
    }

  private:
    void setPicture(const QString& picture) {
        picture_ = picture;
        image_->setPixmap(LoadPicture(picture));
    }

    QLabel* image_;
    QString picture_;
};

class ProgressBarControl : public Control {
  public:
    ProgressBarControl(const QString& name, QProgressBar* bar) : Control(name, bar), bar_(bar) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            // The bar repaints itself at once when its value changes; in a
            // short step it waits for the step's return like a label. A value
            // below the range (a search starting at 0 on a bar of 1-100) shows
            // an empty bar, not the bar of the last action.
            const int number = RequireNumber(value, QStringLiteral("progress bar value"));
            const bool waits = WaitsForReturn(bar_);
            if (waits) bar_->setUpdatesEnabled(false);
            if (number < bar_->minimum())
                bar_->reset();
            else
                bar_->setValue(number);
            if (waits) bar_->setUpdatesEnabled(true);  // and so marked for the next paint
        } else if (index == 0 && Is(property, "rangemin")) {
            bar_->setMinimum(RequireNumber(value, QStringLiteral("progress bar range")));
        } else if (index == 0 && Is(property, "rangemax")) {
            bar_->setMaximum(RequireNumber(value, QStringLiteral("progress bar range")));
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) return bar_->value();
        if (index == 0 && Is(property, "rangemin")) return bar_->minimum();
        if (index == 0 && Is(property, "rangemax")) return bar_->maximum();
        return Control::get(property, index);
    }

  private:
    QProgressBar* bar_;
};

}  // namespace

int RequireNumber(const QVariant& value, const QString& what) {
    switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Short:
        case QMetaType::Long:
            return value.toInt();
        default:
            RaiseFormsFault(
                QStringLiteral("The %1 must be numeric, not \"%2\".").arg(what, value.toString()));
    }
}

std::unique_ptr<Control> MakeLabel(QWidget* parent, const QString& name, const LabelProperties& p) {
    const Qt::Alignment horizontal = p.centerAlign  ? Qt::AlignHCenter
                                     : p.rightAlign ? Qt::AlignRight
                                                    : Qt::AlignLeft;
    auto* label = new StaticText(p.value, horizontal, parent);
    label->setFont(MakeFont(p.font, p.bold));
    if (p.background && !p.transparent) SetBackground(label, *p.background);
    if (p.fontColor) SetForeground(label, *p.fontColor);
    PlaceControl(label, p.row, p.col, p.width, p.height);
    return std::make_unique<LabelControl>(name, label);
}

std::unique_ptr<Control> MakeButton(QWidget* parent, const QString& name,
                                    const ButtonProperties& p) {
    auto* button = new FocusMarkedButton(p.caption, parent);
    button->setFont(MakeFont(p.font, p.bold));
    button->setToolTip(p.tooltip);
    button->setFlat(p.flat);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(true);  // Enter clicks the button that has the focus
    PlaceControl(button, p.row, p.col, p.width, p.height);
    return std::make_unique<ButtonControl>(name, button, p.action);
}

std::unique_ptr<Control> MakeImageButton(QWidget* parent, const QString& name,
                                         const ImageButtonProperties& p) {
    auto* button = new FocusMarkedButton(parent);
    button->setToolTip(p.tooltip);
    button->setFlat(p.flat);
    PlaceControl(button, p.row, p.col, p.width, p.height);
    auto control = std::make_unique<ButtonControl>(name, button, p.action);
    control->setPicture(p.picture);
    if (p.invisible) button->hide();
    return control;
}

namespace {

// The frames beside `frame` that enclose it go behind it, the largest
// furthest back, so a frame defined inside an earlier one stays visible.
void LowerFramesAround(QGroupBox* frame) {
    QList<QGroupBox*> around;
    for (QGroupBox* other :
         frame->parentWidget()->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        if (other != frame && other->geometry().contains(frame->geometry())) around << other;
    std::sort(around.begin(), around.end(), [](const QGroupBox* a, const QGroupBox* b) {
        const auto area = [](const QGroupBox* box) { return qint64(box->width()) * box->height(); };
        return area(a) < area(b);
    });
    for (QGroupBox* enclosing : around)
        enclosing->lower();
}

}  // namespace

std::unique_ptr<Control> MakeFrame(QWidget* parent, const QString& name, const FrameProperties& p) {
    auto* frame = new QGroupBox(p.caption, parent);
    frame->setFont(MakeFont(p.font, p.bold));
    if (p.background || p.opaque) {
        // The style would shade the inside of the box; a coloured frame is
        // meant to be that colour all over, with a plain line around it.
        const QColor color = p.background.value_or(Qt::white);
        frame->setStyleSheet(
            QStringLiteral("QGroupBox { background-color: %1; border: 1px solid #a0a0a0;"
                           " margin-top: 7px; }"
                           " QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                           " padding: 0 2px; }")
                .arg(color.name()));
    }
    if (p.fontColor) SetForeground(frame, *p.fontColor);
    if (p.tabGroup) frame->setProperty(kTabGroupProperty, true);
    PlaceControl(frame, p.row, p.col, p.width, p.height);
    // A frame is drawn behind the controls placed in it, whatever the order of
    // definition, and in front of the frames it lies in.
    frame->lower();
    LowerFramesAround(frame);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    return std::make_unique<FrameControl>(name, frame);
}

std::unique_ptr<Control> MakeImage(QWidget* parent, const QString& name, const ImageProperties& p) {
    auto* image = new QLabel(parent);
    image->setScaledContents(p.stretch);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceControl(image, p.row, p.col, p.width, p.height);
    return std::make_unique<ImageControl>(name, image, p.picture);
}

std::unique_ptr<Control> MakeProgressBar(QWidget* parent, const QString& name,
                                         const ProgressBarProperties& p) {
    auto* bar = new FlatProgressBar(parent);
    bar->setRange(p.rangeMin, p.rangeMax);
    bar->setValue(p.value);
    QPalette palette = bar->palette();
    if (p.background) {
        palette.setColor(QPalette::Base, *p.background);
        palette.setColor(QPalette::Window, *p.background);
    }
    if (p.barColor) palette.setColor(QPalette::Highlight, *p.barColor);
    bar->setPalette(palette);
    PlaceControl(bar, p.row, p.col, p.width, p.height);
    return std::make_unique<ProgressBarControl>(name, bar);
}

}  // namespace kesp
