// Renders the word list in the three languages to PNG files in the build's
// screenshots folder, for a person to look at: as it opens, and after a
// German lookup, with pairs marked to learn, and with "Did you mean" after a
// lookup that found nothing. It shows a few fixture pairs; with KESP_WORDS_DICTIONARY
// naming a de_en.dbf (the installed one, say) it shows that dictionary:
//
//   KESP_WORDS_DICTIONARY=build/app/data/de_en.dbf build/tests/words/word_list_screenshots_test
#include "apps/words/word_list.h"
#include "apps/words/word_list_operations.h"
#include "tests/words/word_list_fixture.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

using kesp::test::TestDriver;

class WordListScreenshots : public WordListFixture {
  protected:
    void SetUp() override {
        WordListFixture::SetUp();
        pictures_ = KESP_SCREENSHOT_DIR;
        QDir().mkpath(pictures_);
        SET_PICTURE_FOLDER(KESP_APP_DIR);
        const QString dictionary = qEnvironmentVariable("KESP_WORDS_DICTIONARY");
        if (dictionary.isEmpty()) {
            CreateDictionary({{"Apfel {m}", "apple"},
                              {"Äpfel {pl}", "apples"},
                              {"Haus {n}", "house"},
                              {"Häuser {pl}", "houses"},
                              {"Hausaufgabe {f}", "homework"},
                              {"zu Hause", "at home"},
                              {"Straßenbahn {f}", "tram; streetcar [Am.]"},
                              {"Wörterbuch {n}", "dictionary"}});
        } else {
            QFile::remove(dataPath() + "de_en.dbf");
            ASSERT_TRUE(QFile::copy(dictionary, dataPath() + "de_en.dbf"))
                << dictionary.toStdString();
        }
    }
    void Shoot(const QString& name) {
        EXPECT_TRUE(kesp::SaveWindowScreenshot("woerter_frm", pictures_ + "/" + name + ".png"))
            << name.toStdString();
    }
    QString pictures_;
};

TEST_F(WordListScreenshots, TheWordListInEveryLanguage) {
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        const QString suffix = QString("_") + code;
        OPENFORM_WOERTER();
        Shoot("woerter_frm" + suffix);
        LookUpGerman("haus");
        Shoot("woerter_frm_lookup" + suffix);
        // Two pairs marked to learn, and a lookup that finds nothing.
        for (const QString& german : {QString("Haus {n}"), QString("Wörterbuch {n}")}) {
            LookUpGerman(german.left(4));
            SelectGerman(german);
            DOMETHOD("woerter_frm", "Browse_2", "SetFocus");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::ControlModifier);
        }
        LookUpGerman("");
        Shoot("woerter_frm_learn" + suffix);
        // The note while the index of headwords is still built, then its answer.
        ShowSuggestionsComing();
        Shoot("woerter_frm_suggestions_coming" + suffix);
        WaitForDictionaryIndex();
        LookUpGerman("Wörtrbuch");
        Shoot("woerter_frm_didyoumean" + suffix);
        TestDriver::closeWindow("woerter_frm");
    }
}

}  // namespace
