// Random appends, writes, deletes, packs and reopenings applied to the store
// and to a plain in-memory model, compared after every step, over both memo
// kinds and with an index kept current.
#include "store/codec.h"
#include "test_support.h"

#include <algorithm>
#include <random>
#include <tuple>

namespace {

struct Row {
    QString name;
    double number = 0;
    QDate date;
    QString memo;
    bool deleted = false;
};

class Model : public StoreTest, public ::testing::WithParamInterface<kesp::MemoKind> {
  protected:
    std::mt19937 random_{GetParam() == kesp::MemoKind::Dbt ? 7u : 11u};
    std::vector<Row> rows_;

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QString RandomName() {
        static const QStringList parts = {"an", "Bé", "ör", "ß", "MA", "ri",
                                          "Ç",  "€",  "→",  "x", " "};
        QString name;
        for (int i = Pick(6); i >= 0; --i)
            name += parts[Pick(parts.size())];
        return name;
    }
    QString RandomMemo() {
        if (Pick(4) == 0) return {};
        return QStringLiteral("zeile\r\n").repeated(Pick(200)) + QChar(0x8D) + QChar(0x0A) +
               RandomName();
    }
    // What a C(10) field gives back for the text written into it.
    static QString Stored(const QString& text) {
        return kesp::store::DecodeText(kesp::store::EncodeText(text).left(10)).leftJustified(10);
    }
    static QString StoredMemo(const QString& text) {
        return kesp::store::DecodeText(kesp::store::EncodeText(text));
    }

    void Compare(int step) {
        ASSERT_EQ(RECCOUNT(), static_cast<int>(rows_.size())) << "step " << step;
        const bool hide = true;
        SET_DELETED(false);
        for (int r = 1; r <= RECCOUNT(); ++r) {
            DBGOTO(r);
            const Row& row = rows_[r - 1];
            ASSERT_EQ(FIELD("NAME").toString(), row.name) << "step " << step << " record " << r;
            ASSERT_EQ(FIELD("NR").toDouble(), row.number) << "step " << step;
            ASSERT_EQ(FIELD("DATUM").toDate(), row.date) << "step " << step;
            ASSERT_EQ(FIELD("TEXT").toString(), row.memo) << "step " << step << " record " << r;
            ASSERT_EQ(DELETED(), row.deleted) << "step " << step;
        }
        SET_DELETED(hide);
        // The index order: upper-cased key bytes, then record number; deleted ones hidden.
        std::vector<std::pair<QByteArray, int>> expected;
        for (int r = 1; r <= static_cast<int>(rows_.size()); ++r) {
            if (!rows_[r - 1].deleted)
                expected.push_back({kesp::store::EncodeText(UPPER(rows_[r - 1].name)), r});
        }
        std::sort(expected.begin(), expected.end());
        std::vector<std::pair<QByteArray, int>> actual;
        DBEVAL([&actual] {
            actual.push_back({kesp::store::EncodeText(UPPER(FIELD("NAME"))), RECNO()});
        });
        ASSERT_EQ(actual, expected) << "step " << step;
        ExpectCounts(expected, step);
    }

