#include "bench/peer/peer_window.h"

#include "toolkit/flat_progress_bar.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QWidget>

#include <sqlite3.h>

#include <algorithm>

namespace bench {

struct PeerWindow::Parts {
    PeerWindowShape shape;
    sqlite3* db = nullptr;
    std::vector<sqlite3_stmt*> counts;
    std::vector<sqlite3_stmt*> pages;
    QWidget window;
    QLabel* status = nullptr;
    QProgressBar* progress = nullptr;
    std::vector<QLineEdit*> searchBoxes;
    QTableWidget* list = nullptr;
    QLabel* resultLine = nullptr;
    std::vector<QLineEdit*> boxes;
    std::vector<std::vector<QString>> rows;  // the listed page, every column
    int count = 0;

    void Step(int value) const {
        if (progress == nullptr) return;
        if (value < progress->minimum())
            progress->reset();  // an empty bar, not the last lookup's
        else
            progress->setValue(value);
    }
    void ShowRow(int row);
    void Search(int which);
};

void PeerWindow::Parts::ShowRow(int row) {
    const bool on = row >= 0 && row < static_cast<int>(rows.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& columns = on ? rows[static_cast<std::size_t>(row)] : std::vector<QString>{};
        boxes[i]->setText(i < columns.size() ? columns[i] : QString());
    }
}

// The handler: counts and fetches through SQLite, then fills the list, the
// result line and the edit area as the record window does.
void PeerWindow::Parts::Search(int which) {
    const auto w = static_cast<std::size_t>(which);
    if (progress != nullptr) progress->setVisible(true);
    if (!shape.lookingUpText.isEmpty()) status->setText(shape.lookingUpText);
    for (std::size_t i = 0; i < searchBoxes.size(); ++i) {
        if (i == w) continue;
        const QSignalBlocker quiet(searchBoxes[i]);
        searchBoxes[i]->clear();
    }
    std::size_t step = 0;
    const auto next = [this, &step] {
        if (step < shape.progressSteps.size()) Step(shape.progressSteps[step++]);
    };
    next();
    const QByteArray low = searchBoxes[w]->text().trimmed().toUpper().toUtf8();
    QByteArray high = low;
    if (high.isEmpty()) {
        high = "\x7f";
    } else {
        high[high.size() - 1] = static_cast<char>(high.back() + 1);
    }
    next();
    for (sqlite3_stmt* statement : {counts[w], pages[w]}) {
        sqlite3_bind_text(statement, 1, low.constData(), static_cast<int>(low.size()),
                          SQLITE_STATIC);
        if (sqlite3_bind_parameter_count(statement) >= 2)
            sqlite3_bind_text(statement, 2, high.constData(), static_cast<int>(high.size()),
                              SQLITE_STATIC);
    }
    count = sqlite3_step(counts[w]) == SQLITE_ROW ? sqlite3_column_int(counts[w], 0) : 0;
    sqlite3_reset(counts[w]);
    next();
    rows.clear();
    while (sqlite3_step(pages[w]) == SQLITE_ROW) {
        std::vector<QString> columns;
        for (int c = 0; c < sqlite3_column_count(pages[w]); ++c)
            columns.push_back(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(pages[w], c))));
        rows.push_back(std::move(columns));
    }
    sqlite3_reset(pages[w]);
    next();
    next();
    // The list shows the fetched rows and no more, as a record window's list
    // shows its matches: rows beyond them are removed, not left empty.
    const int listed = static_cast<int>(rows.size());
    list->setRowCount(listed);
    for (int r = 0; r < listed; ++r) {
        for (int c = 0; c < shape.listedColumns; ++c) {
            const QString& text = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (QTableWidgetItem* item = list->item(r, c))
                item->setText(text);
            else
                list->setItem(r, c, new QTableWidgetItem(text));
        }
    }
    {
        const QSignalBlocker once(list);  // the edit area is filled just below
        list->setCurrentCell(rows.empty() ? -1 : 0, 0);
    }
    ShowRow(rows.empty() ? -1 : 0);
    next();
    const QString found = shape.foundText.arg(count);
    if (resultLine != nullptr) resultLine->setText(found);
    if (!shape.lookingUpText.isEmpty()) status->setText(found);
    const QColor colour = low.isEmpty() ? Qt::white
                          : count > 0   ? QColor(200, 255, 200)
                                        : QColor(255, 200, 200);
    if (searchBoxes[w]->palette().color(QPalette::Base) != colour) {
        QPalette colours = searchBoxes[w]->palette();
        colours.setColor(QPalette::Base, colour);
        searchBoxes[w]->setPalette(colours);
    }
    if (progress != nullptr) progress->setVisible(false);
}

