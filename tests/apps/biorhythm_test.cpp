// The biorhythm: the cycles' values and day labels as numbers and texts, and
// the window driven through the test driver: opening, the three chart
// buttons, an empty birth date, storing the birth date and printing.
#include "apps/biorhythm/biorhythm.h"
#include "apps/biorhythm/biorhythm_values.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "tests/apps/recorded_printing.h"
#include "toolkit/forms.h"

#include <QImage>
#include <QWidget>

namespace {

using kesp::test::TestDriver;

QStringList TwoDecimals(int dayDifference) {
    QStringList values;
    for (const BiorhythmCycle& cycle : kBiorhythmCycles)
        values.append(QString::number(CycleValue(dayDifference, cycle.period), 'f', 2));
    return values;
}

TEST(BiorhythmValues, CyclesOfTwentyThreeTwentyEightAndThirtyThreeDays) {
    EXPECT_EQ(TwoDecimals(0), (QStringList{"0.00", "0.00", "0.00"}));
    EXPECT_EQ(TwoDecimals(7), (QStringList{"94.23", "100.00", "97.18"}));
    EXPECT_EQ(TwoDecimals(23), (QStringList{"0.00", "-90.10", "-94.50"}));
    EXPECT_EQ(TwoDecimals(14), (QStringList{"-63.11", "0.00", "45.82"}));
    // Before the birth date the cycles run backwards without a seam.
    EXPECT_EQ(TwoDecimals(-1), (QStringList{"-26.98", "-22.25", "-18.93"}));
    EXPECT_EQ(TwoDecimals(-1), TwoDecimals(23 * 28 * 33 - 1));
    EXPECT_DOUBLE_EQ(CycleValue(-30, 23), CycleValue(16, 23));
}

TEST(BiorhythmValues, TenDaysFromTheStartDateForEachCycle) {
    const QDate birth(1980, 1, 1);
    const QList<QList<double>> onBirthday = BiorhythmValues(birth, birth, 10);
    ASSERT_EQ(onBirthday.size(), 3);
    for (const QList<double>& cycle : onBirthday) {
        ASSERT_EQ(cycle.size(), 10);
        EXPECT_EQ(cycle[0], 0);  // all three start at 0 ...
        EXPECT_GT(cycle[1], 0);  // ... and rise
    }
    const QList<QList<double>> later = BiorhythmValues(birth, birth.addDays(7), 10);
    EXPECT_DOUBLE_EQ(later[1][0], 100);
    EXPECT_DOUBLE_EQ(later[0][3], CycleValue(10, 23));
    // Without a birth date there is nothing to chart.
    for (const QList<double>& cycle : BiorhythmValues(QDate(), birth, 10))
        EXPECT_TRUE(cycle.isEmpty());
}

TEST(BiorhythmValues, DayLabelsRightAlignTheDayInThreeCharacters) {
    EXPECT_EQ(DayLabel(QDate(2006, 12, 6)), "  6.12");
    EXPECT_EQ(DayLabel(QDate(2006, 11, 30)), " 30.11");
    EXPECT_EQ(DayLabel(QDate(2006, 12, 1)), "  1.12");
    EXPECT_EQ(DayLabel(QDate(2008, 2, 29)), " 29.2");
    EXPECT_EQ(DayLabel(QDate()), "");
}

const QColor kPhysical(128, 128, 255);

class Biorhythm : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        driver_.setToday(QDate(2006, 12, 6));
        StoreBirthDates({QDate(1980, 1, 1)});
    }
    void TearDown() override {
        if (TestDriver::isOpen("bioform")) TestDriver::closeWindow("bioform");
        AddressFixture::TearDown();
    }

    // "geburt.dbf" anew with one record per date (none: an empty table).
    void StoreBirthDates(const QList<QDate>& dates) {
        InstallTable("geburt.dbf", false);
        DBUSEAREA(false, dataPath() + "geburt.dbf", "g");
        for (const QDate& date : dates) {
            DBAPPEND();
            REPLACE("DATUM", date);
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }
    QList<QDate> StoredBirthDates() {
        DBUSEAREA(true, dataPath() + "geburt.dbf", "g");
        QList<QDate> dates;
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            dates.append(FIELD("DATUM").toDate());
        }
        DBCLOSEAREA();
        return dates;
    }

    static QDate DateIn(const QString& picker) {
        return TestDriver::read("bioform", picker).toDate();
    }
    static QImage Chart() { return TestDriver::widget("bioform", "Graph")->grab().toImage(); }
    static int Pixels(const QImage& image, const QColor& colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == colour.rgb();
        return count;
    }
};

