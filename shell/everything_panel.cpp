#include "shell/everything_panel.h"

#include "kernel/texts.h"
#include "shell/table_readers.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/control.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>

#include <chrono>
#include <memory>

namespace {

const QString kWindow = QStringLiteral("haupt");
const QString kBox = QStringLiteral("s_alles");
const QString kList = QStringLiteral("List_alles");

const Texts kHint{"Alles durchsuchen", "Search everything", "Procurar em tudo"};
const Texts kListName{"Suchergebnisse", "Search results", "Resultados da pesquisa"};
const Texts kNothingFound{"Nichts gefunden.", "Nothing found.", "Nada encontrado."};
const Texts kFirstOf{"… die ersten %1 von %2", "… the first %1 of %2", "… os primeiros %1 de %2"};

// A step of the search takes this long at most before the window's events
// are handled again.
constexpr std::chrono::microseconds kStep = std::chrono::milliseconds(15);

std::chrono::microseconds& Step() {
    static std::chrono::microseconds step = kStep;
    return step;
}
// How long a step waits while tables are read beside the loop (they are
// locked until then, and would be left out).
constexpr int kWhileTablesAreReadMilliseconds = 5;

// Results read back from their table at once when one of them is to be
// shown: a screenful and some.
constexpr int kShownTogether = 64;

// One line of the list: an application's heading, a result, or a closing
// remark (how many a group holds beyond those listed, or that nothing was found).
struct Line {
    enum class Kind : std::uint8_t { Heading, Result, Remark } kind;
    std::uint32_t record = 0;
    const KindCorpus* corpus = nullptr;
    QString text;  // the heading or the remark
};

// What a result shows while its table cannot be read (a window holds it).
const KindCorpus::Shown kNotShownNow{QStringLiteral("…"), {}};

class ResultsModel : public QAbstractListModel {
  public:
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
        const Line& line = lines_[index.row()];
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            if (line.kind != Line::Kind::Result) return line.text;
            const KindCorpus::Shown& shown = ShownAt(index.row());
            return shown.name + QStringLiteral(" — ") + shown.text;
        }
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        // Headings and remarks are passed over by the keyboard.
        return lines_[index.row()].kind == Line::Kind::Result
                   ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                   : Qt::NoItemFlags;
    }

    // Starts over for a new search.
    void Reset(const std::vector<FoldedWord>& words) {
        beginResetModel();
        lines_.clear();
        shown_.clear();
        words_ = words;
        shownGroups_ = 0;
        shownUnreadable_ = 0;
        growing_ = {};
        toldNothingFound_ = false;
        endResetModel();
    }

    // Appends the groups the search has added since the last call (the one
    // being found with what it found so far, its heading counting on), the
    // applications it found memos in that cannot be read, and the remark
    // that nothing was found once it is done without a match.
    void Follow(const EverythingSearch& search) {
        const std::vector<SearchGroup>& groups = search.groups();
        std::vector<Line> added;
        for (; shownGroups_ < groups.size(); ++shownGroups_) {
            const SearchGroup& group = groups[shownGroups_];
            const bool begun = growing_.heading >= 0 && growing_.corpus == group.corpus;
            if (begun) {
                SetHeading(growing_.heading, Heading(group.corpus, group.matches.total, true));
            } else {
                added.push_back({Line::Kind::Heading, 0, group.corpus,
                                 Heading(group.corpus, group.matches.total, true)});
            }
            AddResults(group.corpus, group.matches.records, begun ? growing_.listed : 0, added);
            if (static_cast<int>(group.matches.records.size()) < group.matches.total)
                added.push_back(
                    {Line::Kind::Remark, 0, group.corpus,
                     TEXT(kFirstOf).arg(group.matches.records.size()).arg(group.matches.total)});
            growing_ = {};
        }
        const std::vector<const KindCorpus*>& unreadable = search.unreadable();
        for (; shownUnreadable_ < unreadable.size(); ++shownUnreadable_)
            added.push_back({Line::Kind::Remark, 0, unreadable[shownUnreadable_],
                             UnreadableMemosText(*unreadable[shownUnreadable_])});
        if (search.Done() && groups.empty() && !words_.empty() && !toldNothingFound_) {
            added.push_back({Line::Kind::Remark, 0, nullptr, TEXT(kNothingFound)});
            toldNothingFound_ = true;
        }
        Append(added);
        FollowGroupBeingFound(search);
    }
    const Line& LineAt(int row) const { return lines_[row]; }
    const std::vector<FoldedWord>& words() const { return words_; }

    // What the result in `row` shows, read back from its table together with
    // the results after it that are not read yet, and kept.
    const KindCorpus::Shown& ShownAt(int row) const {
        if (const auto kept = shown_.constFind(row); kept != shown_.cend()) return *kept;
        const KindCorpus* corpus = lines_[row].corpus;
        std::vector<int> rows;
        std::vector<std::uint32_t> records;
        for (int next = row; next < static_cast<int>(lines_.size()) &&
                             lines_[next].corpus == corpus && rows.size() < kShownTogether;
             ++next) {
            if (lines_[next].kind != Line::Kind::Result || shown_.contains(next)) continue;
            rows.push_back(next);
            records.push_back(lines_[next].record);
        }
        const std::vector<std::optional<KindCorpus::Shown>> read = corpus->Show(records, words_);
        for (std::size_t n = 0; n < rows.size(); ++n)
            if (read[n]) shown_.insert(rows[n], *read[n]);
        const auto kept = shown_.constFind(row);
        return kept != shown_.cend() ? *kept : kNotShownNow;
    }

    // "Notes (12)"; "Notes (12 …)" while more may be found.
    static QString Heading(const KindCorpus* corpus, int total, bool whole) {
        return KindName(corpus->kind()) +
               (whole ? QStringLiteral(" (%1)") : QStringLiteral(" (%1 …)")).arg(total);
    }

  private:
    // The results from `records[from]` on.
    static void AddResults(const KindCorpus* corpus, const std::vector<std::uint32_t>& records,
                           std::size_t from, std::vector<Line>& added) {
        for (std::size_t at = from; at < records.size(); ++at)
            added.push_back({Line::Kind::Result, records[at], corpus, {}});
    }

    void Append(const std::vector<Line>& added) {
        if (added.empty()) return;
        const int first = static_cast<int>(lines_.size());
        beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
        lines_.insert(lines_.end(), added.begin(), added.end());
        endInsertRows();
    }

    void SetHeading(int row, const QString& text) {
        if (lines_[row].text == text) return;
        lines_[row].text = text;
        const QModelIndex changed = index(row, 0);
        emit dataChanged(changed, changed);
    }

    // The application being searched shows its results as they are found,
    // below a heading that counts them, once it has one.
    void FollowGroupBeingFound(const EverythingSearch& search) {
        const std::optional<EverythingSearch::GroupBeingFound> found = search.groupBeingFound();
        if (!found || found->matches->records.empty()) return;
        const KindCorpus::Matches& matches = *found->matches;
        const QString heading = Heading(found->corpus, matches.total, false);
        std::vector<Line> added;
        if (growing_.heading < 0 || growing_.corpus != found->corpus) {
            growing_ = {found->corpus, static_cast<int>(lines_.size()), 0};
            added.push_back({Line::Kind::Heading, 0, found->corpus, heading});
        } else {
            SetHeading(growing_.heading, heading);
        }
        AddResults(found->corpus, matches.records, growing_.listed, added);
        growing_.listed = matches.records.size();
        Append(added);
    }

    // The group being found, as far as it is shown.
    struct Growing {
        const KindCorpus* corpus = nullptr;
        int heading = -1;  // its row; -1: none shown
        std::size_t listed = 0;
    };
    Growing growing_;

    std::vector<Line> lines_;
    mutable QHash<int, KindCorpus::Shown> shown_;  // by row
    std::vector<FoldedWord> words_;
    std::size_t shownGroups_ = 0;
    std::size_t shownUnreadable_ = 0;
    bool toldNothingFound_ = false;
};

