// The searchable copy of one application's records, for the search over
// everything. For every record not marked deleted it keeps the folded forms
// (search_folding.h) of the fields a search looks at (the text and memo
// fields the catalogue names, each behind the name the user gave it, and the
// dates in the date format in force), in which a word is found by a single
// byte search. What a result shows (the record's name, the field holding the
// words) is read back from the table for the few results on the screen, so
// the copy keeps no second, shown form of the text.
//
// The copy is kept in parts of consecutive records, each with a hash of its
// records' bytes (and of their memos when the memo file changed). It is read
// from the tables in steps of bounded time; each step opens the table and
// closes it again, so that between two steps every table is free for the
// windows. It remembers the state of the files it was read from (the size
// and time of change of the table, its memo file and the table of the user's
// names for fields) and the date format, and counts as out of date as soon
// as any of them changed, whoever changed it. It then compares each part's
// hash with the table and reads again only the parts that differ, so a
// record saved costs its part, not the table; a new date format or new
// names for the fields read it all again. A memo that cannot be read (its
// pointer beyond the memo file, say) is searched as empty and counted, so
// that the search can say so; the rest is read.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/search_folding.h"
#include "shell/record_kinds.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kesp::store {
class DbfTable;
}

class KindCorpus {
  public:
    explicit KindCorpus(const RecordKind& kind);

    const RecordKind& kind() const { return *kind_; }

    // Every record read, and the files still as they were read.
    bool UpToDate() const;

    // Reads on until every part is compared with the table (and read again
    // where it differs) or the deadline has passed, one part at least;
    // starts over when the files change meanwhile.
    enum class Reading {
        Done,        // every record is read
        MoreToRead,  // the deadline came first
        TableInUse,  // another holder has the table locked: nothing was read
    };
    Reading ReadOn(const QDeadlineTimer& deadline);

    struct Matches {
        int total = 0;                       // the records holding every word
        std::vector<std::uint32_t> records;  // the first of them (all, or as many as
                                             // asked), in record order
    };
    // A search through the copy that stops at a deadline and goes on from
    // there; the copy must not be read meanwhile.
    struct Finding {
        Matches matches;
        std::size_t nextPart = 0;
    };
    // Searches on for the records holding every word somewhere in their
    // fields, in any order, listing at most `keep` of them (all when
    // negative); true once every part is searched. No words: none.
    bool FindOn(const std::vector<FoldedWord>& words, int keep, Finding& finding,
                const QDeadlineTimer& deadline) const;
    // The same at once.
    Matches Find(const std::vector<FoldedWord>& words, int keep = -1) const;

    // What a result shows: the record's name, and the first field holding
    // one of the words behind its name as the user gave it or as the window
    // captions it ("Hobbies: sailing"), the whole record's text when no
    // single field holds one.
    struct Shown {
        QString name;
        QString text;
    };
    // The records read back from the table, opened once; nothing for each
    // when the table cannot be opened now (a window holds it) or no longer
    // has the record.
    std::vector<std::optional<Shown>> Show(const std::vector<std::uint32_t>& records,
                                           const std::vector<FoldedWord>& words) const;

    std::size_t size() const;
    // The memos of the records read that could not be read, kept as empty.
    int unreadableMemos() const;
    std::size_t bytesKept() const;

  private:
    struct FileState {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileState&) const = default;
    };
    struct ShownField {
        QString name;
        QString caption;  // the user's name for it; empty: none
        bool searched = false;
    };
    // The records [first, first + count) of the table.
    struct Part {
        std::uint32_t first = 1;
        std::uint32_t count = 0;
        std::uint64_t recordHash = 0;
        std::uint64_t memoHash = 0;
        int unreadableMemos = 0;
        std::vector<std::uint32_t> records;  // the live ones
        std::vector<std::uint32_t> starts;   // where each one's folded text begins
        std::string folded;                  // each record's folded text, '\n' after it
    };

    std::vector<FileState> CurrentFiles() const;
    bool Settled(const std::vector<FileState>& files) const;
    void StartPass();
    void ReadCaptions();
    void ReadPart(const kesp::store::DbfTable& table, Part& part) const;
    QString Name(const QStringList& values) const;
    QString MatchingText(const QStringList& values, const std::vector<FoldedWord>& words) const;
    std::uint64_t MemoHash(const kesp::store::DbfTable& table, const Part& part) const;
    std::vector<int> Columns(const kesp::store::DbfTable& table) const;

    const RecordKind* kind_;
    std::vector<ShownField> shown_;
    QStringList userCaptions_;
    std::vector<Part> parts_;

    // The pass comparing the parts with the table.
    std::vector<FileState> files_;  // as they were when the pass began
    QDateTime readSince_;           // when the pass began
    QString dateFormat_;            // of the parts kept
    bool passing_ = false;
    bool complete_ = false;
    bool memosMayDiffer_ = true;  // the memo file changed since the parts were hashed
    std::size_t nextPart_ = 0;
};
