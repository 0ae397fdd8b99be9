// The texts of the agenda's details window and of the line that tells an
// appointment's details, in three languages.
#pragma once

#include "kernel/texts.h"

#include <QString>

namespace details_texts {

inline const QString kWindow = QStringLiteral("agenda_det");

inline const Texts kTitle{"Termin – Details", "Appointment details", "Detalhes do compromisso"};
inline const Texts kButton{"Mehr…", "Details…", "Detalhes…"};
inline const Texts kButtonTip{"Wiederholung, Ende, Ort und Beschreibung des Termins",
                              "The appointment's repetition, end, place and description",
                              "Repetição, fim, local e descrição do compromisso"};
inline const Texts kAllDay{"Ganztägig", "All day", "Dia inteiro"};
inline const Texts kEnd{"Ende", "Ends", "Fim"};
inline const Texts kPlace{"Ort", "Place", "Local"};
inline const Texts kDescription{"Beschreibung", "Description", "Descrição"};
inline const Texts kRepetition{"Wiederholung", "Repetition", "Repetição"};
inline const Texts kRepeat{"Wiederholen", "Repeat", "Repetir"};
inline const Texts kEvery{"alle", "every", "a cada"};
inline const Texts kSeriesEnds{"Serie endet", "Series ends", "A série termina"};
inline const Texts kOk{"OK", "OK", "OK"};
inline const Texts kCancel{"Abbrechen", "Cancel", "Cancelar"};

inline const QList<Texts> kFrequencies{{"nie", "never", "nunca"},
                                       {"täglich", "daily", "diariamente"},
                                       {"wöchentlich", "weekly", "semanalmente"},
                                       {"monatlich", "monthly", "mensalmente"},
                                       {"jährlich", "yearly", "anualmente"}};
// Shown instead of the above for a rule from another calendar the window
// cannot show part by part; it is kept as it came.
inline const Texts kAsImported{"wie importiert", "as imported", "como importado"};
inline const QList<Texts> kSeriesEndChoices{{"nie", "never", "nunca"},
                                            {"am", "on", "em"},
                                            {"nach (Anzahl)", "after (times)", "após (vezes)"}};
// A monthly series' day: the day of the month; the position and the
// weekday; the weekday.
inline const Texts kOnDayOfMonth{"am %1. des Monats", "on day %1 of the month", "no dia %1 do mês"};
inline const Texts kOnWeekdayInMonth{"am %1. %2 des Monats", "on the %1. %2 of the month",
                                     "na %1ª %2 do mês"};
inline const Texts kOnLastWeekday{"am letzten %1 des Monats", "on the last %1 of the month",
                                  "na última %1 do mês"};
inline const Texts kEndBeforeStart{"Das Ende liegt vor dem Beginn des Termins.",
                                   "The end lies before the appointment's start.",
                                   "O fim fica antes do início do compromisso."};
inline const Texts kBadNumber{"Bitte eine Zahl von 1 bis 999 eingeben.",
                              "Please enter a number from 1 to 999.",
                              "Favor digitar um número de 1 a 999."};

// The details line: its parts joined by " · ".
inline const Texts kUntil{"bis %1", "until %1", "até %1"};
inline const Texts kTimes{"%1 Mal", "%1 times", "%1 vezes"};
inline const Texts kEndsAt{"Ende %1", "ends %1", "termina %1"};
inline const Texts kPlaceIs{"Ort: %1", "Place: %1", "Local: %1"};
inline const Texts kZoneIs{"Zeitzone %1", "time zone %1", "fuso horário %1"};
inline const Texts kChangedOnItsOwn{"einzeln geändert", "changed on its own", "alterado sozinho"};

inline const QList<Texts> kShortWeekdays{
    {"Mo", "Mon", "Seg"}, {"Di", "Tue", "Ter"}, {"Mi", "Wed", "Qua"}, {"Do", "Thu", "Qui"},
    {"Fr", "Fri", "Sex"}, {"Sa", "Sat", "Sáb"}, {"So", "Sun", "Dom"}};
inline const QList<Texts> kWeekdays{
    {"Montag", "Monday", "segunda-feira"},     {"Dienstag", "Tuesday", "terça-feira"},
    {"Mittwoch", "Wednesday", "quarta-feira"}, {"Donnerstag", "Thursday", "quinta-feira"},
    {"Freitag", "Friday", "sexta-feira"},      {"Samstag", "Saturday", "sábado"},
    {"Sonntag", "Sunday", "domingo"}};

}  // namespace details_texts
