// The index of the dictionary by headword (headwords.h), for lookups from
// outside the word list window and for "Did you mean" suggestions. It is
// kept beside the table as a side file, "de_en.wix", made from the table as
// it was then and used only while the table is unchanged (its size and time
// of change as noted in the file); otherwise it is built anew from the table.
//
// The side file holds, all in one piece that is mapped into memory and read
// in place:
// - the headwords' keys in byte order, each with the pairs that have it
//   (record number and side), so that a word is found by a binary search;
// - each pair's two sides as text, so that a lookup never opens the table
//   (which the word list window holds while it is open);
// - for each trigram of a key of up to 24 bytes (the key between two
//   boundary marks), the keys holding it, as gaps between key numbers in
//   7-bit groups, and for each key the sides it is a headword of.
// A suggestion counts, for each key, the trigrams it shares with the typed
// word, and measures the edit distance (insertions, deletions, changes and
// swaps of neighbours) only for the keys that share enough of them to lie
// within reach: one edit for words of up to four letters, two beyond.
//
// A lookup reads the few bytes it needs of the file; the first suggestion
// reads the keys, their sides and the trigrams' lists whole and keeps them
// (some 27 MB for the installed dictionary, less than its table), never the
// pairs' texts.
//
// All calls come from the event loop, except that an index may be built from
// records taken (TakeRecords) on a thread of its own (dictionary_index_build.h).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace kesp::store {
class DbfTable;
}

class WordIndex {
  public:
    enum Sides : unsigned { kGerman = 1, kEnglish = 2, kBothSides = 3 };

    struct Pair {
        int record = 0;
        QString german;
        QString english;
    };

    // The side file beside `tablePath` when it was made from the table as it
    // is now (or at any time, when `evenIfChanged`); nullptr otherwise (no
    // file, another table, a damaged file).
    static std::unique_ptr<WordIndex> Open(const QString& tablePath, bool evenIfChanged = false);
    // Built from the table; nullptr when another holder has the table locked.
    // A missing or damaged table is a fault of the store.
    static std::unique_ptr<WordIndex> Build(const QString& tablePath);
    // Open, or else Build.
    static std::unique_ptr<WordIndex> OpenOrBuild(const QString& tablePath);

    // A dictionary table's records as they are at one moment: a copy of their
    // bytes, quick to take, from which the index is built without the table.
    struct Records {
        QString tablePath;
        std::int64_t tableSize = 0;
        std::int64_t tableModified = 0;  // milliseconds since 1970
        std::uint32_t count = 0;
        int recordLength = 0;
        int germanOffset = -1, germanLength = 0;  // -1: the table has no such field
        int englishOffset = -1, englishLength = 0;
        QByteArray bytes;           // count * recordLength
        std::vector<bool> deleted;  // one per record
    };
    static Records TakeRecords(const kesp::store::DbfTable& table);
    // The index of those records; Build(path) is Build(TakeRecords(table)).
    static std::unique_ptr<WordIndex> Build(const Records& records);

    // Writes the side file whole, or leaves the one before (false, the
    // reason in `reason` when given).
    bool Save(QString* reason = nullptr) const;
    static QString SideFilePath(const QString& tablePath);

    // The table is still as the index was made from it.
    bool Current() const;

    // The pairs with a headword whose key is `key` (TypedKey) on the sides
    // asked, in record order, each once.
    std::vector<int> PairsWithKey(const QByteArray& key, unsigned sides = kBothSides) const;
    Pair PairOf(int record) const;

    // The headwords nearest to `typed` by edit distance over the keys of the
    // sides asked, nearest first (then those of more pairs first), each as the
    // dictionary writes it, at most `most`; a headword that folds to `typed`
    // itself ("Straße" for "strasse") comes first.
    QStringList Closest(const QString& typed, unsigned sides = kBothSides, int most = 10) const;

    // A headword with this key as the dictionary writes it ("Straße" for
    // "strasse"); the key itself when there is none.
    QString Written(const QByteArray& key) const;

    int keyCount() const;
    std::size_t bytes() const { return size_; }

  private:
    friend const WordIndex* DictionaryIndex(const QString& tablePath, bool save);
    friend const WordIndex* CurrentDictionaryIndex(const QString& tablePath);
    friend void KeepDictionaryIndex(std::unique_ptr<WordIndex> index);
    struct Header;
    WordIndex() = default;
    const Header& header() const;
    // Bytes of the index: of the file, read when asked, or of the index built.
    QByteArray Bytes(std::uint64_t offset, std::uint64_t length) const;
    std::uint32_t U32(std::uint64_t part, std::uint32_t i) const;
    // A part [part, end) whole: read once and kept.
    const char* Whole(std::uint64_t part, std::uint64_t end) const;
    QByteArray Key(std::uint32_t id) const;
    int FindKey(const QByteArray& key) const;  // -1 when absent
    QString Shown(std::uint32_t id) const;

    QString tablePath_;
    QByteArray built_;             // the index built in memory, or
    std::unique_ptr<QFile> file_;  // the side file
    QByteArray header_;
    mutable std::map<std::uint64_t, QByteArray> parts_;  // of the file, read whole
    std::size_t size_ = 0;
};

// The index of the dictionary at `tablePath` for the rest of the run: the
// side file when it is current, else built from the table and, when `save`
// (a copy of the program that holds the data folder), written as the side
// file. While another holder has the table (the word list open), the index
// of its last state: the one kept, or the side file however old; nullptr
// when there is none.
const WordIndex* DictionaryIndex(const QString& tablePath, bool save);
// The index kept or the side file, when made from the table as it is now;
// nullptr otherwise. Never builds.
const WordIndex* CurrentDictionaryIndex(const QString& tablePath);
// An index built elsewhere (on a worker) kept for the rest of the run, unless
// the one kept is current.
void KeepDictionaryIndex(std::unique_ptr<WordIndex> index);
