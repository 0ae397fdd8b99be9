#include "apps/words/word_lookup.h"

#include "apps/common/field_rows.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_steps.h"
#include "apps/common/search_colours.h"
#include "apps/words/dictionary_index_build.h"
#include "apps/words/word_index.h"
#include "apps/words/word_list_frames.h"
#include "apps/words/word_list_operations.h"
#include "apps/words/word_list_progress.h"
#include "apps/words/word_list_texts.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QColor>
#include <QPointer>
#include <QTimer>

namespace {

constexpr char kWindow[] = "woerter_frm";
constexpr char kTable[] = "de_en.dbf";

const WordLookup* narrowing = nullptr;
const WordLookup* suggested = nullptr;  // the lookup the suggestions shown are for
const WordLookup* ordering = nullptr;
bool bothIndexesOpen = false;
int lookups = 0;  // counts them, so that an answer that comes late knows its lookup

// While the index of headwords is still being built, a moment passes before
// the place of the suggestions says so.
constexpr int kComingShownAfterMs = 200;

// The pairs whose word begins with CPESQ: under the lookup's own index the
// store walks their key range alone; under the other the condition decides.
void InstallFilter(const WordLookup& lookup, bool ownIndexControls) {
    InstallSearchFilter("eng1", lookup.index, ownIndexControls);
}

// The nearest headwords of the lookup's side to `typed`. While the index is
// being built they follow once it is there, unless another lookup came first.
void OfferSuggestions(const WordLookup& lookup, const QString& typed) {
    suggested = nullptr;
    if (DictionaryIndexComing()) {
        ShowSuggestions({});
        const int asked = lookups;
        // A window closed meanwhile may linger a moment before it goes.
        const QPointer<QObject> window = kesp::FormWindowNamed(kWindow);
        const auto current = [asked, window] {
            return asked == lookups && window && kesp::FindFormWindow(kWindow) == window;
        };
        QTimer::singleShot(kComingShownAfterMs, window, [current] {
            if (current() && DictionaryIndexComing()) ShowSuggestionsComing();
        });
        WhenDictionaryIndexReady(window, [&lookup, typed, current] {
            if (current()) kesp::RunAction([&lookup, typed] { OfferSuggestions(lookup, typed); });
        });
        return;
    }
    QStringList suggestions;
    if (const WordIndex* index = DictionaryIndex(THE_DATA_PATH + kTable, true))
        suggestions = index->Closest(
            typed, &lookup == &GermanLookup() ? WordIndex::kGerman : WordIndex::kEnglish);
    if (!suggestions.isEmpty()) suggested = &lookup;
    ShowSuggestions(suggestions);
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
    ++lookups;
    if (!found && !CPESQ.isEmpty())
        OfferSuggestions(lookup, TrimmedValue(kWindow, lookup.box));
    else
        ShowSuggestions({});

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
