#include "toolkit/date_picker.h"
#include "toolkit/text_box_frame.h"

#include "store/xbase.h"
#include "toolkit/controls.h"
#include "toolkit/date_typing.h"
#include "toolkit/hint_label.h"
#include "toolkit/looks.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kesp {

// The calendar that drops down below a picker, with the button that empties
// the picker beneath it. It speaks the language of the default locale in
// force when it opens: month and day names, first day of the week.
class CalendarPopup : public QFrame {
  public:
    explicit CalendarPopup(DatePicker* picker) : QFrame(picker, Qt::Popup), picker_(picker) {
        setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(2);
        calendar_ = new QCalendarWidget(this);
        calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        layout->addWidget(calendar_);
        clear_ = new QPushButton(this);
        layout->addWidget(clear_);
        connect(calendar_, &QCalendarWidget::clicked, this, &CalendarPopup::pick);
        connect(calendar_, &QCalendarWidget::activated, this, &CalendarPopup::pick);
        connect(clear_, &QPushButton::clicked, this, [this] { pick(QDate()); });
    }

    QCalendarWidget* calendar() const { return calendar_; }

    void open() {
        const QLocale locale;
        calendar_->setLocale(locale);
        calendar_->setFirstDayOfWeek(locale.firstDayOfWeek());
        // Qt's own word for emptying a text field, in the language loaded.
        clear_->setText(QCoreApplication::translate("QLineEdit", "Delete"));
        clear_->setVisible(picker_->allowsEmpty());
        const QDate shown = picker_->value().isValid() ? picker_->value() : DatePicker::Today();
        calendar_->setSelectedDate(shown);
        calendar_->setCurrentPage(shown.year(), shown.month());
        adjustSize();

        QPoint at = picker_->mapToGlobal(QPoint(0, picker_->height()));
        if (const QScreen* screen = picker_->screen()) {
            const QRect area = screen->availableGeometry();
            if (at.y() + height() > area.bottom())
                at.setY(picker_->mapToGlobal(QPoint(0, 0)).y() - height());
            at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        }
        move(at);
        show();
        calendar_->setFocus(Qt::PopupFocusReason);
    }

  private:
    void pick(const QDate& date) {
        hide();
        picker_->takeValue(date);
        picker_->showValue();
        picker_->setFocus(Qt::OtherFocusReason);
        if (picker_->value().isValid()) picker_->selectAll();
    }

    DatePicker* picker_;
    QCalendarWidget* calendar_;
    QPushButton* clear_;
};

namespace {

QString NoDateHintInEnglish(const QString& typed) {
    return QStringLiteral(
               "Not a valid date: %1. Please correct it; Esc restores the previous date.")
        .arg(typed);
}

NoDateHint& Hint() {
    static NoDateHint hint = NoDateHintInEnglish;
    return hint;
}

// The colour of a search box whose search found nothing: a text that does
// not stand for anything.
const QColor kRefusedBackground{255, 0, 0};

// The arrow at the right end of the picker that opens the calendar.
QIcon DropDownArrow() {
    QPixmap arrow(12, 12);
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawPolygon(QPolygonF({QPointF(2, 4), QPointF(10, 4), QPointF(6, 9)}));
    return QIcon(arrow);
}

}  // namespace

void SetNoDateHint(NoDateHint hint) {
    Hint() = hint ? std::move(hint) : NoDateHint(NoDateHintInEnglish);
}

DatePicker::DatePicker(QWidget* parent) : QLineEdit(parent) {
    UseCachedTextBoxFrame(this);
    format_ = DATEFORMAT();
    popup_ = new CalendarPopup(this);
    QAction* drop = addAction(DropDownArrow(), QLineEdit::TrailingPosition);
    connect(drop, &QAction::triggered, this, &DatePicker::openCalendar);
    connect(this, &QLineEdit::textEdited, this, &DatePicker::takeTypedText);
    showValue();
}

QDate DatePicker::value() const {
    return value_;
}

void DatePicker::setValue(const QDate& date) {
    format_ = DATEFORMAT();
    takeValue(date.isValid() ? date : QDate());
    showValue();
}

