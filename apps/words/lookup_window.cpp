#include "apps/words/lookup_window.h"

#include "apps/words/dictionary_lookup.h"
#include "apps/words/word_index.h"
#include "apps/words/word_list_texts.h"
#include "kernel/texts.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const Texts kTitle{"Nachschlagen", "Look up", "Consultar"};
const Texts kResultsName{"Gefundene Paare", "Pairs found", "Pares encontrados"};
const Texts kNoDictionary{"Das Wörterbuch kann nicht gelesen werden.",
                          "The dictionary cannot be read.", "O dicionário não pode ser lido."};

constexpr int kSuggestionRole = Qt::UserRole;
constexpr int kFrame =
    8;  // pixels of a window manager's frame, about  // true on an item that is a suggestion

class LookupWindow : public QWidget {
  public:
    LookupWindow(const WordIndex* index, QWidget* above) : QWidget(above), index_(index) {
        setObjectName(QStringLiteral("nachschlagen"));
        setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(TEXT(kTitle));
        setAccessibleName(TEXT(kTitle));
        heading_ = new QLabel(this);
        heading_->setObjectName(QStringLiteral("Label_1"));
        QFont bold = heading_->font();
        bold.setBold(true);
        heading_->setFont(bold);
        heading_->setWordWrap(true);
        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List_1"));
        list_->setAccessibleName(TEXT(kResultsName));
        list_->setWordWrap(true);
        heading_->setBuddy(list_);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(heading_);
        layout->addWidget(list_);
        connect(list_, &QListWidget::itemActivated, this, &LookupWindow::LookUpChosen);
        resize(460, 300);
    }

    void Show(const QString& text) {
        list_->clear();
        if (!index_) {
            heading_->setText(TEXT(kNoDictionary));
            return;
        }
        const DictionaryAnswer answer = LookUpSelection(*index_, text);
        heading_->setText(answer.anything() ? answer.asked
                                            : TEXT(word_texts::kNothingFound).arg(answer.asked));
        for (const LookedUp& looked : answer.found) {
            if (answer.found.size() > 1 || looked.baseForm)
                AddHeading(looked.baseForm
                               ? TEXT(word_texts::kBaseForm).arg(looked.asked, looked.found)
                               : looked.asked);
            for (const int record : looked.pairs)
                list_->addItem(PairLine(index_->PairOf(record)));
        }
        if (!answer.anything()) {
            AddHeading(TEXT(answer.suggestions.isEmpty() ? word_texts::kNothingSimilar
                                                         : word_texts::kDidYouMean));
            for (const QString& suggestion : answer.suggestions) {
                auto* item = new QListWidgetItem(suggestion, list_);
                item->setData(kSuggestionRole, true);
            }
        }
        for (int row = 0; row < list_->count(); ++row) {
            if (list_->item(row)->flags() & Qt::ItemIsSelectable) {
                list_->setCurrentRow(row);
                break;
            }
        }
    }

    void PlaceBesidePointer() {
        const QPoint pointer = QCursor::pos();
        const QScreen* screen = QGuiApplication::screenAt(pointer);
        if (!screen) screen = QGuiApplication::primaryScreen();
        QPoint at = pointer + QPoint(16, 16);
        if (screen) {
            // Whole on the screen, its frame included (not known before it is shown: guessed).
            const QRect room = screen->availableGeometry().adjusted(0, 0, -kFrame, -kFrame * 4);
            at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
            at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
        }
        move(at);
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    }

    bool event(QEvent* event) override {
        // Another window took the focus: the lookup is done with.
        if (event->type() == QEvent::WindowDeactivate && isVisible()) close();
        return QWidget::event(event);
    }

  private:
    void AddHeading(const QString& text) {
        auto* item = new QListWidgetItem(text, list_);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setFlags(Qt::ItemIsEnabled);
    }

    void LookUpChosen(QListWidgetItem* item) {
        if (item && item->data(kSuggestionRole).toBool()) Show(item->text());
    }

    const WordIndex* index_;
    QLabel* heading_;
    QListWidget* list_;
};

QPointer<LookupWindow>& Open() {
    static QPointer<LookupWindow> open;
    return open;
}

}  // namespace

QWidget* ShowLookupWindow(const WordIndex* index, const QString& text,
                          std::function<void()> closed) {
    if (Open()) Open()->close();
    // Above a modal window of the program, which would block any other.
    auto* window = new LookupWindow(index, QApplication::activeModalWidget());
    Open() = window;
    if (closed) QObject::connect(window, &QObject::destroyed, std::move(closed));
    window->Show(text);
    window->PlaceBesidePointer();
    window->show();
    window->raise();
    window->activateWindow();
    window->findChild<QListWidget*>()->setFocus();
    return window;
}

QWidget* OpenLookupWindow() {
    return Open();
}
