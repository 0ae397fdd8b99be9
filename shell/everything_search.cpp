#include "shell/everything_search.h"

#include "kernel/texts.h"

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

std::optional<EverythingSearch::GroupBeingFound> EverythingSearch::groupBeingFound() const {
    if (!finding_ || Done()) return std::nullopt;
    return GroupBeingFound{&SearchCorpora()[next_], &finding_->matches};
}

bool EverythingSearch::Step(const QDeadlineTimer& deadline) {
    while (!Done() && !deadline.hasExpired()) {
        KindCorpus& corpus = SearchCorpora()[next_];
        if (!finding_) {
            const KindCorpus::Reading reading = corpus.ReadOn(deadline);
            if (reading == KindCorpus::Reading::MoreToRead) return false;
            if (reading != KindCorpus::Reading::Done) {
                // A table a window holds open is left out of this search.
                ++next_;
                continue;
            }
            finding_.emplace();
        }
        if (!corpus.FindOn(words_, corpus.kind().searchRows, *finding_, deadline)) return false;
        KindCorpus::Matches matches = std::move(finding_->matches);
        finding_.reset();
        ++next_;
        if (corpus.unreadableMemos() > 0) unreadable_.push_back(&corpus);
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

QString UnreadableMemosText(const KindCorpus& corpus) {
    return TEXT({"Einige Notizen in %1 (%2) können nicht gelesen werden; sie wurden nicht "
                 "durchsucht.",
                 "Some notes in %1 (%2) cannot be read; they were not searched.",
                 "Algumas notas em %1 (%2) não podem ser lidas; elas não foram pesquisadas."})
        .arg(KindName(corpus.kind()), corpus.kind().table);
}

std::vector<SearchGroup> SearchEverything(const QString& typed, QStringList* unreadable) {
    EverythingSearch search(typed);
    while (!search.Step(QDeadlineTimer(QDeadlineTimer::Forever))) {
    }
    if (unreadable) {
        for (const KindCorpus* corpus : search.unreadable())
            unreadable->append(UnreadableMemosText(*corpus));
    }
    return search.groups();
}
