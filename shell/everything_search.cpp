#include "shell/everything_search.h"

std::vector<KindCorpus>& SearchCorpora() {
    static std::vector<KindCorpus> corpora = [] {
        std::vector<KindCorpus> all;
        for (const RecordKind& kind : RecordKinds())
            if (kind.viewOf.isEmpty() && !kind.searchFields.isEmpty()) all.emplace_back(kind);
        return all;
    }();
    return corpora;
}

EverythingSearch::EverythingSearch(const QString& typed) : words_(FoldedWords(typed)) {
    if (words_.empty()) next_ = SearchCorpora().size();
}

bool EverythingSearch::Done() const {
    return next_ >= SearchCorpora().size();
}

bool EverythingSearch::Step(const QDeadlineTimer& deadline) {
    while (!Done() && !deadline.hasExpired()) {
        KindCorpus& corpus = SearchCorpora()[next_];
        const KindCorpus::Reading reading = corpus.ReadOn(deadline);
        if (reading == KindCorpus::Reading::MoreToRead) return false;
        // A table a window holds open is left out of this search.
        ++next_;
        if (reading != KindCorpus::Reading::Done) continue;
        KindCorpus::Matches matches = corpus.Find(words_, corpus.kind().searchRows);
        if (matches.total == 0) continue;
        groups_.push_back({&corpus, std::move(matches)});
        // A group found is shown before the next application is searched.
        return Done();
    }
    return Done();
}

bool ReadCorporaOn(const QDeadlineTimer& deadline) {
    for (KindCorpus& corpus : SearchCorpora()) {
        if (deadline.hasExpired()) return false;
        if (corpus.ReadOn(deadline) == KindCorpus::Reading::MoreToRead) return false;
    }
    return true;
}

std::vector<SearchGroup> SearchEverything(const QString& typed) {
    EverythingSearch search(typed);
    while (!search.Step(QDeadlineTimer(QDeadlineTimer::Forever))) {
    }
    return search.groups();
}
