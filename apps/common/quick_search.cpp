#include "apps/common/quick_search.h"

#include "apps/common/record_steps.h"
#include "apps/common/search_colours.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/fault_handler.h"

#include <QColor>

namespace {

// The filter of a search over one index: a record passes when its key in
// that index begins with CPESQ, which is what the key range of CPESQ holds.
// A date kept in calendar order is compared as its text instead, which no
// key range of that order holds: the filter alone decides.
struct SearchFilter {
    Condition condition;
    QString text;            // "UPPER(adressen_p->vorname) = cPesq"
    bool byKeyRange = true;  // the typed text begins the keys of the matches
};

// A date kept in calendar order is the one search no key range holds.
bool ByKeyRange(const IndexFile& index) {
    return index.form != KeyForm::DateValue;
}

SearchFilter FormFilter(const QString& alias, const IndexFile& index) {
    const QString field = alias + "->" + index.field;
    const QString text = KeyText({index.file, index.form, field}) + " = cPesq";
    const auto dateText = [field] { return EQ(DTOC(FIELD(field).toDate()), CPESQ); };
    switch (index.form) {
        case KeyForm::Upper:
            return {[field] { return EQ(UPPER(FIELD(field)), CPESQ); }, text};
        case KeyForm::DateText:
            return {dateText, text};
        case KeyForm::DateValue:
            return {dateText, KeyText({index.file, KeyForm::DateText, field}) + " = cPesq",
                    ByKeyRange(index)};
        case KeyForm::Field:
            return {[field] { return EQ(FIELD(field).toString(), CPESQ); }, text};
        case KeyForm::Descending:
        case KeyForm::Expression:
            break;
    }
    kesp::RaiseFormsFault("The index " + index.file + " cannot be searched by a typed text");
}

QString SeekKey(const IndexFile& index, const QString& typed) {
    const QString trimmed = TrimBlanks(typed);
    return index.form == KeyForm::Upper ? UPPER(trimmed) : trimmed;
}

void RefreshList(const RecordWindow& record) {
    DOMETHOD(record.window, record.list.name, "refresh");
    SETPROPERTY(record.window, record.list.name, "value", RECNO());
}

}  // namespace

void InstallSearchFilter(const QString& alias, const IndexFile& index, bool indexControls) {
    const SearchFilter filter = FormFilter(alias, index);
    if (filter.byKeyRange && indexControls)
        DBSETFILTER(
            filter.condition, filter.text, [] { return CPESQ; }, KeyRange::Decides);
    else
        DBSETFILTER(filter.condition, filter.text);
}

const Search& SearchOf(const RecordWindow& record, const QString& box) {
    for (const Search& search : record.searches)
        if (search.box.compare(box, Qt::CaseInsensitive) == 0) return search;
    kesp::RaiseFormsFault("No quick search in box " + box);
}

SearchResult NarrowToSearch(const RecordWindow& record, const Search& search,
                            const QString& typed) {
    const IndexFile& index = IndexNamed(record.indexes, search.index);
    const bool byKeyRange = ByKeyRange(index);
    DBSELECTAREA(ShownWorkArea(record));
    DBCLEARFILTER();
    // Every keystroke after the first finds the search's order already the
    // one the list runs in, built over the table as it is: opening it again
    // would only read its file again. A date-text order is opened again, as
    // its keys follow the date format in force.
    if (INDEXKEY() != KeyText(index) || index.form == KeyForm::DateText) MakeOnlyOrder(index.file);
    CPESQ = SeekKey(index, typed);
    if (byKeyRange) {
        DBSEEK(CPESQ, true);
        if (!FOUND()) {
            DBCLEARFILTER();
            return {};
        }
        InstallSearchFilter(record.alias, index, true);
    } else {
        InstallSearchFilter(record.alias, index, true);
        DBGOTOP();
        if (DBEOF()) {
            // No match: every record again, from the first in the order.
            DBCLEARFILTER();
            DBGOTOP();
            return {};
        }
    }
    const int matches = CountPresentedRecords();
    DBGOTOP();
    return {true, matches};
}

void QuickSearchRecords(const RecordWindow& record, const Search& search) {
    const ResultLine& line = record.resultLine;
    const SearchResult result =
        NarrowToSearch(record, search, GETPROPERTY(record.window, search.box, "value").toString());
    // The result line and the box are set once each, to what they show when
    // the keystroke returns: nothing is painted in between.
    SETPROPERTY(record.window, line.name, "value",
                result.found ? QString::number(result.matches) + TEXT(line.found)
                : line.miss  ? TEXT(*line.miss)
                             : "0" + TEXT(line.found));
    SETPROPERTY(record.window, search.box, "backcolor",
                CPESQ.isEmpty() ? kNoSearch
                : result.found  ? kSearchHit
                                : kSearchMiss);
    if (!result.found && DBEOF()) {
        // Nothing at or after the typed key: the fields show no record, yet
        // the list keeps listing every record rather than emptying.
        DOMETHOD(record.window, record.list.name, "refresh");
        record.actions.fill();
        return;
    }
    RefreshList(record);
}

void QuickSearchRecords(const RecordWindow& record, const QString& box) {
    QuickSearchRecords(record, SearchOf(record, box));
}

void ClearQuickSearch(const RecordWindow& record) {
    bool cleared = false;
    for (const Search& search : record.searches) {
        if (GETPROPERTY(record.window, search.box, "value").toString().isEmpty()) continue;
        SETPROPERTY(record.window, search.box, "value", QString());  // its empty search runs
        cleared = true;
    }
    if (cleared)
        SETPROPERTY(record.window, record.resultLine.name, "value", TEXT(record.resultLine.hint));
}

void ShowOnlyRecords(const RecordWindow& record, const Condition& condition, const QString& text) {
    DBSELECTAREA(ShownWorkArea(record));
    MakeOnlyOrder(record.normalOrder);
    DBCLEARFILTER();
    DBSETFILTER(condition, text);
    SETPROPERTY(record.window, record.resultLine.name, "value", " ");
    const int matches = CountPresentedRecords();
    DBGOTOP();
    SETPROPERTY(record.window, record.resultLine.name, "value",
                QString::number(matches) + TEXT(record.resultLine.found));
    RefreshList(record);
}