// Headings in bold; a result as its name in bold, then the matching text
// with the words on a highlight.
class ResultsDelegate : public QStyledItemDelegate {
  public:
    explicit ResultsDelegate(ResultsModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const Line& line = model_->LineAt(index.row());
        if (line.kind != Line::Kind::Result) {
            QStyleOptionViewItem plain = option;
            initStyleOption(&plain, index);
            plain.state |= QStyle::State_Enabled;  // in the text's own colour, not greyed
            plain.palette.setCurrentColorGroup(QPalette::Active);
            plain.font.setBold(line.kind == Line::Kind::Heading);
            plain.font.setItalic(line.kind == Line::Kind::Remark);
            if (line.kind == Line::Kind::Heading)
                painter->fillRect(option.rect, QColor(228, 236, 246));
            QStyledItemDelegate::paint(painter, plain, index);
            return;
        }
        // The row's background, selection and focus mark as the style draws
        // them, without its text: the text is drawn in pieces below.
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        row.text.clear();
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &row, painter, view);

        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        const QColor ink =
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        painter->setPen(ink);
        QRect area = option.rect.adjusted(16, 0, -4, 0);
        QFont bold = option.font;
        bold.setBold(true);
        const KindCorpus::Shown& shown = model_->ShownAt(index.row());
        const QString name = shown.name + QStringLiteral("   ");
        painter->setFont(bold);
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, name);
        area.setLeft(area.left() + QFontMetrics(bold).horizontalAdvance(name));
        painter->setFont(option.font);
        const QString& text = shown.text;
        const QFontMetrics metrics(option.font);
        int from = 0;
        const auto drawPiece = [&](int end, bool marked) {
            const QString piece = text.mid(from, end - from);
            const int width = metrics.horizontalAdvance(piece);
            if (marked) {
                painter->fillRect(QRect(area.left(), area.top() + 2, width, area.height() - 4),
                                  QColor(255, 226, 110));
                painter->setPen(Qt::black);
            }
            painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, piece);
            painter->setPen(ink);
            area.setLeft(area.left() + width);
            from = end;
        };
        for (const auto& [start, end] : WordRanges(text, model_->words())) {
            drawPiece(start, false);
            drawPiece(end, true);
        }
        drawPiece(static_cast<int>(text.size()), false);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(QFontMetrics(option.font).height() + 8);
        return size;
    }

  private:
    ResultsModel* model_;
};

