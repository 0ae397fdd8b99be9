#include "toolkit/browse_view.h"

#include "store/xbase.h"
#include "toolkit/beside_the_loop.h"
#include "toolkit/browse_cell_painter.h"
#include "toolkit/controls.h"
#include "toolkit/fault_handler.h"
#include "toolkit/looks.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

#include <utility>

namespace kesp {
namespace {

// The column header's size depends only on its captions and font, yet the
// table view asks for it after every change of rows; measuring the captions
// each time would cost more than reading the rows.
class BrowseHeader : public QHeaderView {
  public:
    explicit BrowseHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

    QSize sizeHint() const override {
        if (!measured_.isValid()) measured_ = QHeaderView::sizeHint();
        return measured_;
    }
    void forgetSize() { measured_ = QSize(); }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            forgetSize();
        return QHeaderView::event(event);
    }

  private:
    mutable QSize measured_;
};

QString AliasOf(const BrowseProperties& p) {
    if (!p.workArea.isEmpty()) return p.workArea;
    if (!p.fields.isEmpty()) return p.fields.first().section(QStringLiteral("->"), 0, 0);
    return {};
}

}  // namespace

BrowseView::BrowseView(const BrowseProperties& p, QWidget* parent)
    : FocusMarkedList(parent),
      model_(AliasOf(p), p.fields, p.headers, p.rowColour, p.rowCells),
      onChange_(p.onChange),
      onOpen_(p.onOpen) {
    auto* header = new BrowseHeader(this);
    setHorizontalHeader(header);
    setModel(&model_);
    setItemDelegate(new BrowseCellPainter(this));
    connect(&model_, &QAbstractItemModel::headerDataChanged, header,
            [header] { header->forgetSize(); });
    setFont(MakeFont(p.font));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setShowGrid(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < p.widths.size(); ++column)
        setColumnWidth(column, p.widths[column]);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { whenRowChosen(current); });
    if (onOpen_) {
        connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid() && model_.recordAt(index.row()) != 0) RunStep(this, onOpen_);
        });
    }
    if (!p.menu.isEmpty()) {
        setContextMenuPolicy(Qt::ActionsContextMenu);
        for (const MenuEntry& entry : p.menu) {
            auto* item = new QAction(entry.caption, this);
            connect(item, &QAction::triggered, this,
                    [this, action = entry.action] { RunStep(this, action); });
            addAction(item);
            if (entry.enabled) menuStates_.push_back({item, entry.enabled});
        }
        // Shift+F10, the menu key of keyboards without one: the menu opens
        // at the current row, as for the menu key.
        auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
        menuKey->setContext(Qt::WidgetShortcut);
        connect(menuKey, &QShortcut::activated, this, [this] {
            const QPoint at = currentIndex().isValid() ? visualRect(currentIndex()).center()
                                                       : viewport()->rect().center();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(this, &request);
        });
    }
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] {
        if (verticalScrollBar()->sliderPosition() == verticalScrollBar()->minimum()) growUpward();
    });
}

bool BrowseView::event(QEvent* event) {
    // The menu is built from the actions as it opens: each is enabled as it applies now.
    if (event->type() == QEvent::ContextMenu)
        for (const auto& [item, enabled] : menuStates_)
            item->setEnabled(enabled());
    return QTableView::event(event);
}

int BrowseView::pageRows() const {
    if (pageRows_ == 0) pageRows_ = measurePageRows();
    return pageRows_;
}

// Measuring asks the header for its size, which lays out its captions: done
// when the size changes, not at every refresh.
int BrowseView::measurePageRows() const {
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int headerHeight = horizontalHeader()->sizeHint().height();
    const int available = height() - headerHeight - 2 * frameWidth();
    return std::max(1, available / rowHeight);
}

int BrowseView::selectedRow() {
    settle();
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() && selectionModel()->isRowSelected(current.row(), {}) ? current.row()
                                                                                   : -1;
}

int BrowseView::topRow() {
    settle();
    const int row = rowAt(0);
    return row >= 0 ? row : verticalScrollBar()->value();
}

int BrowseView::value() {
    settle();
    return model_.recordAt(selectedRow());
}

BrowseModel& BrowseView::rows() {
    settle();
    return model_;
}

void BrowseView::refresh() {
    settle();
    model_.setPageRows(pageRows());
    PendingPage page{model_.tableOpen(), 0, false, 0, 0};
    if (page.tableOpen) {
        const int selected = selectedRow();
        page.selectedRecord = model_.recordAt(selected);
        if (selected >= 0) {
            page.from = page.selectedRecord;
            page.pagePosition = std::clamp(selected - topRow(), 0, model_.pageRows() - 1);
        } else {
            // A current record that is deleted starts the list over from the
            // top; one the filter rejects moves on to the next visible record.
            page.from = model_.currentRecord();
            page.startOver = INAREA(model_.alias(), [] { return !DBEOF() && DELETED(); });
        }
    }
    // The page is read (or emptied) when the browse is next looked at:
    // painted, read or clicked. Modules refresh and then set the value at
    // once, and the value reads its own page, so the refresh's page is often
    // never needed.
    pending_ = page;
    QMetaObject::invokeMethod(
        this, [this] { settle(); }, Qt::QueuedConnection);
}

void BrowseView::settle() {
    if (!pending_) return;
    // Painted while the loop turns inside a store operation: the page is read
    // once the operation is done.
    if (InsideATurn()) {
        RunOutsideTurns(this, [this] { settle(); });
        return;
    }
    const PendingPage page = *pending_;
    pending_.reset();
    const int start =
        page.tableOpen && model_.tableOpen() ? model_.visibleFrom(page.from, page.startOver) : 0;
    if (start == 0) {
        model_.clear();
        return;
    }
    const int above = model_.loadAround(start, page.pagePosition);
    showRowAt(above, above);
    selectQuietly(page.selectedRecord != 0 ? model_.rowOf(page.selectedRecord) : -1);
}

