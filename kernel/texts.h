// The texts table of three languages: every user-visible text is written once
// as its German, English and Brazilian Portuguese version, and picked by the
// language in force (THE_LANG) at the moment it is shown.
#pragma once

#include <QString>

struct Texts {
    QString de;
    QString am;
    QString br;
};

// The version of THE_LANG ("DE", "AM" or "BR", compared as prefixes). Before
// a language is known the English text is used.
QString TEXT(const Texts& texts);

// The text for `count` things, one of two forms by the count, with %1 put in
// its place: COUNTED(1, {"%1 Karte", ...}, {"%1 Karten", ...}) is "1 Karte".
QString COUNTED(int count, const Texts& one, const Texts& many);

// The caption of the button that closes a window, which many windows share.
inline const Texts kCloseCaption{"Schließen", "Close", "Fechar"};
