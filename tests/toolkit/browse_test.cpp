// The browse: rows and cells from the table, synchronisation, refresh and
// set-value rules, and reading only the rows it shows.
#include "store/fault.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/beside_the_loop.h"
#include "toolkit/browse_view.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

using kesp::test::TestDriver;

namespace {

constexpr char kWindow[] = "form1";
constexpr char kBrowse[] = "Browse_1";

class BrowseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        SET_DELETED(true);
        SET_EXACT(false);
        SET_CENTURY(true);
        SET_DATEFORMAT("dd.mm.yyyy");
        kesp::CreateTable(folder.filePath("people.dbf"),
                          {{.name = "VORNAME", .type = 'C', .length = 20},
                           {.name = "GEBURT", .type = 'D'},
                           {.name = "LISTE", .type = 'L'},
                           {.name = "BETRAG", .type = 'N', .length = 8, .decimals = 2},
                           {.name = "NOTIZ", .type = 'M'}});
        _DEFINEMODALWINDOW(kWindow, {.width = 400, .height = 400});
        _DEFINEBROWSE(kBrowse, {.row = 10,
                                .col = 10,
                                .width = 300,
                                .height = 290,
                                .headers = {"Vorname", "Geburt", "Liste", "Betrag", "Notiz"},
                                .widths = {100, 80, 40, 60, 50},
                                .fields = {"people->vorname", "people->geburt", "people->liste",
                                           "people->betrag", "people->notiz"},
                                .workArea = "people",
                                .onChange = [this] { whenChanged(); }});
        _ENDWINDOW();
        _ACTIVATEWINDOW(kWindow);
        view = qobject_cast<kesp::BrowseView*>(TestDriver::widget(kWindow, kBrowse));
        ASSERT_NE(view, nullptr);
        tester = std::make_unique<QAbstractItemModelTester>(
            &view->rows(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void TearDown() override { DBCLOSEALL(); }

    // Opens the table with `names` appended in this order, indexed by name.
    void open(const QStringList& names) {
        DBUSEAREA(true, folder.filePath("people.dbf"), "people");
        for (const QString& name : names) {
            DBAPPEND();
            REPLACE("vorname", name);
            REPLACE("geburt", QDate(2006, 12, 24));
            REPLACE("liste", name.startsWith('A'));
            REPLACE("betrag", 12.5);
            REPLACE("notiz", QStringLiteral("Notiz zu ") + name);
        }
        DBCREATEINDEX(folder.filePath("ivorname"), "UPPER(vorname)");
        DBGOTOP();
    }

    void whenChanged() {
        ++changes;
        namesSeenByChange << FIELD("people->vorname").toString().trimmed();
    }

    QStringList shownNames() const {
        QStringList names;
        for (int row = 1; row <= TestDriver::browseRows(kWindow, kBrowse); ++row)
            names << TestDriver::browseCell(kWindow, kBrowse, row, 1);
        return names;
    }

    static QStringList Names(int count) {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names << QStringLiteral("N%1").arg(i, 4, 10, QChar('0'));
        return names;
    }

    QTemporaryDir folder;
    TestDriver driver;
    kesp::BrowseView* view = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
    int changes = 0;
    QStringList namesSeenByChange;
};

TEST_F(BrowseTest, RowsAreTheVisibleRecordsInTheControllingOrderWithFormattedCells) {
    open({"berta", "Anna", "carl", "Dora"});
    DBGOTO(4);  // Dora
    DBDELETE();
    DBGOTOP();
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(shownNames(), QStringList({"Anna", "berta", "carl"}));
    EXPECT_EQ(TestDriver::browseCell(kWindow, kBrowse, 1, 2), "24.12.2006");
    EXPECT_EQ(TestDriver::browseCell(kWindow, kBrowse, 1, 3), ".T.");
    EXPECT_EQ(TestDriver::browseCell(kWindow, kBrowse, 2, 3), ".F.");
    EXPECT_EQ(TestDriver::browseCell(kWindow, kBrowse, 1, 4), "12.50");
    EXPECT_EQ(TestDriver::browseCell(kWindow, kBrowse, 1, 5), "<Memo>");
    SETPROPERTY(kWindow, kBrowse, "Header", 1, "First name");
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "header", 1).toString(), "First name");
}

TEST_F(BrowseTest, ClickingARowMovesTheTableBeforeTheChangeActionReadsIt) {
    open({"Anna", "Berta", "Carl"});
    DOMETHOD(kWindow, kBrowse, "refresh");
    TestDriver::select(kWindow, kBrowse, 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(namesSeenByChange, QStringList({"Carl"}));
    EXPECT_EQ(RECNO(), 3);
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 3);
}

