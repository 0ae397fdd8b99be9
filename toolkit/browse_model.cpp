#include "toolkit/browse_model.h"

#include "store/fault.h"
#include "store/xbase.h"
#include "toolkit/beside_the_loop.h"
#include "toolkit/browse_cells.h"
#include "toolkit/cut_table.h"

#include <algorithm>
#include <exception>

namespace kesp {

BrowseModel::BrowseModel(QString alias, QStringList fields, QStringList headers,
                         std::function<QColor()> rowColour,
                         std::function<QStringList(const QStringList&)> rowCells, QObject* parent)
    : QAbstractTableModel(parent),
      alias_(std::move(alias)),
      headers_(std::move(headers)),
      rowColour_(std::move(rowColour)),
      rowCells_(std::move(rowCells)) {
    // Rows are read inside the browse's own work area, so "alias->field"
    // is read as the plain field name.
    for (const QString& field : fields) {
        const qsizetype arrow = field.indexOf(QLatin1String("->"));
        fields_ << (arrow < 0 ? field : field.mid(arrow + 2));
    }
    while (headers_.size() < fields_.size())
        headers_ << QString();
}

// Runs `read` in the browse's work area and puts the record pointer and the
// current work area back afterwards. A table cut short under the program
// reads as nothing more, and its windows are let go of (cut_table.h).
template <class Read>
auto BrowseModel::inTable(Read read) const {
    const CutTableScope scope;
    try {
        return INAREA(alias_, [&] {
            struct PutBack {
                int record;
                int unwinding = std::uncaught_exceptions();
                // Not on the way out of a fault: the table is let go of then.
                ~PutBack() noexcept(false) {
                    if (std::uncaught_exceptions() == unwinding) DBGOTO(record);
                }
            } putBack{RECNO()};
            return read();
        });
    } catch (const FaultException& fault) {
        if (!fault.fault().cutWhileOpen) throw;
        LetGoOfCutTable(fault.fault());
        return decltype(read()){};
    }
}

int BrowseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BrowseModel::columnCount(const QModelIndex& parent) const {
    // A header after the fields' is a column of texts `rowCells` adds.
    return parent.isValid() ? 0 : static_cast<int>(std::max(fields_.size(), headers_.size()));
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) return row.cells.value(index.column());
    if (role == Qt::ForegroundRole && row.colour.isValid()) return row.colour;
    return {};
}

QVariant BrowseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return headers_.value(section);
    return {};
}

bool BrowseModel::canFetchMore(const QModelIndex& parent) const {
    // Views ask for more while they take in a change; the slice grows after it.
    return !parent.isValid() && !reachedBottom_ && !rows_.empty() && !changing_ &&
           !InsideATurn();  // the table may be inside a store operation
}

void BrowseModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    std::vector<Row> more;
    inTable([&] {
        DBGOTO(rows_.back().recordNumber);
        while (static_cast<int>(more.size()) < pageRows_) {
            DBSKIP(1);
            if (DBEOF()) {
                reachedBottom_ = true;
                break;
            }
            more.push_back(readCurrentRow());
        }
        return 0;
    });
    if (more.empty()) return;
    const int first = rowCount();
    changing_ = true;
    beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(more.begin()),
                 std::make_move_iterator(more.end()));
    endInsertRows();
    changing_ = false;
}

bool BrowseModel::canFetchAbove() const {
    return !reachedTop_ && !rows_.empty();
}

int BrowseModel::fetchAbove() {
    if (!canFetchAbove()) return 0;
    std::vector<Row> more;  // nearest first
    inTable([&] {
        DBGOTO(rows_.front().recordNumber);
        while (static_cast<int>(more.size()) < pageRows_) {
            DBSKIP(-1);
            if (BOF()) {
                reachedTop_ = true;
                break;
            }
            more.push_back(readCurrentRow());
        }
        return 0;
    });
    if (more.empty()) return 0;
    const int added = static_cast<int>(more.size());
    changing_ = true;
    beginInsertRows({}, 0, added - 1);
    rows_.insert(rows_.begin(), std::make_move_iterator(more.rbegin()),
                 std::make_move_iterator(more.rend()));
    endInsertRows();
    changing_ = false;
    return added;
}

void BrowseModel::setHeader(int column, const QString& caption) {
    if (column < 0 || column >= headers_.size()) return;
    headers_[column] = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString BrowseModel::header(int column) const {
    return headers_.value(column);
}

int BrowseModel::recordAt(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].recordNumber : 0;
}

