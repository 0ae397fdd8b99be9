#include "tests/words/word_list_fixture.h"

#include "apps/words/dictionary_index_build.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

#include <QTest>

namespace {

using kesp::test::TestDriver;

constexpr char kWindow[] = "woerter_frm";

void LookUp(const QString& box, const QString& button, const QString& text) {
    TestDriver::clearText(kWindow, box);
    TestDriver::typeInto(kWindow, box, text);
    TestDriver::click(kWindow, button);
}

}  // namespace

void WordListFixture::SetUp() {
    RecordFixture::SetUp();
    InstallTable("lernen.dbf", false);
    CreateDictionary({});
}

void WordListFixture::WaitForDictionaryIndex() {
    for (int waited = 0; DictionaryIndexComing() && waited < 30000; waited += 5)
        QTest::qWait(5);
    EXPECT_FALSE(DictionaryIndexComing());
}

void WordListFixture::TearDown() {
    WaitForDictionaryIndex();
    RecordFixture::TearDown();
}

void WordListFixture::CreateDictionary(const QList<Pair>& pairs, const QStringList& deleted) {
    InstallTable("de_en.dbf", false);
    DBUSEAREA(false, dataPath() + "de_en.dbf", "fixture");
    for (const Pair& pair : pairs) {
        DBAPPEND();
        REPLACE("DE", pair.first);
        REPLACE("EN", pair.second);
        if (deleted.contains(pair.first)) DBDELETE();
    }
    DBCOMMIT();
    DBCLOSEAREA();
}

QStringList WordListFixture::ListedPairs() {
    QStringList rows;
    const int count = TestDriver::browseRows(kWindow, "Browse_2");
    for (int row = 1; row <= count; ++row) {
        rows.append(TestDriver::browseCell(kWindow, "Browse_2", row, 1) + " = " +
                    TestDriver::browseCell(kWindow, "Browse_2", row, 2));
    }
    return rows;
}

QString WordListFixture::PairShown() {
    return TestDriver::read(kWindow, "Text_14").toString() + " = " +
           TestDriver::read(kWindow, "Text_15").toString();
}

QString WordListFixture::Status() {
    return TestDriver::read(kWindow, "Label_12").toString();
}

QColor WordListFixture::BoxColour(const QString& box) {
    return TestDriver::read(kWindow, box, "BackColor").value<QColor>();
}

void WordListFixture::LookUpGerman(const QString& text) {
    LookUp("Text_12", "Button_3", text);
}

void WordListFixture::LookUpEnglish(const QString& text) {
    LookUp("Text_13", "Button_4", text);
}

void WordListFixture::AddPair(const QString& german, const QString& english) {
    TestDriver::clearText(kWindow, "Text_16");
    TestDriver::typeInto(kWindow, "Text_16", german);
    TestDriver::clearText(kWindow, "Text_17");
    TestDriver::typeInto(kWindow, "Text_17", english);
    TestDriver::click(kWindow, "Button_7");
}

void WordListFixture::SelectGerman(const QString& german) {
    const int count = TestDriver::browseRows(kWindow, "Browse_2");
    for (int row = 1; row <= count; ++row) {
        if (TestDriver::browseCell(kWindow, "Browse_2", row, 1) == german) {
            TestDriver::select(kWindow, "Browse_2", row);
            return;
        }
    }
    ADD_FAILURE() << "not listed: " << german.toStdString();
}

QStringList WordListFixture::StoredPairs() {
    DBCLOSEALL();
    SET_DELETED(false);
    DBUSEAREA(false, dataPath() + "de_en.dbf", "stored");
    QStringList pairs;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        pairs.append((DELETED() ? "-" : "") + FIELD("DE").toString().trimmed() + " = " +
                     FIELD("EN").toString().trimmed());
    }
    DBCLOSEAREA();
    SET_DELETED(true);
    return pairs;
}
