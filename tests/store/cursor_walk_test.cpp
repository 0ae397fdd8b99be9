// The cursor walk of one work area, driven directly: an area built by hand
// over a table, its order and filter set as the table operations set them.
#include "store/cursor_walk.h"
#include "store/area_orders.h"
#include "tests/store/test_support.h"

using namespace kesp::store::areas;

namespace {

class CursorWalk : public StoreTest {
  protected:
    // Dora, anna, Carl, Bert, Bernd as records 1 to 5, Carl marked deleted,
    // ordered by the first name in capitals.
    void SetUp() override {
        StoreTest::SetUp();
        const QString path = NamesTable({"Dora", "anna", "Carl", "Bert", "Bernd"});
        DBUSEAREA(true, path);
        DBGOTO(3);
        DBDELETE();
        DBCLOSEALL();
        SET_DELETED(true);
        area_.table = kesp::store::DbfTable::Open(path);
        area_.alias = "NAMES";
        name_ = area_.table->FieldIndex("VORNAME");
        std::optional<Order> order = NewOrder(area_, Path("byname.ntx"), "UPPER(VORNAME)");
        ASSERT_TRUE(order);
        BuildOrder(area_, *order);
        area_.orders.push_back(std::move(*order));
    }
    void TearDown() override {
        area_ = Area{};
        SET_DELETED(false);
        StoreTest::TearDown();
    }

    QString Name() const { return area_.table->Read(area_.record, name_).toString().trimmed(); }

    // Every name from the top, in the walk's order.
    QStringList Walk() {
        QStringList names;
        for (GoTop(area_); !area_.eof; Skip(area_, 1))
            names.append(Name());
        return names;
    }

    // A filter on the names beginning with `prefix`, as DBSETFILTER installs
    // it under the controlling order; the condition counts its calls.
    void FilterOnPrefix(const QString& prefix, KeyRange range) {
        area_.filter = [this, prefix] {
            ++conditionCalls_;
            return Name().toUpper().startsWith(prefix);
        };
        ++area_.filterSerial;
        area_.filterSpan = [prefix] { return KeySpan{prefix, prefix}; };
        area_.filterSpanFor = "UPPER(VORNAME)";
        area_.filterDecidesFor = range == KeyRange::Decides ? "UPPER(VORNAME)" : QString();
        area_.rangeOrder = nullptr;
    }

    Area area_;
    int name_ = -1;
    int conditionCalls_ = 0;
};

TEST_F(CursorWalk, WalksTheOrderOverVisibleRecordsBothWaysAndStopsAtTheEnds) {
    EXPECT_EQ(Walk(), (QStringList{"anna", "Bernd", "Bert", "Dora"}));
    EXPECT_TRUE(area_.eof);
    Skip(area_, -1);  // back from the end: the last visible record
    EXPECT_EQ(Name(), "Dora");
    Skip(area_, -2);  // over the deleted Carl
    EXPECT_EQ(Name(), "Bernd");
    Skip(area_, -10);  // before the first: on it, with BOF
    EXPECT_EQ(Name(), "anna");
    EXPECT_TRUE(area_.bof);
    GoBottom(area_);
    EXPECT_EQ(Name(), "Dora");

    // Without an order the walk runs in record order; deleted records shown
    // when they are not hidden.
    area_.orders.clear();
    SET_DELETED(false);
    EXPECT_EQ(Walk(), (QStringList{"Dora", "anna", "Carl", "Bert", "Bernd"}));
}

TEST_F(CursorWalk, AKeyRangeThatDecidesIsWalkedWithoutAskingTheCondition) {
    FilterOnPrefix("BER", KeyRange::Decides);
    const auto [lo, hi] = Range(area_);
    EXPECT_EQ(hi - lo, 2u);
    EXPECT_TRUE(area_.rangeDecidesFilter);
    EXPECT_EQ(Walk(), (QStringList{"Bernd", "Bert"}));
    EXPECT_EQ(conditionCalls_, 0);

    // A promise that only narrows: the same records, each one judged.
    FilterOnPrefix("BER", KeyRange::Narrows);
    EXPECT_EQ(Walk(), (QStringList{"Bernd", "Bert"}));
    EXPECT_GT(conditionCalls_, 0);
}

TEST_F(CursorWalk, ASpanOfKeysNarrowsTheWalkFromItsFirstKeyToTheLastBeginningWithItsEnd) {
    const auto filterOnSpan = [this](const QString& first, const QString& last) {
        area_.filter = [this, first, last] {
            ++conditionCalls_;
            const QString name = Name().toUpper();
            return name >= first && name.left(last.size()) <= last;
        };
        ++area_.filterSerial;
        area_.filterSpan = [first, last] { return KeySpan{first, last}; };
        area_.filterSpanFor = "UPPER(VORNAME)";
        area_.filterDecidesFor = QString();
        area_.rangeOrder = nullptr;
        conditionCalls_ = 0;
    };
    filterOnSpan("BERT", "D");  // Carl between them is deleted
    const auto [lo, hi] = Range(area_);
    EXPECT_EQ(hi - lo, 3u);
    EXPECT_EQ(Walk(), (QStringList{"Bert", "Dora"}));
    EXPECT_LE(conditionCalls_, 3) << "only the span is judged";
    Skip(area_, -1);
    EXPECT_EQ(Name(), "Dora");
    GoBottom(area_);
    EXPECT_EQ(Name(), "Dora");

    // A span with an empty end runs to the last key; one whose end sorts
    // before its start holds nothing.
    filterOnSpan("BERN", "");
    EXPECT_EQ(Walk(), (QStringList{"Bernd", "Bert", "Dora"}));
    filterOnSpan("C", "B");
    EXPECT_EQ(Walk(), QStringList{});
    EXPECT_TRUE(area_.eof);
}

TEST_F(CursorWalk, APromiseMadeForAnotherOrderOrUnencodableTextLeavesTheConditionToDecide) {
    FilterOnPrefix("BER", KeyRange::Decides);
    area_.filterSpanFor = area_.filterDecidesFor = "UPPER(NACHNAME)";
    const auto [lo, hi] = Range(area_);
    EXPECT_EQ(hi - lo, 5u) << "the whole order is walked";
    EXPECT_FALSE(area_.rangeDecidesFilter);
    EXPECT_EQ(Walk(), (QStringList{"Bernd", "Bert"}));

    // A prefix the code page cannot hold is stored as "?", which is no key of it.
    conditionCalls_ = 0;
    FilterOnPrefix(QString::fromUtf8("B\u0142"), KeyRange::Decides);
    Range(area_);
    EXPECT_FALSE(area_.rangeDecidesFilter);
    EXPECT_TRUE(Walk().isEmpty());
}

TEST_F(CursorWalk, AWalkStepChangesWhenThePointerTheKeysOrTheFilterChange) {
    GoTop(area_);
    const WalkStep before = WalkStepOf(area_);
    EXPECT_EQ(WalkStepOf(area_), before);
    Skip(area_, 1);
    EXPECT_NE(WalkStepOf(area_), before);
    GoTop(area_);
    ++area_.filterSerial;
    EXPECT_NE(WalkStepOf(area_), before);
}

}  // namespace