void BrowseView::setValue(int recordNumber) {
    if (inChangeAction_)
        RaiseFormsFault(QStringLiteral("Value of browse %1 set inside its own change action.")
                            .arg(objectName()));
    model_.setPageRows(pageRows());
    if (!model_.tableOpen()) {
        pending_.reset();
        model_.clear();
        return;
    }
    const int count = model_.recordCount();
    const bool selectable =
        recordNumber > 0 && recordNumber <= count && model_.isVisible(recordNumber);
    if (recordNumber == count + 1) {
        pending_.reset();
        model_.clear();
        inChangeAction_ = true;
        RunAction(onChange_);
        inChangeAction_ = false;
        return;
    }
    if (!selectable) {
        settle();  // nothing happens to the list beyond a refresh still due
        return;
    }
    pending_.reset();
    const int above = model_.loadAround(recordNumber, (model_.pageRows() - 1) / 2);
    showRowAt(above, above);
    selectQuietly(above);
    whenRowChosen(model_.index(above, 0));
}

void BrowseView::selectRowAsUser(int row) {
    settle();
    if (row < 0 || row >= model_.rowCount()) return;
    scrollTo(model_.index(row, 0));
    selectionModel()->setCurrentIndex(
        model_.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QModelIndex BrowseView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    settle();  // a key pressed at once after a refresh moves on the refreshed page
    const QModelIndex current = currentIndex();
    const bool atFirstRow = !current.isValid() || current.row() == 0;
    if ((action == MoveUp || action == MovePageUp) && atFirstRow && model_.canFetchAbove()) {
        const int added = model_.fetchAbove();
        if (current.isValid()) return model_.index(current.row() + added - 1, 0);
    }
    if (action == MoveHome && modifiers.testFlag(Qt::ControlModifier)) {
        model_.loadTop();
        return model_.index(0, 0);
    }
    if (action == MoveEnd && modifiers.testFlag(Qt::ControlModifier)) {
        model_.loadBottom();
        return model_.index(model_.rowCount() - 1, 0);
    }
    movingSideways_ =
        action == MoveLeft || action == MoveRight || action == MoveHome || action == MoveEnd;
    return QTableView::moveCursor(action, modifiers);
}

void BrowseView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const bool sideways = std::exchange(movingSideways_, false);
    const int column = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!sideways) horizontalScrollBar()->setValue(column);
}

void BrowseView::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() > 0 && verticalScrollBar()->value() == 0) growUpward();
    QTableView::wheelEvent(event);
}

void BrowseView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    pageRows_ = measurePageRows();
    model_.setPageRows(pageRows_);
}

void BrowseView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && onOpen_ && selectedRow() >= 0) {
        RunStep(this, onOpen_);
        return;
    }
    QTableView::keyPressEvent(event);
}

void BrowseView::whenRowChosen(const QModelIndex& current) {
    if (quiet_ || !current.isValid()) return;
    const int recordNumber = model_.recordAt(current.row());
    if (recordNumber == 0) return;
    inChangeAction_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{inChangeAction_};
    RunAction([this, recordNumber] {
        // Browse synchronisation: the table stands on the chosen record before
        // the change action reads it.
        INAREA(model_.alias(), [recordNumber] {
            DBGOTO(recordNumber);
            return 0;
        });
        if (onChange_) onChange_();
    });
}

void BrowseView::selectQuietly(int row) {
    quiet_ = true;
    if (row >= 0)
        selectionModel()->setCurrentIndex(
            model_.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        selectionModel()->clear();
    quiet_ = false;
}

void BrowseView::showRowAt(int row, int pagePosition) {
    quiet_ = true;
    verticalScrollBar()->setValue(std::max(0, row - pagePosition));
    quiet_ = false;
}

void BrowseView::growUpward() {
    if (quiet_ || !model_.canFetchAbove()) return;
    const int keep = verticalScrollBar()->value();
    const int added = model_.fetchAbove();
    quiet_ = true;
    verticalScrollBar()->setValue(keep + added);
    quiet_ = false;
}

// ---- The control ------------------------------------------------------------------

namespace {

class BrowseControl : public Control {
  public:
    BrowseControl(const QString& name, BrowseView* view) : Control(name, view), view_(view) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && property == QLatin1String("value")) {
            view_->setValue(RequireNumber(value, QStringLiteral("browse value")));
        } else if (index > 0 && property == QLatin1String("header") &&
                   index <= view_->rows().columnCount()) {
            view_->rows().setHeader(index - 1, value.toString());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && property == QLatin1String("value")) return view_->value();
        if (index > 0 && property == QLatin1String("header") &&
            index <= view_->rows().columnCount())
            return view_->rows().header(index - 1);
        return Control::get(property, index);
    }
    bool invoke(const QString& method, const QVariant& argument) override {
        if (method == QLatin1String("refresh")) {
            view_->refresh();
            return true;
        }
        return Control::invoke(method, argument);
    }
    bool userSelect(int oneBasedIndex) override {
        view_->selectRowAsUser(oneBasedIndex - 1);
        return true;
    }

  private:
    BrowseView* view_;
};

}  // namespace

std::unique_ptr<Control> MakeBrowse(QWidget* parent, const QString& name,
                                    const BrowseProperties& p) {
    auto* view = new BrowseView(p, parent);
    view->setObjectName(name);
    PlaceControl(view, p.row, p.col, p.width, p.height);
    return std::make_unique<BrowseControl>(name, view);
}

}  // namespace kesp