// Choosing a row by its last cell must not push the first columns out of
// sight; only the keys that move between the columns scroll sideways.
TEST_F(BrowseTest, ChoosingARowNeverScrollsTheColumnsSideways) {
    open({"Anna", "Berta", "Carl"});
    DOMETHOD(kWindow, kBrowse, "refresh");
    QScrollBar* sideways = view->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 0) << "the columns are wider than the list";
    const QRect memo = view->visualRect(view->rows().index(1, 4));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, memo.center());
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 2);
    EXPECT_EQ(sideways->value(), 0);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 3);
    EXPECT_EQ(sideways->value(), 0);
    QTest::keyClick(view, Qt::Key_Home);
    for (int column = 1; column < 5; ++column)
        QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(view->currentIndex().column(), 4);
    EXPECT_GT(sideways->value(), 0) << "Right goes to the last column and shows it";
}

TEST_F(BrowseTest, FilterMatchingNothingShowsNoRowsAndEndOfFileValueKeepsItEmpty) {
    open({"Anna", "Berta"});
    DBSETFILTER([] { return false; }, ".F.");
    DBGOTOP();
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(TestDriver::browseRows(kWindow, kBrowse), 0);
    ASSERT_EQ(RECNO(), 3);
    SETPROPERTY(kWindow, kBrowse, "Value", RECNO());
    EXPECT_EQ(TestDriver::browseRows(kWindow, kBrowse), 0);
    EXPECT_EQ(changes, 1);  // the change action still runs, showing the empty record
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 0);
}

TEST_F(BrowseTest, RefreshWithoutATableOpenEmptiesTheList) {
    open({"Anna", "Berta"});
    DOMETHOD(kWindow, kBrowse, "refresh");
    ASSERT_EQ(TestDriver::browseRows(kWindow, kBrowse), 2);
    DBCLOSEALL();
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(TestDriver::browseRows(kWindow, kBrowse), 0);
}

TEST_F(BrowseTest, RefreshWithoutSelectionStartsAtTheCurrentRecordAndPutsThePointerBack) {
    open(Names(100));
    DBGOTO(40);
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(
        TestDriver::browseCell(kWindow, kBrowse, TestDriver::browseTopRow(kWindow, kBrowse), 1),
        "N0040");
    EXPECT_EQ(RECNO(), 40);
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 0);
    EXPECT_EQ(changes, 0);
}

TEST_F(BrowseTest, RefreshMovesOffAFilteredOutOrDeletedCurrentRecord) {
    open(Names(50));
    DBSETFILTER([] { return RECNO() % 2 == 0; }, "even");
    DBGOTO(21);  // rejected by the filter: the list starts at the next visible record
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(
        TestDriver::browseCell(kWindow, kBrowse, TestDriver::browseTopRow(kWindow, kBrowse), 1),
        "N0022");
    EXPECT_EQ(RECNO(), 21);

    DBCLEARFILTER();
    DBGOTO(30);
    DBDELETE();  // deleted: the list starts over from the top
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(TestDriver::browseCell(kWindow, kBrowse, 1, 1), "N0001");
}

TEST_F(BrowseTest, RefreshKeepsTheSelectedRecordOnItsRowOfThePage) {
    open(Names(100));
    SETPROPERTY(kWindow, kBrowse, "Value", 50);
    const int pageRow = view->selectedRow() - view->topRow();
    ASSERT_GT(pageRow, 0);
    // Records appended before it in the order push nothing off its row.
    DBAPPEND();
    REPLACE("vorname", "N0049a");
    DBGOTO(10);
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 50);
    EXPECT_EQ(view->selectedRow() - view->topRow(), pageRow);
    EXPECT_EQ(view->rows().recordAt(view->selectedRow() - 1), 101);  // N0049a just above
    EXPECT_EQ(RECNO(), 10);
}

TEST_F(BrowseTest, SettingTheValueSelectsAboutHalfAPageDownAndRunsTheChangeAction) {
    open(Names(100));
    DBSETFILTER([] { return RECNO() != 77; }, "RECNO() <> 77");
    SETPROPERTY(kWindow, kBrowse, "Value", 0);    // out of range: nothing
    SETPROPERTY(kWindow, kBrowse, "Value", 102);  // beyond end-of-file: nothing
    SETPROPERTY(kWindow, kBrowse, "Value", 77);   // rejected by the filter: nothing
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 0);

    DBGOTO(5);
    SETPROPERTY(kWindow, kBrowse, "Value", 60);
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 60);
    EXPECT_EQ(namesSeenByChange, QStringList({"N0060"}));
    EXPECT_EQ(RECNO(), 60);
    const int pageRow = view->selectedRow() - view->topRow();
    EXPECT_NEAR(pageRow, view->pageRows() / 2, 1);
}

