// The duplicates window over both address books: a group found across the
// books, merged with a chosen value, read back with python3-dbfread.
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "tests/apps/other_reader.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QTest>

namespace {

using kesp::test::TestDriver;

QString Read(const QString& control, const QString& property = "value") {
    return TestDriver::read("doppelt", control, property).toString();
}

class DuplicatesWindow : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        CreatePrivateBook({{.vorname = "Jürgen", .nachname = "Weiß", .free10 = "erste"},
                           {.vorname = "Anna", .nachname = "Alt"},
                           {.vorname = "weiss", .nachname = "JURGEN", .free10 = "zweite"}});
        CreateBusinessBook({{.vorname = "ACME", .nachname = "J. Weiß", .free01 = "Verkauf"}});
        SetTelephone("adressen_p.dbf", 1, "+49 30 12345");
        SetTelephone("adressen_p.dbf", 3, "030 99999");
        SetTelephone("adressen_g.dbf", 1, "0049 30 12345");
    }

    void SetTelephone(const QString& table, int record, const QString& number) {
        DBUSEAREA(false, dataPath() + table, "t");
        DBGOTO(record);
        REPLACE("TEL", number);
        DBCOMMIT();
        DBCLOSEAREA();
    }

    // The choice row whose caption is `caption`; 0 when none is shown.
    static int ChoiceRow(const QString& caption) {
        for (int row = 1; row <= 12; ++row)
            if (TestDriver::read("doppelt", QString("Label_c%1").arg(row), "visible").toBool() &&
                Read(QString("Label_c%1").arg(row)) == caption)
                return row;
        return 0;
    }
};

TEST_F(DuplicatesWindow, AGroupAcrossBothBooksIsMergedWithTheValueChosen) {
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x11");
    EXPECT_EQ(Read("List_1", "itemcount"), "1");
    EXPECT_EQ(GETPROPERTY("doppelt", "List_1", "item", 1).toString(),
              "Jürgen Weiß [Privat] · weiss JURGEN [Privat] · ACME J. Weiß [Firmen]");
    EXPECT_EQ(Read("Label_count"), "1 Gruppen gefunden");
    EXPECT_EQ(GETPROPERTY("doppelt", "Combo_keep", "item", 1).toString(), "Jürgen Weiß [Privat]");
    const int telephone = ChoiceRow("Telefon");
    ASSERT_GT(telephone, 0);
    const QString combo = QString("Combo_c%1").arg(telephone);
    EXPECT_EQ(Read(combo, "itemcount"), "3");
    EXPECT_EQ(GETPROPERTY("doppelt", combo, "item", 2).toString(), "030 99999");
    TestDriver::select("doppelt", combo, 2);
    TestDriver::click("doppelt", "Button_merge");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGBOX: Zusammengeführt: „Jürgen Weiß [Privat]“ behalten, 2 Einträge "
                          "gelöscht."});
    EXPECT_EQ(Read("List_1", "itemcount"), "0");
    EXPECT_EQ(Read("Label_count"), "Keine doppelten Einträge gefunden.");
    TestDriver::closeWindow("doppelt");
    EXPECT_EQ(ListRows("form1"), (QStringList{"Anna", "Jürgen"}));
    TestDriver::closeWindow("form1");

    // As another program reads the tables: the merged-away records are
    // marked deleted, the kept one has the chosen number and every note.
    const QString privateTable = dataPath() + "adressen_p.dbf";
    EXPECT_EQ(ReadWithDbfread(privateTable, "VORNAME"), (QStringList{"Jürgen", "Anna"}));
    EXPECT_EQ(ReadWithDbfread(privateTable, "TEL"), (QStringList{"030 99999", ""}));
    // (The reader gives one line per line of a memo, and None for no memo.)
    EXPECT_EQ(ReadWithDbfread(privateTable, "FREE10").join('\n').remove('\r'),
              "erste\nzweite\nAbteilung: Verkauf\nNone");
    EXPECT_EQ(ReadWithDbfread(dataPath() + "adressen_g.dbf", "VORNAME"), QStringList{});
}

TEST_F(DuplicatesWindow, CtrlZInTheCallingWindowBringsBackWhatTheMergeTookFromItsBook) {
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x11");
    TestDriver::click("doppelt", "Button_merge");
    TakeMessages();
    TestDriver::closeWindow("doppelt");
    ASSERT_EQ(ListRows("form1"), (QStringList{"Anna", "Jürgen"}));
    QWidget* list = TestDriver::widget("form1", "Browse_1");
    QApplication::setActiveWindow(list->window());  // the duplicates window had it
    DOMETHOD("form1", "Browse_1", "SetFocus");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ListRows("form1").size(), 3) << "the private one; the business one waits in its book";
    EXPECT_TRUE(TakeMessages().isEmpty());
    TestDriver::closeWindow("form1");
}

}  // namespace
