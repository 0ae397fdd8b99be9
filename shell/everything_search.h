// The search over everything: the words typed are looked for in the records
// of every application that keeps its own (the catalogue's order, which is
// the main window's), each record holding every word somewhere in its fields.
//
// A search goes on in steps of bounded time, so that typing never waits for
// it: each step reads on in the searchable copy of the application at hand
// (search_corpus.h) or searches on in it, and every application searched is
// a group of results at once, before the next one is read; the group being
// searched shows what it found so far. A search that is
// no longer wanted is simply dropped; what it read stays for the next one.
// An application whose table holds memos that cannot be read is searched
// without them and named once per search, so that the rest is still found.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/search_folding.h"
#include "shell/record_kinds.h"
#include "shell/search_corpus.h"

#include <QDeadlineTimer>
#include <QString>

#include <optional>
#include <vector>

// The searchable copies of every application that keeps records of its own,
// kept for the whole run and read anew as their tables change.
std::vector<KindCorpus>& SearchCorpora();

struct SearchGroup {
    const KindCorpus* corpus;
    KindCorpus::Matches matches;
};

class EverythingSearch {
  public:
    explicit EverythingSearch(const QString& typed);

    // Works on until the deadline, or until an application's group of
    // results is found, so that it shows before the next one is searched;
    // true when every application is searched.
    bool Step(const QDeadlineTimer& deadline);
    bool Done() const;

    // The applications searched so far that hold a match, in their order.
    const std::vector<SearchGroup>& groups() const { return groups_; }
    // The application being searched and the matches found in it so far
    // (its records listed so far are the first of its group, in the same
    // order); nothing between applications.
    struct GroupBeingFound {
        const KindCorpus* corpus;
        const KindCorpus::Matches* matches;
    };
    std::optional<GroupBeingFound> groupBeingFound() const;
    const std::vector<FoldedWord>& words() const { return words_; }
    // The applications searched so far with memos that could not be read.
    const std::vector<const KindCorpus*>& unreadable() const { return unreadable_; }

  private:
    std::vector<FoldedWord> words_;
    std::size_t next_ = 0;                        // the corpus searched next
    std::optional<KindCorpus::Finding> finding_;  // how far it is searched
    std::vector<SearchGroup> groups_;
    std::vector<const KindCorpus*> unreadable_;
};

// "Some notes in Notes (notiz.dbf) cannot be read; they were not searched."
// in THE_LANG.
QString UnreadableMemosText(const KindCorpus& corpus);

// Reads on in the searchable copies until the deadline, so that a search
// begun later finds them ready; true when every copy is up to date.
bool ReadCorporaOn(const QDeadlineTimer& deadline);

// The whole search at once, for the command line; `unreadable`, when given,
// receives the text naming each application with memos that cannot be read.
std::vector<SearchGroup> SearchEverything(const QString& typed, QStringList* unreadable = nullptr);