class ResultsList;

// The state of the search: the model, the running search and its steps.
struct Panel {
    QPointer<QLineEdit> box;
    QPointer<ResultsList> list;
    ResultsModel* model = nullptr;
    std::unique_ptr<EverythingSearch> search;
    bool warmingUp = false;  // reading the copies ahead, no search asked yet
    bool readAheadBegun = false;
    QTimer* steps = nullptr;
};

Panel& ThePanel() {
    static Panel panel;
    return panel;
}

void OpenResult(int row);
void FocusBox();

class ResultsList : public QListView {
  public:
    explicit ResultsList(QWidget* parent) : QListView(parent) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformItemSizes(true);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        // A long line is cut at the list's edge; the list never scrolls sideways.
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(this, &QListView::activated, this, [](const QModelIndex& index) {
            if (index.isValid()) kesp::RunAction([row = index.row()] { OpenResult(row); });
        });
    }

    // The first result (a heading goes before it), selected.
    void SelectFirstResult() {
        for (int row = 0; row < model()->rowCount(); ++row) {
            if (model()->flags(model()->index(row, 0)) & Qt::ItemIsSelectable) {
                setCurrentIndex(model()->index(row, 0));
                return;
            }
        }
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int row = currentIndex().row();
        if (event->key() == Qt::Key_Escape) {
            FocusBox();
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && row >= 0) {
            kesp::RunAction([row] { OpenResult(row); });
            return;
        }
        if (event->key() == Qt::Key_Up && IsFirstResult(row)) {
            FocusBox();
            return;
        }
        QListView::keyPressEvent(event);
    }

  private:
    bool IsFirstResult(int row) const {
        for (int above = row - 1; above >= 0; --above)
            if (model()->flags(model()->index(above, 0)) & Qt::ItemIsSelectable) return false;
        return true;
    }
};

void FocusBox() {
    if (ThePanel().box) ThePanel().box->setFocus(Qt::ShortcutFocusReason);
}

void StepSearch() {
    Panel& panel = ThePanel();
    if (TableReadersRunning()) {
        panel.steps->start(kWhileTablesAreReadMilliseconds);
        return;
    }
    if (!panel.search) {
        // Nothing typed yet: the copies are read ahead while the box has the focus.
        if (panel.warmingUp && !ReadCorporaOn(QDeadlineTimer(Step())))
            panel.steps->start(0);
        else
            panel.warmingUp = false;
        return;
    }
    const bool done = panel.search->Step(QDeadlineTimer(Step()));
    panel.model->Follow(*panel.search);
    if (done) {
        panel.search.reset();
    } else {
        panel.steps->start(0);
    }
}

void OpenResult(int row) {
    Panel& panel = ThePanel();
    const Line& line = panel.model->LineAt(row);
    if (line.kind != Line::Kind::Result) return;
    const QPointer<ResultsList> list = panel.list;
    WaitForTableReaders();  // the record's table may be being read a moment
    OpenRecordKindOn(line.corpus->kind(), static_cast<int>(line.record));
    if (list) list->setFocus(Qt::OtherFocusReason);
}

// The box's change: a new search in place of the one before.
void SUCHE_ALLES() {
    KESP_OPERATION();
    Panel& panel = ThePanel();
    if (!panel.box || !panel.list) return;
    const QString typed = panel.box->text();
    panel.search = std::make_unique<EverythingSearch>(typed);
    panel.model->Reset(panel.search->words());
    panel.list->setVisible(!typed.trimmed().isEmpty());
    if (panel.list->isVisible()) panel.list->raise();
    StepSearch();
}

