#include "shell/coming_up_list.h"

#include "store/xbase.h"

#include <QColor>
#include <QKeyEvent>

#include <utility>

namespace {

const QColor kOverdueRed(255, 0, 0);
const QColor kHeadingBlack(Qt::black);
const QColor kHeadingBackground(228, 236, 246);

// Each day has a heading of its own, the overdue entries one together.
bool StartsAGroup(const ComingUpEntry& entry, const ComingUpEntry* before) {
    if (!before) return true;
    if (entry.overdue != before->overdue) return true;
    return !entry.overdue && entry.day != before->day;
}

}  // namespace

void ComingUpModel::Show(std::vector<ComingUpEntry> entries, const QDate& today,
                         const QFont& font) {
    beginResetModel();
    entries_ = std::move(entries);
    today_ = today;
    bold_ = font;
    bold_.setBold(true);
    only_.clear();
    rows_.clear();
    kindNames_.clear();
    rows_.reserve(entries_.size() + entries_.size() / 8 + 1);
    for (std::size_t at = 0; at < entries_.size(); ++at) {
        const ComingUpEntry& entry = entries_[at];
        if (StartsAGroup(entry, at == 0 ? nullptr : &entries_[at - 1]))
            rows_.push_back({static_cast<int>(at), true});
        rows_.push_back({static_cast<int>(at), false});
        if (!kindNames_.contains(entry.kind)) kindNames_.insert(entry.kind, KindName(*entry.kind));
    }
    endResetModel();
}

void ComingUpModel::ShowOnly(const QString& text) {
    beginResetModel();
    entries_.clear();
    rows_ = {{-1, false}};
    only_ = text;
    endResetModel();
}

const ComingUpEntry* ComingUpModel::EntryAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    const Row& at = rows_[row];
    return at.heading || at.entry < 0 ? nullptr : &entries_[at.entry];
}

int ComingUpModel::FirstEntryRow() const {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (!rows_[row].heading) return static_cast<int>(row);
    return -1;
}

int ComingUpModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString ComingUpModel::TextOf(const Row& row) const {
    if (row.entry < 0) return only_;
    const ComingUpEntry& entry = entries_[row.entry];
    if (row.heading) return DayHeading(entry, today_);
    QString text = QStringLiteral("   ");
    if (entry.overdue) text += DTOC(entry.day) + QLatin1Char(' ');
    if (!entry.time.isEmpty()) text += entry.time + QLatin1Char(' ');
    return text + entry.text + QStringLiteral("   (") + kindNames_.value(entry.kind) +
           QLatin1Char(')');
}

QVariant ComingUpModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const Row& row = rows_[index.row()];
    const bool overdue = row.entry >= 0 && entries_[row.entry].overdue;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return TextOf(row);
        case Qt::FontRole:
            return row.heading ? QVariant(bold_) : QVariant();
        case Qt::ForegroundRole:
            if (overdue) return kOverdueRed;
            return row.heading ? QVariant(kHeadingBlack) : QVariant();
        case Qt::BackgroundRole:
            return row.heading ? QVariant(kHeadingBackground) : QVariant();
        default:
            return {};
    }
}

Qt::ItemFlags ComingUpModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return Qt::NoItemFlags;
    return rows_[index.row()].heading ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

ComingUpList::ComingUpList(QWidget* parent) : QListView(parent), model_(new ComingUpModel(this)) {
    setModel(model_);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void ComingUpList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        emit activated(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}
