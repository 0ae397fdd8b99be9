// The private address window as a new user meets it: dates typed into its
// pickers in each language's format and stored exactly, the focus where the
// next keystroke belongs after New, Cancel and Save new, and Tab reaching
// every control of the form over an empty birth date.
#include "apps/addresses/private_addresses.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QTest>

namespace {

using kesp::test::TestDriver;

QWidget* Focused() {
    return TestDriver::widget("form1")->focusWidget();
}
bool HasFocus(const QString& control) {
    return Focused() == TestDriver::widget("form1", control);
}

class DailyUse : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        CreatePrivateBook(
            {{.vorname = "Anna", .geburtstag = QDate(1970, 5, 17)}, {.vorname = "Bernd"}});
    }

    // The stored birth date of the record with this first name.
    QDate StoredBirthDate(const QString& firstName) {
        DBCLOSEALL();
        DBUSEAREA(false, dataPath() + "adressen_p.dbf", "stored");
        QDate date;
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            if (FIELD("VORNAME").toString().trimmed() == firstName)
                date = FIELD("GEBURTSTAG").toDate();
        }
        DBCLOSEAREA();
        return date;
    }
};

TEST_F(DailyUse, TypedBirthDatesAreStoredExactlyInEveryLanguage) {
    struct Case {
        const char* language;
        const char* typed;
        QDate date;
    };
    // Each typed once with its separators, once as digits only.
    const Case cases[] = {
        {"DE", "01.05.2015", QDate(2015, 5, 1)},  {"DE", "24122006", QDate(2006, 12, 24)},
        {"BR", "15/03/2021", QDate(2021, 3, 15)}, {"BR", "29022000", QDate(2000, 2, 29)},
        {"AM", "03/15/1975", QDate(1975, 3, 15)}, {"AM", "12311999", QDate(1999, 12, 31)}};
    int added = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.typed);
        UseLanguage(c.language);
        OPENFORM_ADRESSE_P();
        // Into the empty picker of a new record.
        const QString name = QString("Neu%1").arg(++added);
        TestDriver::click("form1", "x5");
        TestDriver::typeInto("form1", "t_vorname", name);
        TestDriver::typeInto("form1", "DatePicker_1", c.typed);
        TestDriver::click("form1", "Button_1");
        // Into the filled picker of Anna, whose date is replaced whole.
        TestDriver::select("form1", "Browse_1", 1);
        ASSERT_EQ(TestDriver::read("form1", "t_vorname").toString(), "Anna");
        TestDriver::typeInto("form1", "DatePicker_1", c.typed);
        TestDriver::click("form1", "x8");
        TestDriver::closeWindow("form1");

        EXPECT_EQ(StoredBirthDate(name), c.date);
        EXPECT_EQ(StoredBirthDate("Anna"), c.date);
    }
    EXPECT_TRUE(TakeMessages().isEmpty());
}

TEST_F(DailyUse, ATypedTextThatIsNoDateKeepsTheStoredDate) {
    OPENFORM_ADRESSE_P();
    ASSERT_EQ(TestDriver::read("form1", "t_vorname").toString(), "Anna");
    TestDriver::typeInto("form1", "DatePicker_1", "31022015");
    TestDriver::click("form1", "x8");
    TestDriver::closeWindow("form1");
    EXPECT_EQ(StoredBirthDate("Anna"), QDate(1970, 5, 17));
}

TEST_F(DailyUse, NewPutsTheFocusIntoTheFirstFieldCancelAndSaveNewBackIntoTheList) {
    OPENFORM_ADRESSE_P();
    TestDriver::typeInto("form1", "suche_ad_p", "A");
    ASSERT_TRUE(HasFocus("suche_ad_p"));
    TestDriver::select("form1", "Tab_1", 2);  // the free fields are in front

    TestDriver::click("form1", "x5");
    EXPECT_TRUE(HasFocus("t_vorname"));
    EXPECT_EQ(TestDriver::read("form1", "Tab_1").toInt(), 1);
    // What the user types next lands in the new record, not in the search.
    for (const char key : QByteArray("Carla"))
        QTest::keyClick(Focused(), key);
    EXPECT_EQ(TestDriver::read("form1", "t_vorname").toString(), "Carla");
    EXPECT_EQ(TestDriver::read("form1", "suche_ad_p").toString(), "A");

    TestDriver::click("form1", "Button_2");  // cancel
    EXPECT_TRUE(HasFocus("Browse_1"));

    TestDriver::click("form1", "x5");
    EXPECT_TRUE(HasFocus("t_vorname"));
    TestDriver::typeInto("form1", "t_vorname", "Carla");
    TestDriver::click("form1", "Button_1");  // save new
    EXPECT_TRUE(HasFocus("Browse_1"));
    EXPECT_EQ(StoredNames("adressen_p.dbf"), (QStringList{"Anna", "Bernd", "Carla"}));
}

TEST_F(DailyUse, TabReachesEveryControlOfTheFormOverAnEmptyBirthDate) {
    OPENFORM_ADRESSE_P();
    TestDriver::select("form1", "Browse_1", 2);  // Bernd, without a birth date
    ASSERT_FALSE(TestDriver::read("form1", "DatePicker_1").toDate().isValid());
    QApplication::processEvents();  // the toolbar lays its buttons out

    TestDriver::widget("form1", "t_vorname")->setFocus();
    QStringList visited;
    for (int step = 0; step < 40 && !visited.contains("t_emailfirma"); ++step) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        visited << Focused()->objectName();
    }
    EXPECT_EQ(visited.join(' '),
              "t_nachname t_email DatePicker_1 Check_1 t_tel t_handy t_fax t_strasse t_plz t_ort "
              "t_firma t_telfirma t_faxfirma t_emailfirma");
    EXPECT_FALSE(TestDriver::read("form1", "DatePicker_1").toDate().isValid());
}

}  // namespace
