// The lookup window: what it shows for a selection found, inflected or
// misspelt, its keys, its closing when another window takes the focus, and
// pictures of it in the three languages for a person to look at.
#include "apps/words/lookup_window.h"
#include "apps/words/word_index.h"
#include "tests/words/word_list_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTest>

namespace {

class LookupWindowTest : public WordListFixture {
  protected:
    void SetUp() override {
        WordListFixture::SetUp();
        UseLanguage("AM");
        CreateDictionary({{"Haus {n}", "house"},
                          {"Häuser {pl}", "houses"},
                          {"zu Hause", "at home"},
                          {"Straße {f} (in der Stadt)", "street"},
                          {"Straßenbahn {f}", "tram; streetcar [Am.]"},
                          {"Hund {m}", "dog"},
                          {"Wörterbuch {n}", "dictionary"}});
        index_ = WordIndex::Build(dataPath() + "de_en.dbf");
        ASSERT_TRUE(index_);
    }
    void TearDown() override {
        if (OpenLookupWindow()) OpenLookupWindow()->close();
        QApplication::processEvents();
        WordListFixture::TearDown();
    }
    QWidget* Show(const QString& text) { return ShowLookupWindow(index_.get(), text); }
    static QListWidget* List() { return OpenLookupWindow()->findChild<QListWidget*>("List_1"); }
    static QString Heading() { return OpenLookupWindow()->findChild<QLabel*>("Label_1")->text(); }
    static QStringList Lines() {
        QStringList lines;
        for (int row = 0; row < List()->count(); ++row)
            lines.append(List()->item(row)->text());
        return lines;
    }
    std::unique_ptr<WordIndex> index_;
};

TEST_F(LookupWindowTest, ShowsThePairsOfTheSelectionWithTheListFocusedAndNamed) {
    QWidget* window = Show("  Straße, ");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Look up");
    EXPECT_EQ(Heading(), "Straße");
    EXPECT_EQ(Lines(), QStringList({"Straße {f} (in der Stadt) = street"}));
    EXPECT_EQ(List()->currentRow(), 0);
    EXPECT_EQ(List()->accessibleName(), "Pairs found");
    EXPECT_EQ(window->focusWidget(), List());

    Show("zu Hause");
    EXPECT_EQ(Lines(), QStringList({"zu Hause", "zu Hause = at home", "Hause (base form: Haus)",
                                    "Haus {n} = house"}));
    EXPECT_EQ(List()->currentRow(), 1) << "a heading is never chosen";
    EXPECT_FALSE(window->isVisible()) << "one window at a time";
}

TEST_F(LookupWindowTest, EnterOnASuggestionLooksItUpAndEscapeCloses) {
    Show("Wörtrbuch");
    EXPECT_EQ(Heading(), "Nothing found for “Wörtrbuch”.");
    EXPECT_EQ(Lines(), QStringList({"Did you mean …?", "Wörterbuch"}));
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(Heading(), "Wörterbuch");
    EXPECT_EQ(Lines(), QStringList({"Wörterbuch {n} = dictionary"}));
    QTest::keyClick(List(), Qt::Key_Return);  // a pair: nothing to look up
    EXPECT_EQ(Heading(), "Wörterbuch");

    QPointer<QWidget> window = OpenLookupWindow();
    QTest::keyClick(List(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(window) << "closed and gone";
    EXPECT_FALSE(OpenLookupWindow());
}

TEST_F(LookupWindowTest, ClosesWhenAnotherWindowTakesTheFocusAndTellsItsEnd) {
    bool told = false;
    QPointer<QWidget> window = ShowLookupWindow(index_.get(), "Hund", [&told] { told = true; });
    QEvent away(QEvent::WindowDeactivate);
    QApplication::sendEvent(window, &away);
    QApplication::processEvents();
    EXPECT_FALSE(window);
    EXPECT_TRUE(told);

    ShowLookupWindow(nullptr, "Hund");
    EXPECT_EQ(Heading(), "The dictionary cannot be read.");
}

TEST_F(LookupWindowTest, TheLookupWindowInEveryLanguage) {
    const QString pictures = KESP_SCREENSHOT_DIR;
    QDir().mkpath(pictures);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        for (const auto& [name, text] :
             {std::pair{"found", "Straße"}, {"phrase", "zu Hause"}, {"typo", "Strasenbahn"}}) {
            QWidget* window = Show(text);
            QApplication::processEvents();
            const QString file = pictures + "/nachschlagen_" + name + "_" + code + ".png";
            EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
        }
    }
}

}  // namespace
