// The searchable copy of one application's records, for the search over
// everything. For every record not marked deleted it keeps the fields a
// result shows (the fields of the record's name, the text and memo fields the
// catalogue names, each under the name the user gave it, and the dates in the
// date format in force) and their folded forms (search_folding.h) in one
// buffer, in which a word is found by a single byte search.
//
// It is read from the tables in steps of bounded time; each step opens the
// table and closes it again, so that between two steps every table is free
// for the windows. It remembers the state of the files it was read from (the
// size and time of change of the table, its memo file and the table of the
// user's names for fields) and the date format, and counts as out of date as
// soon as any of them changed, whoever changed it; it is then read anew.
// What it keeps costs about the records' text once shown and once folded,
// less than the table files, whose fields are padded to their width. A memo
// that cannot be read (its pointer beyond the memo file, say) is searched as
// empty and counted, so that the search can say so; the rest is read.
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
#include <string>
#include <vector>

class KindCorpus {
  public:
    explicit KindCorpus(const RecordKind& kind);

    const RecordKind& kind() const { return *kind_; }

    // Every record read, and the files still as they were read.
    bool UpToDate() const;

    // Reads on until every record is read or the deadline has passed; starts
    // over when the files changed since the reading began.
    enum class Reading {
        Done,        // every record is read
        MoreToRead,  // the deadline came first
        TableInUse,  // another holder has the table locked: nothing was read
    };
    Reading ReadOn(const QDeadlineTimer& deadline);

    struct Matches {
        int total = 0;             // the records holding every word
        std::vector<int> entries;  // the first of them (all, or as many as asked), in record order
    };
    // The records holding every word somewhere in their fields, in any order;
    // at most `keep` of them listed (all when negative). No words: none.
    Matches Find(const std::vector<FoldedWord>& words, int keep = -1) const;

    // What one entry of a match shows.
    int RecordNumber(int entry) const { return records_[entry]; }
    QString Name(int entry) const;
    // The first field holding one of the words, behind its name as the user
    // gave it or as the window captions it ("Hobbies: sailing"); the whole
    // record's text when no single field holds one.
    QString MatchingText(int entry, const std::vector<FoldedWord>& words) const;

    std::size_t size() const { return records_.size(); }
    // The memos of the records read that could not be read, kept as empty.
    int unreadableMemos() const { return unreadableMemos_; }
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

    std::vector<FileState> CurrentFiles() const;
    void StartReading();
    QStringList Values(int entry) const;

    const RecordKind* kind_;
    std::vector<ShownField> shown_;
    QStringList userCaptions_;
    std::vector<FileState> files_;  // as they were when the reading began
    QDateTime readSince_;           // when the reading began
    QString dateFormat_;
    bool reading_ = false;
    bool complete_ = false;
    std::uint32_t next_ = 1;  // the next record to read
    int unreadableMemos_ = 0;

    std::vector<int> records_;
    std::string shownText_;  // the values of each entry, '\x1f' between them
    std::vector<std::uint32_t> shownStart_;
    std::string folded_;  // each entry's folded text, '\n' after it
    std::vector<std::uint32_t> foldedStart_;
};