    // DBCOUNT against the model and against DBEVAL's walk, pointer included,
    // with no filter and under a quick search's filter on a key prefix,
    // whether its key range decides or the condition is asked.
    void ExpectCounts(const std::vector<std::pair<QByteArray, int>>& visible, int step) {
        const auto pointer = [] { return std::tuple(DBEOF(), BOF(), FOUND(), RECNO()); };
        const auto expectLikeAWalk = [&](int expected) {
            DBGOTO(1);
            int walked = 0;
            DBEVAL([&walked] { ++walked; });
            const auto afterWalk = pointer();
            DBGOTO(1);
            EXPECT_EQ(DBCOUNT(), expected) << "step " << step;
            EXPECT_EQ(walked, expected) << "step " << step;
            EXPECT_EQ(pointer(), afterWalk) << "step " << step;
        };
        DBCLEARFILTER();
        expectLikeAWalk(static_cast<int>(visible.size()));
        QByteArray prefix = kesp::store::EncodeText(UPPER(RandomName())).left(1 + Pick(2));
        if (!visible.empty() && Pick(2) == 0) prefix = visible[Pick(visible.size())].first.left(2);
        const int matches = static_cast<int>(
            std::count_if(visible.begin(), visible.end(),
                          [&prefix](const auto& entry) { return entry.first.startsWith(prefix); }));
        const QString cpesq = kesp::store::DecodeText(prefix);
        const Condition condition = [&cpesq] { return EQ(UPPER(FIELD("NAME")), cpesq); };
        for (const KeyRange range : {KeyRange::Decides, KeyRange::Narrows}) {
            DBSETFILTER(
                condition, "UPPER(name) = cPesq", [&cpesq] { return cpesq; }, range);
            expectLikeAWalk(matches);
            // Every record the walk visits is visible where it stands, and
            // each record, gone to, as its key and mark say.
            int visible = 0;
            DBEVAL([&visible] { visible += DBRECORDVISIBLE() ? 1 : 0; });
            EXPECT_EQ(visible, matches) << "step " << step;
            const auto expected = [this, &prefix](int r) {
                return !rows_[r - 1].deleted &&
                       kesp::store::EncodeText(UPPER(rows_[r - 1].name)).startsWith(prefix);
            };
            for (int r = 1; r <= static_cast<int>(rows_.size()); ++r) {
                DBGOTO(r);
                EXPECT_EQ(DBRECORDVISIBLE(), expected(r)) << "step " << step << " record " << r;
            }
            // The same with the pointer standing on each record in the order.
            DBCLEARFILTER();
            SET_DELETED(false);
            for (DBGOTOP(); !DBEOF(); DBSKIP(1)) {
                DBSETFILTER(
                    condition, "UPPER(name) = cPesq", [&cpesq] { return cpesq; }, range);
                SET_DELETED(true);
                EXPECT_EQ(DBRECORDVISIBLE(), expected(RECNO())) << "step " << step;
                SET_DELETED(false);
                DBCLEARFILTER();
            }
            SET_DELETED(true);
        }
        // Without a promise every record is judged, also with deleted ones shown.
        DBSETFILTER(condition, "UPPER(name) = cPesq");
        expectLikeAWalk(matches);
        SET_DELETED(false);
        const int withDeleted =
            static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [&prefix](const Row& row) {
                return kesp::store::EncodeText(UPPER(row.name)).startsWith(prefix);
            }));
        expectLikeAWalk(withDeleted);
        SET_DELETED(true);
        DBCLEARFILTER();
    }

    void OpenWithIndex() {
        DBUSEAREA(true, Path("m.dbf"));
        DBCREATEINDEX("iname", "UPPER(name)");
    }
};

}  // namespace

TEST_P(Model, RandomChangesMatchAPlainModel) {
    kesp::CreateTable(
        Path("m.dbf"),
        {{"NAME", 'C', 10, 0}, {"NR", 'N', 7, 2}, {"DATUM", 'D', 8, 0}, {"TEXT", 'M', 10, 0}},
        GetParam());
    OpenWithIndex();
    for (int step = 0; step < 400; ++step) {
        const int action = Pick(100);
        if (action < 30 || rows_.empty()) {
            DBAPPEND();
            Row row;
            row.name = Stored({});
            const QString name = RandomName();
            REPLACE("NAME", name);
            row.name = Stored(name);
            const double number = Pick(200000) / 100.0 - 1000;
            REPLACE("NR", number);
            row.number = QString::number(number, 'f', 2).toDouble();  // as stored: N(7,2)
            if (Pick(3) > 0) {
                row.date = QDate(1950, 1, 1).addDays(Pick(30000));
                REPLACE("DATUM", row.date);
            }
            const QString memo = RandomMemo();
            REPLACE("TEXT", memo);
            row.memo = StoredMemo(memo);
            rows_.push_back(row);
        } else if (action < 60) {
            const int r = Pick(static_cast<int>(rows_.size())) + 1;
            DBGOTO(r);
            switch (Pick(3)) {
                case 0: {
                    const QString name = RandomName();
                    REPLACE("NAME", name);
                    rows_[r - 1].name = Stored(name);
                    break;
                }
                case 1: {
                    const QString memo = RandomMemo();
                    REPLACE("TEXT", memo);
                    rows_[r - 1].memo = StoredMemo(memo);
                    break;
                }
                default:
                    REPLACE("DATUM", QDate());
                    rows_[r - 1].date = QDate();
            }
        } else if (action < 75) {
            const int r = Pick(static_cast<int>(rows_.size())) + 1;
            DBGOTO(r);
            const bool remove = Pick(4) > 0;
            remove ? DBDELETE() : DBRECALL();
            rows_[r - 1].deleted = remove;
        } else if (action < 82) {
            __DBPACK();
            std::erase_if(rows_, [](const Row& row) { return row.deleted; });
        } else if (action < 92) {
            DBCOMMIT();
        } else {
            DBCLOSEALL();
            OpenWithIndex();
        }
        Compare(step);
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Store, Model, ::testing::Values(kesp::MemoKind::Dbt, kesp::MemoKind::Fpt),
                         [](const auto& info) {
                             return info.param == kesp::MemoKind::Dbt ? "Dbt" : "Fpt";
                         });
