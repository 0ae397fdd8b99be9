// The word list's operations: opening with its reorganisation, showing the
// selected pair, the two lookups, saving, adding and deleting pairs.
#include "apps/words/word_list.h"

#include "apps/common/export_file.h"
#include "apps/common/field_rows.h"
#include "apps/common/opening_record.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "apps/common/window_texts.h"
#include "apps/words/dictionary_index_build.h"
#include "apps/words/learn_marks.h"
#include "apps/words/word_list_frames.h"
#include "apps/words/word_list_operations.h"
#include "apps/words/word_list_progress.h"
#include "apps/words/word_list_texts.h"
#include "apps/words/word_lookup.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

constexpr char kWindow[] = "woerter_frm";
constexpr char kTable[] = "de_en.dbf";

// The pairs of the dictionary that are not marked deleted: the count the
// status line shows when no lookup narrows the list.
int pairsInDictionary = 0;

// The pairs marked deleted since the window opened, newest last: the table is
// packed only at the next opening, so each comes back by recalling its mark.
QList<int> deletedPairs;

bool BothWordsGiven(const FieldRows& frame) {
    for (const FieldRow& word : frame)
        if (TrimmedValue(kWindow, word.control).isEmpty()) return false;
    return true;
}

// Both indexes built from scratch from every record, the user told between
// the two; the table is in the current work area. A file the system refuses
// keeps neither order from being built; the first refusal is thrown at the end.
void RebuildBothIndexes(const Texts& germanDone) {
    StepsToTheEnd steps;
    steps.Run([] { DBCREATEINDEX(kGermanIndex.file, KeyText(kGermanIndex)); });
    ShowWordListStatus(TEXT(germanDone));
    DBGOTOP();
    ShowWordListProgress(60);
    steps.Run([] { DBCREATEINDEX(kEnglishIndex.file, KeyText(kEnglishIndex)); });
    ShowWordListProgress(90);
    steps.ThrowRefusal();
}

void ShowPairAndList() {
    WOERTER_AKT();
    DOMETHOD(kWindow, "Browse_2", "refresh");
    SETPROPERTY(kWindow, "Browse_2", "value", RECNO());
}

}  // namespace

void OPENFORM_WOERTER() {
    KESP_OPERATION();
    T_CLOSE();
    DefineWordListWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}

void OPENWOERTER() {
    KESP_OPERATION();
    QDir::setCurrent(THE_DATA_PATH);
    THE_ANZAHL = 0;
    SetWordListTexts();
    ForgetNarrowingLookup();
    deletedPairs.clear();
    BeginWordListWork();
    ShowWordListStatus(TEXT(word_texts::kReorganising));
    ShowWordListProgress(30);

    DBUSEAREA(false, THE_DATA_PATH + kTable);
    const int asked = TakeRecordToOpenOn();
    __DBPACK();
    RebuildBothIndexes(word_texts::kGermanDoneAtOpening);
    DBGOTOP();
    pairsInDictionary = LIVECOUNT();
    DBCLOSEALL();
    // The index of headwords for "Did you mean", made anew when the table
    // changed since: its records are taken while nothing holds the table.
    BuildDictionaryIndexInBackground(THE_DATA_PATH + kTable);

    DBUSEAREA(false, THE_DATA_PATH + kTable, "eng1");
    OpenLearnMarks();
    UseOnlyIndexOf(GermanLookup());
    if (asked > 0) DBGOTO(asked);
    ShowPairAndList();
    ShowReadyWithCount(pairsInDictionary);
    ShowWordListProgress(100);
    EndWordListWork();
}

void WOERTER_AKT() {
    KESP_OPERATION();
    DBSELECTAREA("eng1");
    FillControlsFromRecord(kWindow, "eng1", EditFrameRows());
    const bool onPair = !DBEOF();
    SETPROPERTY(kWindow, "Button_5", "enabled", onPair);
    SETPROPERTY(kWindow, "Button_6", "enabled", onPair);
}

void SUCHE_DE_1() {
    KESP_OPERATION();
    LookUpWords(GermanLookup());
}

void SUCHE_EN_2() {
    KESP_OPERATION();
    LookUpWords(EnglishLookup());
}

void T_SAVE_WOERTER() {
    KESP_OPERATION();
    if (!BothWordsGiven(EditFrameRows())) {
        MSGEXCLAMATION(TEXT(word_texts::kBothWordsNeeded), THE_APP_NAME);
        return;
    }
    DBSELECTAREA("eng1");
    if (DBEOF()) return;  // no pair selected: the button is disabled
    KeepBothIndexesCurrent();
    WriteControlsToRecord(kWindow, "eng1", EditFrameRows());
    DBCOMMIT();
    ShowPairAndList();
    MSGEXCLAMATION(TEXT(word_texts::kAdded), THE_APP_NAME);
}

