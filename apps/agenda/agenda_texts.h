// The texts of the agenda that its actions show, in three languages. The
// captions of the window itself are set in agenda_window.cpp.
#pragma once

#include "kernel/texts.h"

#include <QString>

namespace agenda_texts {

inline const QString kWindow = QStringLiteral("agenda_frm");

// Label_1: the count, this text, the day.
inline const Texts kDayHeading{" Termin(e) für den ", " appointment(s): ", " Compromisso(s): "};
// Label_2: this text, the first day, the middle text, the last day.
inline const Texts kRangeFrom{"Termine von ", "Appointm.: ", "Comprom.: "};
inline const Texts kRangeTo{" bis ", " to ", " até "};

inline const Texts kWriteText{"Bitte Text eingeben", "Please write your appointment",
                              "Favor escrever um compromisso"};

// The delete question: the start, the date, the separator, hh:mm, the end.
inline const Texts kDeleteStart{
    "Termin am: ", "Delete the appointment: ", "Apagar o compromisso: "};
inline const Texts kDeleteAt{" um ", " ", " "};
inline const Texts kDeleteEnd{" löschen?", " ?", " ?"};

inline const Texts kDayReport{"xxagenda01", "xxagenda01_en", "xxagenda01_br"};
inline const Texts kRangeReport{"xxagenda02", "xxagenda02_en", "xxagenda02_br"};

inline const Texts kDayCsv{"Agenda_Tag.csv", "Agenda_Day.csv", "Agenda_Dia.csv"};
inline const Texts kDayCsvWritten{"Agenda_Tag.csv wurde erstellt.", "File Agenda_Day.csv created.",
                                  "Arquivo Agenda_Dia.csv foi criado."};
inline const Texts kRangeCsv{"Agenda.csv", "Agenda.csv", "Agenda.csv"};
inline const Texts kRangeCsvWritten{"Agenda.csv wurde erstellt.", "File Agenda.csv created.",
                                    "Arquivo Agenda.csv foi criado."};

inline const Texts kIcsFile{"Agenda.ics", "Agenda.ics", "Agenda.ics"};
inline const Texts kIcsWritten{"Agenda.ics wurde erstellt.", "File Agenda.ics created.",
                               "Arquivo Agenda.ics foi criado."};
inline const Texts kIcsNotWritten{
    "Sorry, iCalendar Datei konnte nicht erstellt werden. Rechte und Schutz prüfen.",
    "Sorry, I can not write the iCalendar file. Permission?",
    "Sorry, não foi possível criar o arquivo iCalendar. Permissão?"};

inline const Texts kImportTitle{"iCalendar-Datei importieren", "Import iCalendar file",
                                "Importar arquivo iCalendar"};
inline const Texts kIcsFilter{"iCalendar-Dateien (*.ics *.ical *.ifb *.icalendar)",
                              "iCalendar files (*.ics *.ical *.ifb *.icalendar)",
                              "Arquivos iCalendar (*.ics *.ical *.ifb *.icalendar)"};
inline const Texts kAnyFile{"Alle Dateien (*)", "All files (*)", "Todos os arquivos (*)"};
// Follows the number of appointments the import added.
inline const Texts kImported{" Termin(e) importiert.", " appointment(s) imported.",
                             " compromisso(s) importado(s)."};
inline const Texts kAlreadyPresent{"%1 übersprungen (schon in der Agenda).",
                                   "%1 skipped (already in the agenda).",
                                   "%1 ignorado(s) (já na agenda)."};
// A changed appointment stored whose old version could not be removed (%1:
// the file, %2: the system's reason).
inline const Texts kBothVersionsKept{
    "Der geänderte Termin ist gespeichert; der alte steht noch daneben, weil die Datei %1 nicht "
    "geschrieben werden konnte: %2.",
    "The changed appointment is saved; the old one is still there beside it, because the file "
    "%1 could not be written: %2.",
    "O compromisso alterado foi salvo; o antigo continua ao lado, porque não foi possível gravar "
    "o arquivo %1: %2."};
// After kImported when events had no SUMMARY (%1: how many).
inline const Texts kWithoutTitle{" %1 davon ohne Titel.", " %1 of them without a title.",
                                 " %1 deles sem título."};
// Asked before many events are imported (%1: how many).
inline const Texts kManyEvents{
    "Die Datei enthält %1 Termine; der Import kann eine Weile dauern. Alle importieren?",
    "The file holds %1 appointments; importing them may take a while. Import them all?",
    "O arquivo contém %1 compromissos; a importação pode demorar. Importar todos?"};
// The progress window of a long import, and what a cancel left.
inline const Texts kImporting{"Termine werden importiert …", "Importing appointments …",
                              "Importando compromissos …"};
inline const Texts kCancel{"Abbrechen", "Cancel", "Cancelar"};
inline const Texts kImportCancelled{"Der Import wurde abgebrochen. Es wurde nichts importiert.",
                                    "The import was cancelled. Nothing was imported.",
                                    "A importação foi cancelada. Nada foi importado."};
// After the message of a write the system refused during an import.
inline const Texts kNoneImported{"Es wurde keiner der Termine der Datei importiert.",
                                 "None of the file's appointments was imported.",
                                 "Nenhum compromisso do arquivo foi importado."};
// Followed by a carriage return and the file's path.
inline const Texts kNotICalendar{
    "Diese Datei ist keine lesbare iCalendar-Datei. Es wurde nichts geändert.",
    "This is not a readable iCalendar file. Nothing was changed.",
    "Este arquivo não é um arquivo iCalendar legível. Nada foi alterado."};

// The lines of an import's summary beyond the count (%1, %2: numbers; for
// kKeptOnly %2 names what was kept, for kSkipped the first lines).
inline const Texts kFromEvents{"Aus %1 Ereignissen, davon %2 wiederkehrend.",
                               "From %1 events, %2 of them repeating.",
                               "De %1 eventos, %2 deles repetidos."};
inline const Texts kLongTexts{
    "%1 Titel sind länger als 99 Zeichen: der ganze Text bleibt beim Termin erhalten.",
    "%1 titles are longer than 99 characters: the whole text is kept with the appointment.",
    "%1 títulos têm mais de 99 caracteres: o texto inteiro é mantido com o compromisso."};
inline const Texts kExactTimes{
    "%1 Anfangszeiten liegen zwischen den 5-Minuten-Schritten der Agenda: die genaue Zeit "
    "bleibt für den Export erhalten.",
    "%1 start times fall between the agenda's 5-minute steps: the exact time is kept for the "
    "export.",
    "%1 horários de início ficam entre os passos de 5 minutos da agenda: o horário exato é "
    "mantido para a exportação."};
inline const Texts kKeptOnly{
    "%1 Ereignisse enthalten Angaben, die die Agenda nicht zeigt (%2); sie bleiben erhalten und "
    "werden wieder exportiert.",
    "%1 events hold details the agenda does not show (%2); they are kept and exported again.",
    "%1 eventos contêm dados que a agenda não mostra (%2); eles são mantidos e exportados de "
    "novo."};
inline const Texts kKeptComponents{
    "Nicht als Termine gezeigt, aber aufbewahrt und wieder exportiert: %1.",
    "Not shown as appointments, but kept and exported again: %1.",
    "Não mostrados como compromissos, mas mantidos e exportados de novo: %1."};
inline const Texts kSkipped{
    "%1 Ereignis(se) konnten nicht gelesen werden und wurden übersprungen (Zeile %2).",
    "%1 event(s) could not be read and were skipped (line %2).",
    "%1 evento(s) não puderam ser lidos e foram ignorados (linha %2)."};
// What an all-day appointment shows instead of its time.
inline const Texts kAllDay{"ganztägig", "all day", "dia inteiro"};
// Marks an occurrence of a series in the eleven-day list.
inline const QString kSeriesMark = QStringLiteral("\u21BB ");

// The window that asks which occurrences of a series a change is for.
inline const Texts kSeriesTitle{"Wiederkehrender Termin", "Repeating appointment",
                                "Compromisso repetido"};
inline const Texts kSeriesChangeQuestion{
    "Dieser Termin gehört zu einer Serie. Was soll geändert werden?",
    "This appointment is part of a series. What should change?",
    "Este compromisso faz parte de uma série. O que deve ser alterado?"};
inline const Texts kSeriesDeleteQuestion{
    "Dieser Termin gehört zu einer Serie. Was soll gelöscht werden?",
    "This appointment is part of a series. What should be deleted?",
    "Este compromisso faz parte de uma série. O que deve ser apagado?"};
inline const Texts kOnlyThisOne{"Nur diesen Termin", "Only this one", "Somente este"};
inline const Texts kThisAndFollowing{"Diesen und alle folgenden", "This and all following",
                                     "Este e os seguintes"};
inline const Texts kAllOfTheSeries{"Alle Termine", "All of them", "Todos"};

}  // namespace agenda_texts