TEST_F(BrowseTest, SettingTheValueInsideItsOwnChangeActionIsAFault) {
    open({"Anna", "Berta"});
    bool faulted = false;
    _DEFINEMODALWINDOW("form2", {.width = 300, .height = 300});
    _DEFINEBROWSE("Browse_1", {.width = 200,
                               .height = 200,
                               .fields = {"people->vorname"},
                               .workArea = "people",
                               .onChange = [&] {
                                   try {
                                       SETPROPERTY("form2", "Browse_1", "Value", 1);
                                   } catch (const kesp::FaultException&) {
                                       faulted = true;
                                   }
                               }});
    _ENDWINDOW();
    SETPROPERTY("form2", "Browse_1", "Value", 2);
    EXPECT_TRUE(faulted);
}

TEST_F(BrowseTest, ReadsOnlyTheRowsAroundThePage) {
    open(Names(3000));
    DBGOTO(2000);
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_LE(view->rows().rowCount(), 2 * view->pageRows());
    SETPROPERTY(kWindow, kBrowse, "Value", 1500);
    EXPECT_LE(view->rows().rowCount(), 2 * view->pageRows());
    // Scrolling grows the slice a page at a time in either direction.
    const int before = view->rows().rowCount();
    view->rows().fetchMore({});
    EXPECT_EQ(view->rows().fetchAbove(), view->pageRows());
    EXPECT_EQ(view->rows().rowCount(), before + 2 * view->pageRows());
    EXPECT_EQ(GETPROPERTY(kWindow, kBrowse, "Value").toInt(), 1500);
}

TEST_F(BrowseTest, KeyUpOnTheFirstRowReadsTheRecordsAboveIt) {
    open(Names(100));
    DBGOTO(40);
    DOMETHOD(kWindow, kBrowse, "refresh");
    TestDriver::select(kWindow, kBrowse, 1);
    ASSERT_EQ(namesSeenByChange, QStringList({"N0040"}));
    TestDriver::pressKey(kWindow, kBrowse, Qt::Key_Up);
    EXPECT_EQ(namesSeenByChange.last(), "N0039");
    EXPECT_EQ(RECNO(), 39);
    TestDriver::pressKey(kWindow, kBrowse, Qt::Key_Down);
    EXPECT_EQ(namesSeenByChange.last(), "N0040");
}

TEST_F(BrowseTest, ARefreshShowsTheTableAsItIsWhenTheListIsNextLookedAt) {
    open({"Anna", "Berta", "Carl"});
    DOMETHOD(kWindow, kBrowse, "refresh");
    DBGOTO(2);
    REPLACE("vorname", "Bettina");
    EXPECT_EQ(shownNames(), QStringList({"Anna", "Bettina", "Carl"}));
    EXPECT_EQ(RECNO(), 2);

    DOMETHOD(kWindow, kBrowse, "refresh");
    DBCLOSEALL();  // the table went away before the list was drawn
    EXPECT_EQ(TestDriver::browseRows(kWindow, kBrowse), 0);
}

TEST_F(BrowseTest, APageDueWhileTheLoopTurnsForWorkBesideItIsReadOnceTheWorkIsDone) {
    open({"Anna", "Berta", "Carl"});
    DOMETHOD(kWindow, kBrowse, "refresh");
    EXPECT_EQ(shownNames(), QStringList({"Anna", "Berta", "Carl"}));
    DBAPPEND();
    REPLACE("vorname", "Dora");
    DBGOTOP();
    DOMETHOD(kWindow, kBrowse, "refresh");
    // Looked at while the loop turns (a store operation waits for the disk
    // meanwhile), the list shows what it showed and reads nothing.
    std::atomic<bool> lookedAt{false};
    int rowsWhileTurning = -1;
    QMetaObject::invokeMethod(
        view,
        [&] {
            rowsWhileTurning = TestDriver::browseRows(kWindow, kBrowse);
            lookedAt = true;
        },
        Qt::QueuedConnection);
    kesp::RunBesideTheLoop([&lookedAt] {
        for (int waited = 0; !lookedAt && waited < 5000; ++waited)
            QThread::msleep(1);
    });
    EXPECT_TRUE(lookedAt);
    EXPECT_EQ(rowsWhileTurning, 3);
    EXPECT_EQ(shownNames(), QStringList({"Anna", "Berta", "Carl", "Dora"}));
}

}  // namespace