TEST_F(Biorhythm, OpensWithTheStoredBirthDateTodayAndTheLineChart) {
    OPENBIO();
    EXPECT_EQ(DateIn("Text_3"), QDate(1980, 1, 1));
    EXPECT_EQ(DateIn("Text_2"), QDate(2006, 12, 6));
    EXPECT_EQ(GETPROPERTY("bioform", "Title").toString(), "Biorhythmus");
    EXPECT_EQ(TestDriver::widget("bioform")->property("chartRect").toRect(),
              QRect(20, 20, 590, 280));
    const QImage lines = Chart();
    EXPECT_GT(Pixels(lines, kPhysical), 500);
    EXPECT_GT(Pixels(lines, kPhysical.darker(140)), 0);  // the bands' edges
    EXPECT_EQ(Pixels(lines, kPhysical.darker(165)), 0);  // no side faces

    TestDriver::click("bioform", "Button_2");
    EXPECT_GT(Pixels(Chart(), kPhysical.darker(165)), 50);  // bars with side faces

    TestDriver::click("bioform", "Button_3");
    const QImage points = Chart();
    EXPECT_GT(Pixels(points, kPhysical), 100);
    EXPECT_EQ(Pixels(points, kPhysical.darker(165)), 0);  // flat
    EXPECT_LT(Pixels(points, kPhysical), Pixels(lines, kPhysical));

    TestDriver::click("bioform", "Button_1");
    EXPECT_EQ(Chart(), lines);
}

TEST_F(Biorhythm, DatesAreReadWhenAChartButtonIsPressed) {
    OPENBIO();
    const QImage today = Chart();
    SETPROPERTY("bioform", "Text_2", "value", QDate(2006, 12, 13));
    EXPECT_EQ(Chart(), today);  // nothing redrawn yet
    TestDriver::click("bioform", "Button_1");
    EXPECT_NE(Chart(), today);
}

TEST_F(Biorhythm, TheStartDateCannotBeEmptiedTheBirthDateCan) {
    OPENBIO();
    TestDriver::clearText("bioform", "Text_2");
    EXPECT_EQ(DateIn("Text_2"), QDate(2006, 12, 6));
    SETPROPERTY("bioform", "Text_2", "value", QDate());
    EXPECT_EQ(DateIn("Text_2"), QDate(2006, 12, 6));
    TestDriver::clearText("bioform", "Text_3");
    EXPECT_FALSE(DateIn("Text_3").isValid());
}

TEST_F(Biorhythm, WithoutABirthDateTheChartHasItsAxesAndLegendButNoSeries) {
    StoreBirthDates({QDate()});
    OPENBIO();
    EXPECT_FALSE(DateIn("Text_3").isValid());
    for (const char* button : {"Button_1", "Button_2", "Button_3"}) {
        TestDriver::click("bioform", button);
        const QImage chart = Chart();
        EXPECT_GT(Pixels(chart, kPhysical), 0) << button;          // the legend's block
        EXPECT_LT(Pixels(chart, kPhysical), 150) << button;        // and nothing more
        EXPECT_GT(Pixels(chart, QColor(255, 0, 0)), 0) << button;  // the title
    }
    SETPROPERTY("bioform", "Text_3", "value", QDate(1980, 1, 1));
    TestDriver::click("bioform", "Button_1");
    EXPECT_GT(Pixels(Chart(), kPhysical), 500);
}

TEST_F(Biorhythm, StoringTheBirthDateWritesTheFirstRecordAndSaysTheChartIsOld) {
    OPENBIO();
    const QImage before = Chart();
    SETPROPERTY("bioform", "Text_3", "value", QDate(1975, 6, 15));
    TestDriver::click("bioform", "Button_5");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGBOX: Geburtsdatum wurde gespeichert.\nAnalyse noch "
                                          "nicht aktualisiert (Diagrammtyp auswählen)."});
    EXPECT_EQ(StoredBirthDates(), QList<QDate>{QDate(1975, 6, 15)});
    EXPECT_EQ(Chart(), before);  // the old chart stays until a chart button is pressed
}

TEST_F(Biorhythm, StoringIntoATableWithoutRecordAppendsItFirst) {
    StoreBirthDates({});
    OPENBIO();
    EXPECT_FALSE(DateIn("Text_3").isValid());
    SETPROPERTY("bioform", "Text_3", "value", QDate(1975, 6, 15));
    TestDriver::click("bioform", "Button_5");
    EXPECT_EQ(TakeMessages().size(), 1);
    EXPECT_EQ(StoredBirthDates(), QList<QDate>{QDate(1975, 6, 15)});
    TestDriver::closeWindow("bioform");
    OPENBIO();
    EXPECT_EQ(DateIn("Text_3"), QDate(1975, 6, 15));
}

TEST_F(Biorhythm, PrintingShowsTheDialogThenTheChartAloneInThePreview) {
    RecordedPrinting printing;
    OPENBIO();
    TestDriver::click("bioform", "Button_4");  // the print dialog cancelled
    EXPECT_TRUE(printing.previews.isEmpty());

    printing.printer = PrintChoice{};
    QSize printed;
    printing.onPreview = [&printed](PrintPreview& preview) {
        printed = QImage(preview.pages().page(0).pictures.value(0).file).size();
    };
    TestDriver::click("bioform", "Button_4");
    ASSERT_EQ(printing.previews.size(), 1);
    ASSERT_EQ(printing.previews[0].size(), 1);
    const RecordedPage page = printing.previews[0][0];
    ASSERT_EQ(page.pictures.size(), 1);
    EXPECT_TRUE(page.texts.isEmpty());
    EXPECT_EQ(printed, QSize(590, 280));  // the chart rectangle alone
    const QRectF area = page.pictures[0].areaMm;
    EXPECT_NEAR(area.width() / area.height(), 590.0 / 280.0, 1e-6);
    EXPECT_TRUE(TakeMessages().isEmpty());
}

}  // namespace