void DatePicker::setAllowsEmpty(bool allows) {
    allowsEmpty_ = allows;
    if (!allows && !value_.isValid()) setValue(Today());
}

void DatePicker::readyForTyping() {
    setFocus(Qt::MouseFocusReason);
    if (value_.isValid()) {
        selectAll();
    } else {
        showInputPlaces();
        setCursorPosition(0);
    }
}

void DatePicker::openCalendar() {
    popup_->open();
}

QCalendarWidget* DatePicker::calendarWidget() const {
    return popup_->calendar();
}

bool DatePicker::holdsTextThatIsNoDate() const {
    return ReadTypedDate(text(), format_).kind == TypedDate::Kind::NoDate;
}

bool DatePicker::event(QEvent* event) {
    // Escape belongs to the picker while it holds a refused text: it restores
    // the date instead of closing the window.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && holdsTextThatIsNoDate()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

// While the picker has the focus, it sees the presses and shortcuts of the
// whole program first: none of them may take the focus away, or act on the
// window's values, while the picker holds a text that is no date.
bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (!press && type != QEvent::Shortcut) return false;
    if (!hasFocus() || !holdsTextThatIsNoDate()) return false;
    if (press) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        // The calendar and other windows (a message box) are not the picker's to stop.
        if (widget == nullptr || widget->window() != window()) return false;
        if (widget == this || isAncestorOf(widget)) return false;
    }
    refuseTypedText();
    return true;
}

bool DatePicker::focusNextPrevChild(bool next) {
    if (hasFocus() && holdsTextThatIsNoDate()) {
        refuseTypedText();
        return true;
    }
    return QLineEdit::focusNextPrevChild(next);
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (event->key() == Qt::Key_F4 ||
        (alt && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up))) {
        openCalendar();
        event->accept();
        return;
    }
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        stepPartUnderCursor(event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((enter || event->key() == Qt::Key_Escape) && holdsTextThatIsNoDate()) {
        if (enter) {
            refuseTypedText();
        } else {
            showValue();
            if (value_.isValid()) selectAll();
        }
        event->accept();
        return;
    }
    if (enter) {
        showValue();
        if (value_.isValid()) selectAll();
    }
    QLineEdit::keyPressEvent(event);
}

void DatePicker::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    qApp->installEventFilter(this);
    if (event->reason() == Qt::PopupFocusReason) return;
    if (holdsTextThatIsNoDate()) return;  // back after another window: the text stays as typed
    if (value_.isValid()) {
        selectAll();
    } else {
        showInputPlaces();
        setCursorPosition(0);
    }
    // A click sets the cursor after the focus arrived; the whole date is
    // selected again when the button is released.
    selectOnRelease_ = event->reason() == Qt::MouseFocusReason;
}

void DatePicker::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    qApp->removeEventFilter(this);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason) return;
    // A click gives the focus away before anyone can stop it: it comes back.
    const bool byUser = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                        reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    if (byUser && holdsTextThatIsNoDate()) {
        refuseTypedText();
        return;
    }
    // Another window came to the front (a message box, another program): the
    // text waits there until the user comes back to it.
    if (reason == Qt::ActiveWindowFocusReason && holdsTextThatIsNoDate()) return;
    showValue();
}

void DatePicker::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (!selectOnRelease_) return;
    selectOnRelease_ = false;
    if (hasSelectedText()) return;  // the user dragged a selection of their own
    if (value_.isValid())
        selectAll();
    else
        setCursorPosition(0);
}

void DatePicker::takeTypedText() {
    const TypedDate typed = ReadTypedDate(text(), format_);
    if (typed.kind == TypedDate::Kind::Date) takeValue(typed.date);
    if (typed.kind == TypedDate::Kind::Empty && allowsEmpty_) takeValue(QDate());
    if (typed.kind != TypedDate::Kind::NoDate) markRefused(false);
}

void DatePicker::refuseTypedText() {
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    markRefused(true);
    ShowHintUnder(this, QString::fromLatin1(kNoDateHintName), Hint()(text().trimmed()));
}

