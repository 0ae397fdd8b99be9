// The window a program built on SQLite would show for a word list: built from
// the same Qt widgets as a record window (a line edit per search, a result
// line, a list, the edit area's boxes filled from the chosen row, and, if
// asked, a progress bar stepped as our lookup steps it), with SQLite doing the
// searching: an indexed prefix count and the first 15 rows. The progress bar
// is the windows' own flat bar (the style's bar repaints at every step at a
// cost greater than the lookup); the list is Qt's table widget showing the
// fetched rows, as many rows as were fetched, as a record window's list shows
// its matches.
//
// The benchmarks type the same keys into it as into our window, through the
// same event path, so that the figure they print is what our store and our
// steps cost against this alternative, Qt's own work being paid by both.
#pragma once

#include <QString>

#include <memory>
#include <vector>

class QLineEdit;
struct sqlite3;

namespace bench {

// One search box: the SQL that counts the rows beginning with the prefix and
// the SQL that fetches the rows to list, every listed column first and then
// the rest of the edit area's. ?1 is the upper-cased prefix and ?2 (if the
// statement has it) the first key after every key beginning with it.
struct PeerSearch {
    QString countSql;
    QString pageSql;
};

struct PeerWindowShape {
    std::vector<PeerSearch> searches;
    int listedColumns = 1;        // of the page's columns, these are listed
    int boxes = 2;                // the edit area's boxes, one a page column
    bool searchAsYouType = true;  // false: a lookup runs when asked (a button)
    QString foundText = QStringLiteral("%1 gefunden");
    QString lookingUpText;           // shown while a lookup runs, if not empty
    std::vector<int> progressSteps;  // a progress bar stepped through these
};

class PeerWindow {
  public:
    PeerWindow(sqlite3* db, PeerWindowShape shape);
    ~PeerWindow();
    PeerWindow(const PeerWindow&) = delete;
    PeerWindow& operator=(const PeerWindow&) = delete;

    void show();
    QLineEdit* searchBox(int which = 0) const;
    void lookUp(int which);  // what the search's button does
    int lastCount() const;
    // What the event loop does after a key: paints what the key changed.
    void paintWhatChanged();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace bench
