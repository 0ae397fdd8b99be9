#include "apps/words/word_lookup.h"

#include "apps/common/field_rows.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_steps.h"
#include "apps/common/search_colours.h"
#include "apps/words/word_list_frames.h"
#include "apps/words/word_list_progress.h"
#include "apps/words/word_list_texts.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

#include <QColor>

namespace {

constexpr char kWindow[] = "woerter_frm";

const WordLookup* narrowing = nullptr;
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