PeerWindow::PeerWindow(sqlite3* db, PeerWindowShape shape) : parts_(std::make_unique<Parts>()) {
    Parts& p = *parts_;
    p.shape = std::move(shape);
    p.db = db;
    // Placed at fixed positions, as the record window places its controls:
    // the searches, result line and list on the left, the progress bar and
    // the edit area's boxes on the right.
    int left = 10;
    int right = 10;
    const auto place = [](QWidget* widget, int x, int& y, int width, int height) {
        widget->setGeometry(x, y, width, height);
        y += height + 10;
    };
    if (!p.shape.lookingUpText.isEmpty()) {
        p.status = new QLabel(&p.window);
        place(p.status, 10, left, 430, 40);
    }
    if (!p.shape.progressSteps.empty()) {
        p.progress = new kesp::FlatProgressBar(&p.window);
        p.progress->setRange(1, 100);
        p.progress->setVisible(false);
        place(p.progress, 450, right, 230, 30);
    }
    for (std::size_t i = 0; i < p.shape.searches.size(); ++i) {
        sqlite3_stmt* count = nullptr;
        sqlite3_stmt* page = nullptr;
        sqlite3_prepare_v2(db, p.shape.searches[i].countSql.toUtf8().constData(), -1, &count,
                           nullptr);
        sqlite3_prepare_v2(db, p.shape.searches[i].pageSql.toUtf8().constData(), -1, &page,
                           nullptr);
        p.counts.push_back(count);
        p.pages.push_back(page);
        auto* box = new QLineEdit(&p.window);
        box->setAccessibleName(QStringLiteral("search %1").arg(i + 1));
        place(box, 10, left, 200, 24);
        p.searchBoxes.push_back(box);
        const int which = static_cast<int>(i);
        if (p.shape.searchAsYouType) {
            QObject::connect(box, &QLineEdit::textChanged, &p.window,
                             [&p, which] { p.Search(which); });
        } else {
            auto* button = new QPushButton(QStringLiteral("Suchen"), &p.window);
            place(button, 10, left, 80, 24);
            QObject::connect(button, &QPushButton::clicked, &p.window,
                             [&p, which] { p.Search(which); });
        }
    }
    if (p.shape.lookingUpText.isEmpty()) {
        p.resultLine = new QLabel(&p.window);
        place(p.resultLine, 10, left, 430, 20);
    }
    p.list = new QTableWidget(0, p.shape.listedColumns, &p.window);
    p.list->setSelectionBehavior(QAbstractItemView::SelectRows);
    p.list->setSelectionMode(QAbstractItemView::SingleSelection);
    p.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p.list->verticalHeader()->setVisible(false);
    place(p.list, 10, left, 430, 310);
    QObject::connect(p.list, &QTableWidget::currentCellChanged, &p.window,
                     [&p](int row) { p.ShowRow(row); });
    for (int i = 0; i < p.shape.boxes; ++i) {
        auto* box = new QLineEdit(&p.window);
        place(box, 450, right, 230, 24);
        p.boxes.push_back(box);
    }
    p.window.resize(700, std::max(left, right));
}

PeerWindow::~PeerWindow() {
    for (sqlite3_stmt* statement : parts_->counts)
        sqlite3_finalize(statement);
    for (sqlite3_stmt* statement : parts_->pages)
        sqlite3_finalize(statement);
}

void PeerWindow::show() {
    parts_->window.show();
    QApplication::processEvents();
}

QLineEdit* PeerWindow::searchBox(int which) const {
    return parts_->searchBoxes[static_cast<std::size_t>(which)];
}

void PeerWindow::lookUp(int which) {
    parts_->Search(which);
}

int PeerWindow::lastCount() const {
    return parts_->count;
}

void PeerWindow::paintWhatChanged() {
    QApplication::processEvents();
    QEvent update(QEvent::UpdateRequest);
    QApplication::sendEvent(&parts_->window, &update);
}

}  // namespace bench
