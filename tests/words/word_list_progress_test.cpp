// What the status line and the progress bar show while the word list works:
// every step is painted inside the action, before it returns to the event
// loop, and a search that starts the bar at 0 shows it empty.
#include "apps/words/word_list.h"
#include "apps/words/word_list_operations.h"
#include "tests/words/word_list_fixture.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

namespace {

using kesp::test::TestDriver;

// The status line's text and the bar's value at each of their paints,
// "status: ..." and "bar: 30" ("bar: empty" below its range).
class PaintedSteps : public QObject {
  public:
    PaintedSteps() {
        TestDriver::widget("woerter_frm", "Label_12")->installEventFilter(this);
        TestDriver::widget("woerter_frm", "ProgressBar_1")->installEventFilter(this);
    }
    QStringList steps;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        QString step;
        if (const auto* label = qobject_cast<QLabel*>(watched)) {
            step = "status: " + label->text();
        } else if (const auto* bar = qobject_cast<QProgressBar*>(watched)) {
            step = bar->value() < bar->minimum() ? QString("bar: empty")
                                                 : "bar: " + QString::number(bar->value());
        }
        if (steps.isEmpty() || steps.last() != step) steps.append(step);
        return false;
    }
};

// True when `wanted` appears in `steps` in this order (other paints between).
bool InOrder(const QStringList& steps, const QStringList& wanted) {
    qsizetype at = 0;
    for (const QString& step : steps)
        if (at < wanted.size() && step == wanted[at]) ++at;
    return at == wanted.size();
}

class WordListProgress : public WordListFixture {
  protected:
    void SetUp() override {
        WordListFixture::SetUp();
        CreateDictionary({{"Haus", "house"}, {"Hund", "dog"}, {"Katze", "cat"}});
        OPENFORM_WOERTER();
        TakeMessages();
    }
    void TearDown() override {
        TestDriver::closeWindow("woerter_frm");
        WordListFixture::TearDown();
    }
};

TEST_F(WordListProgress, OpeningShowsEachStepOfTheReorganisation) {
    PaintedSteps painted;
    OPENWOERTER();  // what the opening runs once the window is shown
    EXPECT_TRUE(InOrder(painted.steps,
                        {"status: Bitte warten, Daten werden reorganisiert...", "bar: 30",
                         "status: Warte...Wörterbuch [deutsch] wurde reorganisiert, [englisch]...",
                         "bar: 60", "bar: 90", "status: Fertig. Anzahl der Daten: 3", "bar: 100"}))
        << painted.steps.join(" / ").toStdString();
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));
}

TEST_F(WordListProgress, AddingShowsEachStepOfTheReorganisation) {
    PaintedSteps painted;
    AddPair("Maus", "mouse");
    EXPECT_TRUE(InOrder(painted.steps,
                        {"status: Bitte warten, Daten werden reorganisiert...", "bar: 30",
                         "status: Wörterbuch [deutsch] wurde reorganisiert, [englisch]...",
                         "bar: 60", "bar: 90", "status: Fertig. Anzahl der Daten: 4", "bar: 100"}))
        << painted.steps.join(" / ").toStdString();
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));
}

TEST_F(WordListProgress, LookupStartsFromAnEmptyBarNotFromTheLastOne) {
    LookUpGerman("h");
    PaintedSteps painted;
    LookUpEnglish("c");
    EXPECT_TRUE(
        InOrder(painted.steps, {"status: Bitte warten...", "bar: empty", "bar: 30", "bar: 40",
                                "bar: 60", "bar: 80", "bar: 100", "status: 1 Wörter gefunden"}))
        << painted.steps.join(" / ").toStdString();
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));
}

}  // namespace
