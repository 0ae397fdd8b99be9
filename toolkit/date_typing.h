// What a date typed into a date picker stands for, in the date format in force
// ("dd.mm.yyyy", "mm/dd/yyyy", "dd/mm/yyyy").
//
// A typed text is read as day, month and year in the order of the format,
// either separated by the format's separator ("1.5.2015", "01.05.2015") or as
// digits alone, each part with its full width ("01052015"). Blanks (the
// unfilled places of the picker's input mask) are ignored. A text of nothing
// but blanks and separators is the empty date; a text that is no complete, existing date (a part
// missing, "31.02.2015", a year of fewer digits than the format's) is no date.
#pragma once

#include <QDate>
#include <QString>

namespace kesp {

struct TypedDate {
    enum class Kind { Empty, Date, NoDate };
    Kind kind = Kind::NoDate;
    QDate date;  // valid when kind is Date
};

TypedDate ReadTypedDate(const QString& typed, const QString& dateFormat);

// The input mask that lets the user type into the format's places: digits in
// the day, month and year places, the separators fixed ("00.00.0000").
QString DateInputMask(const QString& dateFormat);

// The format in Qt's notation ("dd.MM.yyyy").
QString QtDateFormat(const QString& dateFormat);

}  // namespace kesp
