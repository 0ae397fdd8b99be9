#include "toolkit/date_picker.h"

#include "store/xbase.h"
#include "toolkit/controls.h"
#include "toolkit/looks.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace kesp {
namespace {

// The lowest date of the picker stands for "no date"; it is never a date the
// program stores.
const QDate kNoDate(1752, 9, 14);

QString QtDateFormat(QString format) {
    // "dd.mm.yyyy" of the tables: months are "MM" in Qt's patterns.
    format = format.toLower();
    format.replace(QLatin1String("mm"), QLatin1String("MM"));
    return format;
}

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    setMinimumDate(kNoDate);
    setSpecialValueText(QStringLiteral(" "));
    setCalendarPopup(true);
    showDateFormat();
    // The calendar would open on the lowest date, the one that stands for
    // "no date"; it is watched so that it opens on today instead.
    if (QCalendarWidget* calendar = calendarWidget()) calendar->installEventFilter(this);
    setDate(kNoDate);
    connect(this, &QDateEdit::dateChanged, this, &DatePicker::valueChanged);
}

QDate DatePicker::value() const {
    return date() == kNoDate ? QDate() : date();
}

void DatePicker::setValue(const QDate& date) {
    showDateFormat();
    setDate(date.isValid() && date > kNoDate ? date : kNoDate);
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
        (value().isValid() == false || lineEdit()->selectedText() == lineEdit()->text() ||
         event->key() == Qt::Key_Delete)) {
        setDate(kNoDate);
        event->accept();
        return;
    }
    if (date() == kNoDate && event->text().size() == 1 && event->text().at(0).isDigit()) {
        // Typing into an empty picker starts from today's date.
        setDate(DATE().isValid() ? DATE() : QDate::currentDate());
        setSelectedSection(sectionAt(0));
    }
    QDateEdit::keyPressEvent(event);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == calendarWidget() && date() == kNoDate) {
        const QDate today = DATE().isValid() ? DATE() : QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
}

void DatePicker::showDateFormat() {
    setDisplayFormat(QtDateFormat(DATEFORMAT()));
}

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
            return true;
        }
        return Control::set(property, index, value);
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && property == QLatin1String("value")) return picker_->value();
        return Control::get(property, index);
    }
    QWidget* typingTarget() override { return picker_; }

  private:
    DatePicker* picker_;
    Action onChange_;
};

}  // namespace

std::unique_ptr<Control> MakeDatePicker(QWidget* parent, const QString& name,
                                        const DatePickerProperties& p) {
    auto* picker = new DatePicker(parent);
    picker->setFont(MakeFont(p.font));
    picker->setValue(p.value);
    PlaceControl(picker, p.row, p.col, p.width, p.height);
    return std::make_unique<DatePickerControl>(name, picker, p.onChange);
}

}  // namespace kesp
