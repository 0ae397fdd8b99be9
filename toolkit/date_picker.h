// A date picker that can show no date at all: the empty date of the tables.
//
// Setting a null QDate shows an empty field; the user empties it with Delete
// or Backspace; reading an empty picker gives a null QDate. Dates are shown in
// the date format in force when the value is set.
#pragma once

#include <QDateEdit>

namespace kesp {

class DatePicker : public QDateEdit {
    Q_OBJECT
  public:
    explicit DatePicker(QWidget* parent = nullptr);

    QDate value() const;               // null when empty
    void setValue(const QDate& date);  // null: empty

  signals:
    void valueChanged();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showDateFormat();
};

}  // namespace kesp