int BrowseModel::rowOf(int recordNumber) const {
    for (size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].recordNumber == recordNumber) return static_cast<int>(row);
    return -1;
}

bool BrowseModel::tableOpen() const {
    return IsAliasInUse(alias_);
}

int BrowseModel::recordCount() const {
    return INAREA(alias_, [] { return RECCOUNT(); });
}

int BrowseModel::currentRecord() const {
    return INAREA(alias_, [] { return RECNO(); });
}

bool BrowseModel::isVisible(int recordNumber) const {
    return inTable([&] {
        DBGOTO(recordNumber);
        return !DBEOF() && DBRECORDVISIBLE();
    });
}

int BrowseModel::visibleFrom(int recordNumber, bool restartAtTop) const {
    if (isVisible(recordNumber)) return recordNumber;
    return inTable([&] {
        if (restartAtTop) {
            DBGOTOP();
        } else {
            DBGOTO(recordNumber);
            if (!DBEOF()) DBSKIP(1);
        }
        return DBEOF() ? 0 : RECNO();
    });
}

void BrowseModel::clear() {
    changing_ = true;
    beginResetModel();
    rows_.clear();
    reachedTop_ = true;
    reachedBottom_ = true;
    endResetModel();
    changing_ = false;
}

int BrowseModel::loadAround(int recordNumber, int above) {
    std::vector<Row> before;  // nearest first
    std::vector<Row> after;
    bool top = false;
    bool bottom = false;
    inTable([&] {
        DBGOTO(recordNumber);
        while (static_cast<int>(before.size()) < above) {
            DBSKIP(-1);
            if (BOF()) {
                top = true;
                break;
            }
            before.push_back(readCurrentRow());
        }
        DBGOTO(recordNumber);
        after.push_back(readCurrentRow());
        const int wanted = std::max(1, pageRows_ - static_cast<int>(before.size()));
        while (static_cast<int>(after.size()) < wanted) {
            DBSKIP(1);
            if (DBEOF()) {
                bottom = true;
                break;
            }
            after.push_back(readCurrentRow());
        }
        return 0;
    });
    std::vector<Row> fresh(std::make_move_iterator(before.rbegin()),
                           std::make_move_iterator(before.rend()));
    fresh.insert(fresh.end(), std::make_move_iterator(after.begin()),
                 std::make_move_iterator(after.end()));
    replaceRows(std::move(fresh));
    reachedTop_ = top;
    reachedBottom_ = bottom;
    return static_cast<int>(before.size());
}

void BrowseModel::loadTop() {
    const int first = inTable([] {
        DBGOTOP();
        return DBEOF() ? 0 : RECNO();
    });
    if (first == 0) return clear();
    loadAround(first, 0);
    reachedTop_ = true;
}

void BrowseModel::loadBottom() {
    const int last = inTable([] {
        DBGOBOTTOM();
        return DBEOF() ? 0 : RECNO();
    });
    if (last == 0) return clear();
    loadAround(last, pageRows_ - 1);
    reachedBottom_ = true;
}

// Rows that stay rows are changed in place and the difference is inserted or
// removed at the end, so views keep their header and scroll state and redraw
// only what they show.
void BrowseModel::replaceRows(std::vector<Row> fresh) {
    const int old = rowCount();
    const int now = static_cast<int>(fresh.size());
    changing_ = true;
    if (now < old) {
        beginRemoveRows({}, now, old - 1);
        rows_.resize(static_cast<size_t>(now));
        endRemoveRows();
    }
    const int kept = std::min(old, now);
    for (int row = 0; row < kept; ++row)
        rows_[static_cast<size_t>(row)] = std::move(fresh[static_cast<size_t>(row)]);
    if (now > old) {
        beginInsertRows({}, old, now - 1);
        rows_.insert(rows_.end(), std::make_move_iterator(fresh.begin() + old),
                     std::make_move_iterator(fresh.end()));
        endInsertRows();
    }
    if (kept > 0) emit dataChanged(index(0, 0), index(kept - 1, columnCount() - 1));
    changing_ = false;
}

BrowseModel::Row BrowseModel::readCurrentRow() const {
    Row row{RECNO(), {}, {}};
    for (const QString& field : fields_)
        row.cells << CellText(field);
    if (rowCells_) row.cells = rowCells_(row.cells);
    if (rowColour_) row.colour = rowColour_();
    return row;
}

}  // namespace kesp
