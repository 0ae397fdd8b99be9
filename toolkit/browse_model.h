// The rows of a browse: a slice of a table's visible records, in the table's
// controlling order, read from the store's work area of one alias.
//
// The model never walks the table: it holds only the records around the page
// the browse shows and grows in either direction as the user scrolls (down
// through canFetchMore/fetchMore, up through fetchAbove). Cells are read when
// a row enters the slice and kept as text, so painting never moves the
// table's record pointer. Every read puts the record pointer and the current
// work area back where they were.
//
// Cells: character fields without trailing blanks, dates in the current date
// format, numbers formatted, logical values ".T." / ".F.", memo fields
// "<Memo>". A row's text colour, when the browse has a rule for it, is read
// with the row (Qt::ForegroundRole).
//
// A table another program cut short while it was open reads as no more rows;
// the windows that show it are let go of (cut_table.h).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <functional>
#include <vector>

namespace kesp {

class BrowseModel : public QAbstractTableModel {
  public:
    // `fields` are written "alias->field" or "field". `rowColour`, when
    // given, is asked on each row's record for the colour of its text.
    // `rowCells`, when given, turns the fields' texts of each row into the
    // texts it shows, asked likewise; a header beyond the fields is a column
    // of the texts it adds after theirs.
    BrowseModel(QString alias, QStringList fields, QStringList headers,
                std::function<QColor()> rowColour = {},
                std::function<QStringList(const QStringList&)> rowCells = {},
                QObject* parent = nullptr);

    const QString& alias() const { return alias_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    bool canFetchAbove() const;
    int fetchAbove();  // rows added at the top

    void setHeader(int column, const QString& caption);  // 0-based
    QString header(int column) const;

    int recordAt(int row) const;        // 0 when out of range
    int rowOf(int recordNumber) const;  // -1 when not in the slice

    // Sizes of the chunks read at a time: the rows of one page.
    void setPageRows(int rows) { pageRows_ = std::max(1, rows); }
    int pageRows() const { return pageRows_; }

    // ---- Table questions (pointer and work area put back) ----
    bool tableOpen() const;                  // a table is open under the alias
    int recordCount() const;                 // RECCOUNT of the table
    int currentRecord() const;               // RECNO of the table
    bool isVisible(int recordNumber) const;  // not deleted (when hidden), passes the filter

    // Where a refresh starts: `recordNumber` itself when visible; otherwise
    // the next visible record, or the top when `restartAtTop`. 0 at end-of-file.
    int visibleFrom(int recordNumber, bool restartAtTop) const;

    // ---- Filling ----
    void clear();
    // Re-reads the slice: up to `above` visible records before `recordNumber`,
    // the record, and those after it up to one page. Returns the rows above.
    int loadAround(int recordNumber, int above);
    // The slice from the top / bottom of the table.
    void loadTop();
    void loadBottom();

  private:
    struct Row {
        int recordNumber;
        QStringList cells;
        QColor colour;  // invalid: the list's own
    };
    template <class Read>
    auto inTable(Read read) const;
    Row readCurrentRow() const;
    void replaceRows(std::vector<Row> fresh);

    QString alias_;
    QStringList fields_;
    QStringList headers_;
    std::function<QColor()> rowColour_;
    std::function<QStringList(const QStringList&)> rowCells_;
    std::vector<Row> rows_;
    bool reachedTop_ = true;
    bool reachedBottom_ = true;
    int pageRows_ = 10;
    bool changing_ = false;
};

}  // namespace kesp