void DatePicker::markRefused(bool refused) {
    if (refused == markedRefused_) return;
    if (refused) {
        normalPalette_ = palette();
        QPalette marked = normalPalette_;
        marked.setColor(QPalette::Base, kRefusedBackground);
        setPalette(marked);
    } else {
        setPalette(normalPalette_);
        HideHint(this, QString::fromLatin1(kNoDateHintName));
    }
    markedRefused_ = refused;
}

void DatePicker::stepPartUnderCursor(int steps) {
    const TypedDate typed = ReadTypedDate(text(), format_);
    QDate date = typed.kind == TypedDate::Kind::Date ? typed.date
                 : value_.isValid()                  ? value_
                                                     : Today();
    const QString format = format_.toLower();
    const int at = std::clamp(cursorPosition(), 0, static_cast<int>(format.size()) - 1);
    QChar part = format.at(at);
    if (part != u'd' && part != u'm' && part != u'y' && at > 0) part = format.at(at - 1);
    if (typed.kind == TypedDate::Kind::Date || value_.isValid()) {
        if (part == u'd') date = date.addDays(steps);
        if (part == u'm') date = date.addMonths(steps);
        if (part == u'y') date = date.addYears(steps);
    }
    const int cursor = cursorPosition();
    takeValue(date);
    showValue();
    setCursorPosition(cursor);
}

void DatePicker::takeValue(const QDate& date) {
    if (!date.isValid() && !allowsEmpty_) return;
    if (date == value_) return;
    value_ = date;
    emit valueChanged();
}

void DatePicker::showValue() {
    markRefused(false);
    if (!value_.isValid()) {
        if (hasFocus()) {
            showInputPlaces();
            setText(QString());
        } else {
            setInputMask(QString());
            setText(QString());
        }
        return;
    }
    setInputMask(DateInputMask(format_));
    setText(value_.toString(QtDateFormat(format_)));
}

void DatePicker::showInputPlaces() {
    if (!inputMask().isEmpty()) return;
    format_ = DATEFORMAT();
    setInputMask(DateInputMask(format_));
}

QDate DatePicker::Today() {
    return DATE().isValid() ? DATE() : QDate::currentDate();
}

bool RefuseTextThatIsNoDateIn(QWidget* window) {
    if (window == nullptr) return false;
    DatePicker* refusing = nullptr;
    for (DatePicker* picker : window->findChildren<DatePicker*>()) {
        if (!picker->isVisible() || !picker->isEnabled() || !picker->holdsTextThatIsNoDate())
            continue;
        if (refusing == nullptr || picker == window->focusWidget()) refusing = picker;
    }
    if (refusing == nullptr) return false;
    refusing->refuseTypedText();
    return true;
}

// ---- The control ------------------------------------------------------------------

namespace {

class DatePickerControl : public Control {
  public:
    DatePickerControl(const QString& name, DatePicker* picker, Action onChange)
        : Control(name, picker), picker_(picker), onChange_(std::move(onChange)) {
        QObject::connect(picker_, &DatePicker::valueChanged, picker_,
                         [this] { RunAction(onChange_); });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && property == QLatin1String("value")) {
            picker_->setValue(value.toDate());
        } else if (index == 0 && property == QLatin1String("allowempty")) {
            picker_->setAllowsEmpty(value.toBool());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && property == QLatin1String("value")) return picker_->value();
        if (index == 0 && property == QLatin1String("allowempty")) return picker_->allowsEmpty();
        if (index == 0 && property == QLatin1String("nodate"))
            return picker_->holdsTextThatIsNoDate();
        return Control::get(property, index);
    }
    QWidget* typingTarget() override { return picker_; }
    void focusForTyping() override { picker_->readyForTyping(); }

  private:
    DatePicker* picker_;
    Action onChange_;
};

}  // namespace

std::unique_ptr<Control> MakeDatePicker(QWidget* parent, const QString& name,
                                        const DatePickerProperties& p) {
    auto* picker = new DatePicker(parent);
    picker->setFont(MakeFont(p.font));
    picker->setAllowsEmpty(p.allowsEmpty);
    if (p.value.isValid()) picker->setValue(p.value);
    PlaceControl(picker, p.row, p.col, p.width, p.height);
    return std::make_unique<DatePickerControl>(name, picker, p.onChange);
}

}  // namespace kesp