void T_SAVENEW_WOERTER() {
    KESP_OPERATION();
    BeginWordListWork();
    if (!BothWordsGiven(AddFrameRows())) {
        MSGEXCLAMATION(TEXT(word_texts::kBothWordsNeeded), THE_APP_NAME);
        EndWordListWork();
        return;
    }
    DBSELECTAREA("eng1");
    // At the end of the list (an empty dictionary, a lookup that ended after
    // the last word) this is the number the new pair receives.
    const int noted = RECNO();
    DBAPPEND();
    WriteControlsToRecord(kWindow, "eng1", AddFrameRows());
    try {
        DBCOMMIT();
    } catch (const kesp::WriteFailure&) {
        EndWordListWork();  // nothing was added; the form keeps the pair
        throw;
    }
    ++pairsInDictionary;

    // Stored: from here on a refused write is told, and the window goes on.
    StepsToTheEnd after;
    ShowWordListStatus(TEXT(word_texts::kReorganising));
    ShowWordListProgress(30);
    after.Run([] { RebuildBothIndexes(word_texts::kGermanDoneWhenAdding); });
    after.Run([] { UseOnlyIndexOf(GermanLookup()); });
    RenewNarrowingFilter();

    DBGOTO(noted);
    if (!DBRECORDVISIBLE()) {
        // The new pair, added where the lookup left nothing to show: list
        // every pair, so that it can be selected.
        DBCLEARFILTER();
        ForgetNarrowingLookup();
    }
    ShowPairAndList();
    if (!after.TellSavedAnyway(THE_APP_NAME))
        MSGEXCLAMATION(TEXT(word_texts::kAdded), THE_APP_NAME);
    PrepareControlsForNewRecord(kWindow, AddFrameRows());
    ShowReadyWithCount(pairsInDictionary);
    ShowWordListProgress(100);
    EndWordListWork();
}

void T_DELETE_WOERTER() {
    KESP_OPERATION();
    DBSELECTAREA("eng1");
    if (DBEOF()) return;  // no pair selected: the button is disabled
    const QString german = TrimBlanks(FIELD("eng1->De").toString());
    if (!MSGYESNO(TEXT(word_texts::kDeleteQuestion).arg(german), THE_APP_NAME)) return;
    DBSELECTAREA("eng1");
    const int pair = RECNO();
    DBDELETE();
    deletedPairs.append(pair);
    --pairsInDictionary;
    const int found = NarrowingLookup() ? CountPresentedRecords() : 0;
    DBGOTOP();
    ShowPairAndList();
    MSGEXCLAMATION(TEXT(word_texts::kDeleted), THE_APP_NAME);
    if (NarrowingLookup())
        ShowFoundWords(found);
    else
        ShowReadyWithCount(pairsInDictionary);
}

bool WordDeletionToUndo() {
    return !deletedPairs.isEmpty();
}

void T_UNDO_WOERTER() {
    KESP_OPERATION();
    if (deletedPairs.isEmpty()) return;
    const int pair = deletedPairs.takeLast();
    DBSELECTAREA("eng1");
    DBGOTO(pair);
    if (DBEOF() || !DELETED()) return;
    DBRECALL();
    ++pairsInDictionary;
    // The status line counts what the list shows: the pairs a lookup found,
    // or the whole dictionary.
    const int found = NarrowingLookup() ? CountPresentedRecords() : 0;
    DBGOTO(pair);
    ShowPairAndList();
    if (NarrowingLookup())
        ShowFoundWords(found);
    else
        ShowReadyWithCount(pairsInDictionary);
}

QPair<QString, QString> PairOfRecord() {
    return {FIELD("eng1->De").toString().trimmed(), FIELD("eng1->En").toString().trimmed()};
}

int LearnMarkOnSelected() {
    DBSELECTAREA("eng1");
    if (DBEOF()) return -1;
    return MarkedToLearn(PairOfRecord()) ? 1 : 0;
}

void T_LEARN_WOERTER() {
    KESP_OPERATION();
    DBSELECTAREA("eng1");
    if (DBEOF()) return;
    ToggleLearnMark(PairOfRecord());
    ShowPairAndList();
}

void EXPORT_LEARN_WOERTER() {
    KESP_OPERATION();
    if (LearnMarks().isEmpty()) {
        MSGEXCLAMATION(TEXT(word_texts::kNothingMarked), THE_APP_NAME);
        return;
    }
    const QString written = COUNTED(static_cast<int>(LearnMarks().size()), word_texts::kOneExported,
                                    word_texts::kManyExported);
    WriteExportFileAndReport(TEXT(word_texts::kLearnFile), LearnFileBytes(LearnMarks()),
                             {.written = {written, written, written},
                              .cannotWrite = word_texts::kLearnNotWritten,
                              .title = THE_APP_NAME});
}

const RecordKind& WordsKind() {
    static const RecordKind kind{
        .id = "words",
        .table = kTable,
        .otherTables = {kLearnMarksTable},
        .name = {"Wörterbuch", "Dictionary", "Dicionário"},
        .picture = "img/woerter.bmp",
        .open = OPENFORM_WOERTER,
        .nameTemplate = "{DE} = {EN}",
        .searchFields = {"DE", "EN"},
        .searchRows = 50,
        .statistics = {{.status = {"[Wörter] wird aktualisiert", "Update [dictionary]",
                                   "[Dicionários] estão sendo atualizados"},
                        .suffix = {" [Wörter]", " [words]", " [Palavras]"}}}};
    return kind;
}
