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

}  // namespace word_texts
