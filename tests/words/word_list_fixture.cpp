#include "tests/words/word_list_fixture.h"

#include "kernel/public_variables.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

#include <QColor>
#include <QDir>

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
    ASSERT_TRUE(folder_.isValid());
    QDir(folder_.path()).mkdir("data");
    QDir(folder_.path()).mkdir("export");
    THE_APP_PATH = folder_.path() + "/";
    THE_DATA_PATH = dataPath();
    THE_EXPORT_PATH = folder_.path() + "/export/";
    SET_EXACT(false);
    SET_DELETED(true);
    SET_CENTURY(true);
    UseLanguage("DE");
    THE_ANZAHL = 0;
    CPESQ.clear();
    CreateDictionary({});
}

void WordListFixture::TearDown() {
    DBCLOSEALL();
    QDir::setCurrent(QDir::tempPath());
}

void WordListFixture::UseLanguage(const QString& code) {
    THE_LANG = code;
    if (code == "DE") SET_DATEFORMAT("dd.mm.yyyy");
    if (code == "AM") SET_DATEFORMAT("mm/dd/yyyy");
    if (code == "BR") SET_DATEFORMAT("dd/mm/yyyy");
}

void WordListFixture::CreateDictionary(const QList<Pair>& pairs, const QStringList& deleted) {
    DBCLOSEALL();
    kesp::CreateTable(dataPath() + "de_en.dbf", {{"DE", 'C', 50}, {"EN", 'C', 50}});
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

QString WordListFixture::dataPath() const {
    return folder_.path() + "/data/";
}

QStringList WordListFixture::TakeMessages() {
    QStringList shown;
    for (const kesp::test::MessageBoxRecord& box : driver_.messageBoxes()) {
        EXPECT_EQ(box.title, "Varnel Kesp 2.0");
        shown.append(box.kind + ": " + box.text);
    }
    driver_.clearMessageBoxes();
    return shown;
}
