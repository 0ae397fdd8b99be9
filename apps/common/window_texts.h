// The texts of a window in three languages, set in one go when the window
// opens. Each entry names a control and the property it goes into; an entry
// without a control is the window's title. Entries with an index set the
// n-th caption or header (tab pages, list columns).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"

#include <QList>
#include <QString>

struct ControlText {
    QString control;   // empty: the window title
    QString property;  // "value", "caption", "tooltip", "header", ...
    int index = 0;     // 0: a plain property; n: caption n / header n
    Texts text;
};

// The tool tip of a list that has a context menu: how to open it.
inline const Texts kContextMenuTip{"Weitere Befehle: rechte Maustaste, Menütaste oder Umschalt+F10",
                                   "More commands: right click, the menu key or Shift+F10",
                                   "Mais comandos: botão direito, tecla de menu ou Shift+F10"};

// Sets every entry to its text in the language in force (THE_LANG).
void SetWindowTexts(const QString& window, const QList<ControlText>& texts);

// The texts of a window that sets them again after it is defined (the main
// window when the language changes, a naming window after a save), kept
// where its controls are defined: each control is named once, its three
// texts beside it.
//
//   _DEFINELABEL("lbl_akt", {.value = words("lbl_akt", "value", {"Aktuell", ...})});
//   ...
//   words.Apply("freeprivat");  // every kept text in the language in force
class WindowWording {
  public:
    // Keeps `text` for the property of `control` ("" for the title) and gives
    // it in the language in force, for the definition.
    QString operator()(const QString& control, const QString& property, const Texts& text);
    void Clear() { texts_.clear(); }  // before the window is defined again
    void Apply(const QString& window) const { SetWindowTexts(window, texts_); }

  private:
    QList<ControlText> texts_;
};

// Removes leading and trailing blanks (spaces only), the way stored texts are
// trimmed before they are written and when they are shown.
QString TrimBlanks(const QString& text);
