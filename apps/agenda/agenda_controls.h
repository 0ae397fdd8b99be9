// The names of the agenda window's controls that more than its definition
// addresses: the chosen day, the two editing panels, the day table and the
// eleven-day list.
#pragma once

#include <QString>

namespace agenda_controls {

inline const QString kChosenDay = QStringLiteral("MonthCal_1");
// "Edit appointment": the selected appointment.
inline const QString kEditDate = QStringLiteral("DatePicker_1");
inline const QString kEditHour = QStringLiteral("Combo_3");
inline const QString kEditMinute = QStringLiteral("Combo_4");
inline const QString kEditText = QStringLiteral("Text_2");
// "Insert appointment": a new one.
inline const QString kNewDate = QStringLiteral("DatePicker_2");
inline const QString kNewHour = QStringLiteral("Combo_1");
inline const QString kNewMinute = QStringLiteral("Combo_2");
inline const QString kNewText = QStringLiteral("Text_1");
inline const QString kDayTable = QStringLiteral("Browse_1");
inline const QString kRangeList = QStringLiteral("List_1");

}  // namespace agenda_controls
