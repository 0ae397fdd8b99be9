#include "apps/words/word_lookup.h"

#include "apps/common/field_rows.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_steps.h"
#include "apps/common/search_colours.h"
#include "apps/words/word_index.h"
#include "apps/words/word_list_frames.h"
#include "apps/words/word_list_operations.h"
#include "apps/words/word_list_progress.h"
#include "apps/words/word_list_texts.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QColor>

namespace {

constexpr char kWindow[] = "woerter_frm";
constexpr char kTable[] = "de_en.dbf";

const WordLookup* narrowing = nullptr;
const WordLookup* suggested = nullptr;  // the lookup the suggestions shown are for
const WordLookup* ordering = nullptr;
bool bothIndexesOpen = false;

// The pairs whose word begins with CPESQ: under the lookup's own index the
// store walks their key range alone; under the other the condition decides.
void InstallFilter(const WordLookup& lookup, bool ownIndexControls) {
    InstallSearchFilter("eng1", lookup.index, ownIndexControls);
}

}  // namespace

const WordLookup& GermanLookup() {
    static const WordLookup lookup{"Text_12", "Text_13", kGermanIndex};
    return lookup;
}

const WordLookup& EnglishLookup() {
    static const WordLookup lookup{"Text_13", "Text_12", kEnglishIndex};
    return lookup;
}

void LookUpWords(const WordLookup& lookup) {
    BeginWordListWork();
    SETPROPERTY(kWindow, lookup.otherBox, "value", QString());
    SETPROPERTY(kWindow, lookup.otherBox, "backcolor", kNoSearch);
    ShowWordListStatus(TEXT(word_texts::kLookingUp));
    ShowWordListProgress(0);
    CPESQ = UPPER(TrimmedValue(kWindow, lookup.box));

    DBSELECTAREA("eng1");
    DBCLEARFILTER();
    narrowing = nullptr;
    UseOnlyIndexOf(lookup);
    ShowWordListProgress(30);

    DBSEEK(CPESQ, true);
    ShowWordListProgress(40);
    const bool found = FOUND();
    int pairs = 0;
    if (found) {
        InstallFilter(lookup, true);
        narrowing = &lookup;
        pairs = CountPresentedRecords();
        DBGOTOP();
    }
    // Not found: every pair stays listed, and the pointer stays where the
    // seek stopped, on the first word after the text (or at the end).
    ShowWordListProgress(60);

    ShowWordListProgress(80);
    DOMETHOD(kWindow, "Browse_2", "refresh");
    SETPROPERTY(kWindow, "Browse_2", "value", RECNO());
    ShowWordListProgress(100);
    ShowFoundWords(pairs);

    // Nothing begins so: the nearest headwords of the lookup's side instead.
    QStringList suggestions;
    if (!found && !CPESQ.isEmpty()) {
        if (const WordIndex* index = DictionaryIndex(THE_DATA_PATH + kTable, true))
            suggestions = index->Closest(
                TrimmedValue(kWindow, lookup.box),
                &lookup == &GermanLookup() ? WordIndex::kGerman : WordIndex::kEnglish);
    }
    suggested = suggestions.isEmpty() ? nullptr : &lookup;
    ShowSuggestions(suggestions);

    const QColor colour = CPESQ.isEmpty() ? kNoSearch : found ? kSearchHit : kSearchMiss;
    SETPROPERTY(kWindow, lookup.box, "backcolor", colour);
    EndWordListWork();
}

const WordLookup* NarrowingLookup() {
    return narrowing;
}

void ForgetNarrowingLookup() {
    narrowing = nullptr;
}

void UseOnlyIndexOf(const WordLookup& lookup) {
    MakeOnlyOrder(lookup.index.file);
    ordering = &lookup;
    bothIndexesOpen = false;
}

void KeepBothIndexesCurrent() {
    if (bothIndexesOpen || !ordering) return;
    const WordLookup& other = ordering == &GermanLookup() ? EnglishLookup() : GermanLookup();
    ORDLISTADD(other.index.file);  // the list keeps its order: the first index controls
    bothIndexesOpen = true;
}

void RenewNarrowingFilter() {
    if (!narrowing) return;
    InstallFilter(*narrowing, narrowing == ordering);
}

void SUGGESTION_WOERTER() {
    KESP_OPERATION();
    const int chosen = GETPROPERTY(kWindow, "List_1", "value").toInt();
    if (!suggested || chosen < 1) return;
    const WordLookup& lookup = *suggested;
    SETPROPERTY(kWindow, lookup.box, "value", GETPROPERTY(kWindow, "List_1", "item", chosen));
    LookUpWords(lookup);
    DOMETHOD(kWindow, "Browse_2", "SetFocus");
}
