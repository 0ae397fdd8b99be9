// The texts the word list shows while it works and in its messages. Texts
// with "%1" take a number or a word.
#pragma once

#include "kernel/texts.h"

namespace word_texts {

// The status line while the dictionary is reorganised.
inline const Texts kReorganising{"Bitte warten, Daten werden reorganisiert...",
                                 "Please wait, reorganizing the dictionary...",
                                 "Aguarde por favor, reorganizando os dados..."};
inline const Texts kGermanDoneAtOpening{
    "Warte...Wörterbuch [deutsch] wurde reorganisiert, [englisch]...",
    "Wait...Dictionary [german] reorganized, [english]...",
    "Aguarde...Dicionário [alemão] foi reorganizado, [ingles]..."};
inline const Texts kGermanDoneWhenAdding{"Wörterbuch [deutsch] wurde reorganisiert, [englisch]...",
                                         "Dictionary [german] reorganized, [english]...",
                                         "Dicionário [alemão] foi reorganizado, [ingles]..."};
// Followed by the number of pairs.
inline const Texts kReady{
    "Fertig. Anzahl der Daten: ", "Ready. Total records: ", "Pronto. Número de registros: "};

// The status line during and after a lookup.
inline const Texts kLookingUp{"Bitte warten...", "Please wait...", "Aguarde por favor..."};
inline const Texts kFoundWords{"%1 Wörter gefunden", "Found %1 words",
                               "%1 palavra(s) encontrada(s)"};

inline const Texts kBothWordsNeeded{"Bitte Wort auf deutsch und englisch eingeben",
                                    "Please write your word in german and in english",
                                    "Por favor digite a palavra em alemão e em ingles"};
inline const Texts kAdded{"Daten wurden hinzugefügt.", "Data were added", "Dados foram inseridos"};
inline const Texts kDeleteQuestion{"%1 löschen?", "Delete: %1 ?", "Apagar: %1 ?"};
inline const Texts kDeleted{"Daten wurden gelöscht.", "Record deleted", "Dado foi apagado."};

// A lookup from outside the word list (the command line, the lookup window).
// Followed by a base form: "houses (base form: house)".
inline const Texts kBaseForm{"%1 (Grundform: %2)", "%1 (base form: %2)", "%1 (forma básica: %2)"};
inline const Texts kNothingFound{"Nichts gefunden für „%1“.", "Nothing found for “%1”.",
                                 "Nada encontrado para “%1”."};
inline const Texts kDidYouMean{"Meinten Sie …?", "Did you mean …?", "Você quis dizer …?"};
// In place of the suggestions while the index of headwords is still built.
inline const Texts kSuggestionsComing{"Wörterbuch wird vorbereitet, Vorschläge folgen …",
                                      "Preparing the dictionary, suggestions follow …",
                                      "Preparando o dicionário, sugestões a seguir …"};
inline const Texts kNothingSimilar{"Auch nichts Ähnliches.", "Nothing similar either.",
                                   "Nada parecido também."};

// Pairs marked to learn, and their export.
inline const Texts kMarkToLearn{"Zum Lernen markieren", "Mark to learn", "Marcar para aprender"};
inline const Texts kUnmarkToLearn{"Lernmarke entfernen", "Remove the mark to learn",
                                  "Remover a marca para aprender"};
inline const Texts kLearnColumn{"Lernen", "Learn", "Aprender"};
inline const Texts kExportToLearn{"Zum Lernen exportieren", "Export to learn",
                                  "Exportar para aprender"};
// The export's file in the export folder.
inline const Texts kLearnFile{"Lernen.txt", "ToLearn.txt", "Aprender.txt"};
inline const Texts kNothingMarked{"Es ist kein Paar zum Lernen markiert.",
                                  "No pair is marked to learn.",
                                  "Nenhum par está marcado para aprender."};
inline const Texts kOneExported{
    "%1 Paar zum Lernen exportiert nach:", "%1 pair to learn exported to:",
    "%1 par para aprender exportado para:"};
inline const Texts kManyExported{
    "%1 Paare zum Lernen exportiert nach:", "%1 pairs to learn exported to:",
    "%1 pares para aprender exportados para:"};
inline const Texts kLearnNotWritten{
    "Die Datei zum Lernen konnte nicht geschrieben werden:",
    "The file to learn could not be written:", "Não foi possível gravar o arquivo para aprender:"};

}  // namespace word_texts