// The focus to the next control that takes it, as Tab would move it.
void LeaveBox(QLineEdit* box) {
    for (QWidget* next = box->nextInFocusChain(); next != box; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// Down into the list; Escape clears the box, and leaves it when it is empty.
class BoxKeys : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The next search need not wait for the tables to be read: they are
        // read ahead when the box takes the focus, and when the main window
        // comes back from another (a record window may have changed one)
        // once the start has read them first.
        const bool back =
            event->type() == QEvent::WindowUnblocked || event->type() == QEvent::WindowActivate;
        if (event->type() == QEvent::FocusIn || (back && ThePanel().readAheadBegun))
            ReadAheadForEverythingSearch();
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        QLineEdit* box = ThePanel().box;
        if (watched != box) return false;
        if (key->key() == Qt::Key_Down && ThePanel().list->isVisible()) {
            ThePanel().list->setFocus(Qt::TabFocusReason);
            if (!ThePanel().list->currentIndex().isValid()) ThePanel().list->SelectFirstResult();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (!box->text().isEmpty()) {
                box->clear();
            } else {
                LeaveBox(box);
            }
            return true;
        }
        return false;
    }
};

}  // namespace

void DefineEverythingSearch() {
    Panel& panel = ThePanel();
    _DEFINETEXTBOX(kBox,
                   {.row = 100, .col = 450, .width = 200, .height = 22, .onChange = SUCHE_ALLES});
    kesp::FormWindow* window = kesp::FormWindowNamed(kWindow);
    panel.box = qobject_cast<QLineEdit*>(window->control(kBox)->widget());
    panel.box->setClearButtonEnabled(true);
    auto* keys = new BoxKeys(panel.box);
    panel.box->installEventFilter(keys);
    window->installEventFilter(keys);

    panel.list = new ResultsList(window);
    panel.model = new ResultsModel;
    panel.model->setParent(panel.list);
    panel.list->setModel(panel.model);
    panel.list->setItemDelegate(new ResultsDelegate(panel.model, panel.list));
    window->addControl(std::make_unique<kesp::Control>(kList, panel.list));
    kesp::PlaceControl(panel.list, 145, 20, 630, 520);
    panel.list->hide();
    panel.steps = new QTimer(panel.list);
    panel.steps->setSingleShot(true);
    // A table cut short under the program stops the search with a message;
    // the next search reads it again.
    QObject::connect(panel.steps, &QTimer::timeout, panel.list,
                     [] { kesp::RunAction(StepSearch); });
    panel.search.reset();
    panel.warmingUp = false;
    panel.readAheadBegun = false;

    auto* find = new QShortcut(QKeySequence::Find, window);
    find->setContext(Qt::WindowShortcut);
    QObject::connect(find, &QShortcut::activated, window, [] {
        FocusBox();
        if (ThePanel().box) ThePanel().box->selectAll();
    });
}

void ReadAheadForEverythingSearch() {
    Panel& panel = ThePanel();
    if (!panel.steps || panel.search || panel.warmingUp) return;
    panel.warmingUp = true;
    panel.readAheadBegun = true;
    panel.steps->start(0);
}

void SetEverythingSearchTexts() {
    Panel& panel = ThePanel();
    if (!panel.box) return;
    panel.box->setPlaceholderText(TEXT(kHint));
    panel.box->setAccessibleName(TEXT(kHint));
    panel.box->setToolTip(TEXT(kHint) + QStringLiteral(" (Ctrl+F)"));
    panel.list->setAccessibleName(TEXT(kListName));
}

void SetEverythingSearchStepForTests(std::chrono::microseconds step) {
    Step() = step.count() > 0 ? step : kStep;
}

bool EverythingSearchRunning() {
    return ThePanel().search != nullptr;
}

QStringList EverythingResultLines(const std::vector<SearchGroup>& groups,
                                  const std::vector<FoldedWord>& words) {
    QStringList lines;
    for (const SearchGroup& group : groups) {
        lines.append(ResultsModel::Heading(group.corpus, group.matches.total, true));
        for (const std::optional<KindCorpus::Shown>& read :
             group.corpus->Show(group.matches.records, words)) {
            const KindCorpus::Shown& shown = read ? *read : kNotShownNow;
            lines.append(QStringLiteral("  ") + shown.name + QStringLiteral(" — ") + shown.text);
        }
        if (static_cast<int>(group.matches.records.size()) < group.matches.total)
            lines.append(QStringLiteral("  ") +
                         TEXT(kFirstOf).arg(group.matches.records.size()).arg(group.matches.total));
    }
    if (groups.empty() && !words.empty()) lines.append(TEXT(kNothingFound));
    return lines;
}
