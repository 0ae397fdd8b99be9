// The named operations of the word list (window "woerter_frm" over its
// table under the alias eng1, indexes ide1 on UPPER(De) and ide2 on
// UPPER(En)). The window's controls call them; so do the tests.
//
// The status line counts what it names: after a lookup the pairs found,
// otherwise every pair of the dictionary; THE_ANZAHL holds the number shown.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QPair>
#include <QString>
#include <QStringList>

void OPENWOERTER();           // initialisation: reorganise, then show the first pair
void WOERTER_AKT();           // the list's change action: the selected pair into the edit frame
void SUCHE_DE_1();            // Button_3: look up by the beginning of the German word
void SUCHE_EN_2();            // Button_4: look up by the beginning of the English word
void T_SAVE_WOERTER();        // Button_5: write the edit frame into the selected pair
void T_DELETE_WOERTER();      // Button_6: delete the selected pair, after asking
void T_UNDO_WOERTER();        // Ctrl+Z on the list: the newest deletion of this opening back
bool WordDeletionToUndo();    // whether there is one
void T_SAVENEW_WOERTER();     // Button_7: add the pair of the add frame
void T_LEARN_WOERTER();       // Ctrl+L on the list: the selected pair marked to learn, or no more
int LearnMarkOnSelected();    // 1 the selected pair is marked, 0 it is not, -1 no pair selected
void EXPORT_LEARN_WOERTER();  // Ctrl+E: the pairs to learn written to the export folder
void SUGGESTION_WOERTER();    // Enter on List_1: the suggestion chosen looked up

// The pair of eng1's current record, as the dictionary writes it.
QPair<QString, QString> PairOfRecord();

// Defines the window, each control with its text in the language in force;
// SetWordListTexts sets the captions of the frames' words in that language.
void DefineWordListWindow();
void SetWordListTexts();
// "Did you mean ...?" with these headwords under it (Label_22, List_1), the
// first chosen; none: both hidden.
void ShowSuggestions(const QStringList& suggestions);
// In their place: they follow once the dictionary is prepared.
void ShowSuggestionsComing();
