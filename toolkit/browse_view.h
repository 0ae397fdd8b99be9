// The browse control: a read-only list of a table's visible records, bound by
// alias, one column per field.
//
// Selecting a row moves the table to that record first, then runs the change
// action. "refresh" re-reads the page around the selected (or the table's
// current) record, keeping its row on the page; setting the value selects a
// record number, re-reading the rows so that it stands about half a page from
// the top. Only the rows on and near the page are ever read. A double-click
// on a row or Enter runs the open action on the selected record; the context
// menu holds the entries the description gives.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "toolkit/browse_model.h"
#include "toolkit/focus_mark.h"
#include "toolkit/forms.h"

#include <QAction>
#include <QTableView>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kesp {

// The list shows the keyboard focus with a frame inside its border.
class BrowseView : public FocusMarkedList<QTableView> {
    Q_OBJECT
  public:
    BrowseView(const BrowseProperties& p, QWidget* parent);

    // The rows, with a refresh still due applied first.
    BrowseModel& rows();

    int value();  // record number of the selected row, 0 when none
    void setValue(int recordNumber);
    void refresh();

    // The rows a page holds, from the control's height.
    int pageRows() const;
    int selectedRow();  // -1 when none
    int topRow();       // the first row on the page

    // Selects a row as the user does (click), with synchronisation.
    void selectRowAsUser(int row);

    // Shows the row of `index`. Choosing a row (a click on any of its cells,
    // Up, Down, a search) never moves the columns sideways, so the first
    // ones stay in sight; only Left, Right, Home and End, which move between
    // the columns, bring the chosen column into view.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void whenRowChosen(const QModelIndex& current);
    void selectQuietly(int row);
    void showRowAt(int row, int pagePosition);
    void growUpward();
    void settle();  // reads the page a refresh left due
    int measurePageRows() const;

    BrowseModel model_;
    Action onChange_;
    Action onOpen_;
    bool quiet_ = false;  // selection changes made by the browse itself
    std::vector<std::pair<QAction*, std::function<bool()>>> menuStates_;
    bool inChangeAction_ = false;
    bool movingSideways_ = false;  // Left, Right, Home or End is being handled
    mutable int pageRows_ = 0;     // 0: not measured yet

    // A refresh not yet read: where its page starts is found when it is read,
    // so a refresh followed at once by a value (the usual pair) finds nothing.
    struct PendingPage {
        bool tableOpen;
        int from;        // the page starts here, or at the next visible record
        bool startOver;  // `from` is deleted: the page starts over from the top
        int pagePosition;
        int selectedRecord;
    };
    std::optional<PendingPage> pending_;
};

}  // namespace kesp
