// The list of the window "Coming up": the days ahead under their day
// headings, held as a model over the entries, so that filling it with
// thousands of entries builds no item, font or colour for each; a row's text
// is put together when the view asks for it.
//
// Promises:
// - A heading heads each day (all overdue entries under one), bold, on the
//   headings' light blue, red over overdue entries; it cannot be chosen.
//   Overdue entries are red and show their due day. Every entry can be
//   chosen; its text is its screen reader's name.
// - Without entries a single row says so, or that they are being read.
// - Enter on a chosen entry activates it (QAbstractItemView::activated) and
//   goes no further.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "shell/coming_up.h"

#include <QAbstractListModel>
#include <QDate>
#include <QFont>
#include <QHash>
#include <QListView>

#include <vector>

class ComingUpModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    // The entries as ComingUp gives them, `today` naming the headings.
    void Show(std::vector<ComingUpEntry> entries, const QDate& today, const QFont& font);
    // No entries, one row of `text` instead.
    void ShowOnly(const QString& text);

    // The entry of a row; nullptr for a heading or the row without entries.
    const ComingUpEntry* EntryAt(int row) const;
    // The first row that can be chosen, -1 when none.
    int FirstEntryRow() const;
    bool holdsEntries() const { return !entries_.empty(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    struct Row {
        int entry;  // in entries_; -1: the row without entries
        bool heading;
    };
    QString TextOf(const Row& row) const;

    std::vector<ComingUpEntry> entries_;
    std::vector<Row> rows_;
    QDate today_;
    QFont bold_;
    QHash<const RecordKind*, QString> kindNames_;  // looked up once a fill
    QString only_;
};

// Enter opens the entry; the toolkit's window closes on Escape itself.
class ComingUpList : public QListView {
  public:
    explicit ComingUpList(QWidget* parent);
    ComingUpModel* entries() const { return model_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ComingUpModel* model_;
};
