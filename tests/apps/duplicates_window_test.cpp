// The duplicates window over both address books: a group found across the
// books, merged with a chosen value, read back with python3-dbfread; only
// the ticked members merged; one Ctrl+Z for the whole merge.
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "tests/apps/other_reader.h"
#include "toolkit/accessible_names.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>

namespace {

using kesp::test::TestDriver;

QString Read(const QString& control, const QString& property = "value") {
    return TestDriver::read("doppelt", control, property).toString();
}

QString Item(const QString& control, int n) {
    return GETPROPERTY("doppelt", control, "item", n).toString();
}

class DuplicatesWindow : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        CreatePrivateBook({{.vorname = "Jürgen", .nachname = "Weiß", .free10 = "erste"},
                           {.vorname = "Anna", .nachname = "Alt"},
                           {.vorname = "weiss", .nachname = "JURGEN", .free10 = "zweite"}});
        CreateBusinessBook({{.vorname = "ACME", .nachname = "Jürgen Weiß", .free01 = "Verkauf"}});
        SetField("adressen_p.dbf", 1, "TEL", "+49 30 12345");
        SetField("adressen_p.dbf", 3, "TEL", "030 99999");
        SetField("adressen_g.dbf", 1, "TEL", "0049 30 12345");
    }

    void SetField(const QString& table, int record, const QString& field, const QVariant& value) {
        DBUSEAREA(false, dataPath() + table, "t");
        DBGOTO(record);
        REPLACE(field, value);
        DBCOMMIT();
        DBCLOSEAREA();
    }

    // The row of List_fields for the field captioned `caption`; 0 when none.
    static int FieldRow(const QString& caption) {
        for (int row = 1; row <= Read("List_fields", "itemcount").toInt(); ++row)
            if (Item("List_fields", row).startsWith(caption + ": ")) return row;
        return 0;
    }

    // Space on member n, as the user ticks or unticks it.
    static void ToggleMember(int n) {
        TestDriver::select("doppelt", "List_members", n);
        QTest::keyClick(TestDriver::widget("doppelt", "List_members"), Qt::Key_Space);
    }

    static void CtrlZOnTheList() {
        QWidget* list = TestDriver::widget("form1", "Browse_1");
        QApplication::setActiveWindow(list->window());  // the duplicates window had it
        DOMETHOD("form1", "Browse_1", "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    }
};

TEST_F(DuplicatesWindow, AGroupAcrossBothBooksIsMergedWithTheValueChosen) {
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x11");
    EXPECT_EQ(Read("List_1", "itemcount"), "1");
    EXPECT_EQ(Item("List_1", 1),
              "Jürgen Weiß [Privat] · weiss JURGEN [Privat] · ACME Jürgen Weiß [Firmen]");
    EXPECT_EQ(Read("Label_count"), "1 Gruppe gefunden");
    EXPECT_EQ(Item("Combo_keep", 1), "Jürgen Weiß [Privat]");
    EXPECT_EQ(Item("List_members", 3),
              "ACME Jürgen Weiß [Firmen]\nTelefon-Durchwahl: 0049 30 12345; Abteilung: Verkauf");
    const int telephone = FieldRow("Telefon");
    ASSERT_GT(telephone, 0);
    EXPECT_EQ(Item("List_fields", telephone), "Telefon: +49 30 12345") << "the kept one's first";
    TestDriver::select("doppelt", "List_fields", telephone);
    EXPECT_EQ(Read("Combo_value", "itemcount"), "3");
    EXPECT_EQ(Item("Combo_value", 2), "030 99999");
    TestDriver::select("doppelt", "Combo_value", 2);
    EXPECT_EQ(Item("List_fields", telephone), "Telefon: 030 99999");
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

TEST_F(DuplicatesWindow, OneCtrlZInTheCallingWindowBringsBackTheWholeMerge) {
    OPENFORM_ADRESSE_P();
    TestDriver::typeInto("form1", "suche_ad_p", "j");
    TestDriver::click("form1", "x11");
    TestDriver::click("doppelt", "Button_merge");
    TakeMessages();
    TestDriver::closeWindow("doppelt");
    ASSERT_EQ(ListRows("form1"), (QStringList{"Anna", "Jürgen"}));
    EXPECT_EQ(TestDriver::read("form1", "suche_ad_p").toString(), "")
        << "the search box keeps no search the list no longer shows";
    CtrlZOnTheList();
    EXPECT_EQ(ListRows("form1"), (QStringList{"Anna", "Jürgen", "weiss"}));
    CtrlZOnTheList();  // nothing more to take back
    EXPECT_TRUE(TakeMessages().isEmpty());
    TestDriver::closeWindow("form1");

    const QString privateTable = dataPath() + "adressen_p.dbf";
    EXPECT_EQ(ReadWithDbfread(privateTable, "TEL"), (QStringList{"+49 30 12345", "", "030 99999"}))
        << "the kept record as it was";
    EXPECT_EQ(ReadWithDbfread(privateTable, "FREE10").join('\n').remove('\r'),
              "erste\nNone\nzweite");
    EXPECT_EQ(ReadWithDbfread(dataPath() + "adressen_g.dbf", "VORNAME"), QStringList{"ACME"})
        << "the other book's record too";
}

TEST_F(DuplicatesWindow, AnUntickedMemberStaysUntouched) {
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x11");
    ToggleMember(3);
    EXPECT_FALSE(GETPROPERTY("doppelt", "List_members", "checked", 3).toBool());
    EXPECT_EQ(Read("Combo_keep", "itemcount"), "2");
    EXPECT_EQ(Read("Label_more"), "3 Felder haben verschiedene Werte.");
    ToggleMember(2);
    EXPECT_EQ(Read("Button_merge", "enabled"), "false") << "one ticked record merges nothing";
    ToggleMember(2);
    TestDriver::click("doppelt", "Button_merge");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGBOX: Zusammengeführt: „Jürgen Weiß [Privat]“ behalten, 1 Eintrag "
                          "gelöscht."});
    TestDriver::closeWindow("doppelt");
    TestDriver::closeWindow("form1");
    EXPECT_EQ(ReadWithDbfread(dataPath() + "adressen_g.dbf", "TEL"), QStringList{"0049 30 12345"});
    EXPECT_EQ(ReadWithDbfread(dataPath() + "adressen_g.dbf", "FREE01"), QStringList{"Verkauf"});
    EXPECT_EQ(ReadWithDbfread(dataPath() + "adressen_p.dbf", "FREE10").join('\n').remove('\r'),
              "erste\nzweite\nNone");
}

TEST_F(DuplicatesWindow, OnlyTheSamePersonGroupsAndEveryDifferingFieldIsOffered) {
    CreatePrivateBook({{.vorname = "Jürgen", .nachname = "Weiß"},
                       {.vorname = "Juergen", .nachname = "Weiss"},
                       {.vorname = "J.", .nachname = "Smith"},
                       {.vorname = "John", .nachname = "Smith"},
                       {.vorname = "Anna", .nachname = "Becker"},
                       {.vorname = "Bernd", .nachname = "Becker"}});
    CreateBusinessBook({{.vorname = "Zentrale AG", .nachname = "Clara Kunz"},
                        {.vorname = "Zentrale AG", .nachname = "Dieter Roth"},
                        {.vorname = "Zentrale AG", .nachname = "Emil Sand"}});
    SetField("adressen_p.dbf", 1, "HANDY", "0171 5550001");
    SetField("adressen_p.dbf", 2, "HANDY", "+49 171 5550001");
    SetField("adressen_p.dbf", 3, "EMAIL", "smith@example.org");
    SetField("adressen_p.dbf", 4, "EMAIL", "Smith@example.org");
    SetField("adressen_p.dbf", 5, "TEL", "030 445566");
    SetField("adressen_p.dbf", 6, "TEL", "030 445566");
    for (int record = 1; record <= 3; ++record)
        SetField("adressen_g.dbf", record, "TEL", "0221 178-0");
    // Thirteen fields of the pair differ besides the names and the mobile.
    const QStringList differing{"STRASSE", "PLZ",    "ORT",      "TEL",      "FAX",
                                "EMAIL",   "FIRMA",  "TELFIRMA", "FAXFIRMA", "EMAILFIRMA",
                                "FREE01",  "FREE02", "FREE03"};
    for (const QString& field : differing) {
        SetField("adressen_p.dbf", 1, field, field.toLower() + "1");
        SetField("adressen_p.dbf", 2, field, field.toLower() + "2");
    }
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x11");
    EXPECT_EQ(Read("Label_count"), "2 Gruppen gefunden");
    EXPECT_EQ(Item("List_1", 1), "Jürgen Weiß [Privat] · Juergen Weiss [Privat]");
    EXPECT_EQ(Item("List_1", 2), "J. Smith [Privat] · John Smith [Privat]");
    EXPECT_EQ(Read("List_fields", "itemcount"), "16") << "the names and the mobile too";
    EXPECT_EQ(Read("Label_more"), "16 Felder haben verschiedene Werte.");
    TestDriver::select("doppelt", "List_1", 2);
    EXPECT_EQ(Read("Combo_keep", "itemcount"), "2");
    TestDriver::click("doppelt", "Button_merge");
    TakeMessages();
    EXPECT_EQ(Read("Label_count"), "1 Gruppe gefunden");
    TestDriver::closeWindow("doppelt");
    TestDriver::closeWindow("form1");
}

TEST_F(DuplicatesWindow, WorksByKeyboardWithANameForEveryControlAndGrowsWithTheWindow) {
    OPENFORM_ADRESSE_P();
    TestDriver::click("form1", "x11");
    QWidget* groups = TestDriver::widget("doppelt", "List_1");
    QApplication::setActiveWindow(groups->window());
    groups->setFocus();
    QStringList order;
    QWidget* at = groups;
    for (int step = 0; step < 100 && order.size() < 7; ++step, at = at->nextInFocusChain())
        if (at->focusPolicy() & Qt::TabFocus && at->isVisibleTo(groups->window()))
            order.append(at->objectName());
    EXPECT_EQ(order, (QStringList{"List_1", "List_members", "Combo_keep", "List_fields",
                                  "Combo_value", "Button_merge", "Button_close"}));
    for (const QString& control : order)
        EXPECT_FALSE(kesp::ScreenReaderName(TestDriver::widget("doppelt", control)).isEmpty())
            << control.toStdString();
    EXPECT_EQ(kesp::ScreenReaderName(TestDriver::widget("doppelt", "List_members")),
              "Einträge der Gruppe (angehakt: dieselbe Person):");

    const int membersWidth = Read("List_members", "width").toInt();
    SETPROPERTY("doppelt", "width", GETPROPERTY("doppelt", "width").toInt() + 200);
    EXPECT_EQ(Read("List_members", "width").toInt(), membersWidth + 200);

    TestDriver::pressKey("doppelt", "Button_close", Qt::Key_Return);
    EXPECT_FALSE(TestDriver::isOpen("doppelt")) << "Enter presses the focused button";
    TestDriver::click("form1", "x11");
    TestDriver::pressKey("doppelt", "List_1", Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen("doppelt"));
    TestDriver::closeWindow("form1");
}

// Six records of one person, each shown whole: the lines of a member wrap
// inside the list, in every language. With KESP_DUPLICATE_SHOTS set the
// window is rendered there for a person to look at.
TEST_F(DuplicatesWindow, ALongGroupShowsEveryMemberWholeInEveryLanguage) {
    CreatePrivateBook({{.vorname = "Jürgen",
                        .nachname = "Weiß",
                        .geburtstag = QDate(1904, 3, 7),
                        .free10 = "Kennt Anna aus dem Chor.\r\nRuft sonntags an."},
                       {.vorname = "Juergen", .nachname = "Weiss", .geburtstag = QDate(1961, 3, 7)},
                       {.vorname = "Weiß", .nachname = "Jürgen", .liste = true}});
    CreateBusinessBook({{.vorname = "ACME Süd GmbH", .nachname = "Jürgen Weiß"},
                        {.vorname = "Bäckerei Brandt & Söhne", .nachname = "Jürgen Weiss"},
                        {.vorname = "Weiß Consulting", .nachname = "Weiß, Jürgen"}});
    for (int record = 1; record <= 3; ++record) {
        for (const QString& table : {QString("adressen_p.dbf"), QString("adressen_g.dbf")}) {
            SetField(table, record, "STRASSE", QString("Lange Gartenstraße %1").arg(record * 7));
            SetField(table, record, "PLZ", "50667");
            SetField(table, record, "ORT", "Köln-Innenstadt");
            SetField(table, record, "HANDY", "0171 5550001");
            SetField(table, record, "EMAIL", QString("juergen.weiss%1@example.org").arg(record));
            SetField(table, record, "TEL", QString("0221 98765-%1").arg(record));
        }
    }
    const QString shots = qEnvironmentVariable("KESP_DUPLICATE_SHOTS");
    if (!shots.isEmpty()) QDir().mkpath(shots);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_ADRESSE_P();
        TestDriver::click("form1", "x11");
        ASSERT_EQ(Read("List_1", "itemcount"), "1") << code;
        ASSERT_EQ(Read("List_members", "itemcount"), "6") << code;
        auto* members = qobject_cast<QListWidget*>(TestDriver::widget("doppelt", "List_members"));
        ASSERT_NE(members, nullptr);
        const int line = members->fontMetrics().height();
        for (int row = 0; row < members->count(); ++row) {
            EXPECT_TRUE(members->item(row)->checkState() == Qt::Checked) << code << row;
            const QRect place = members->visualItemRect(members->item(row));
            EXPECT_GE(place.height(), 3 * line) << code << " member " << row << " wraps";
            EXPECT_LE(place.width(), members->viewport()->width()) << code << row;
        }
        if (!shots.isEmpty()) {
            EXPECT_TRUE(kesp::SaveWindowScreenshot(
                "doppelt", shots + QString("/doppelt_long_%1.png").arg(code)));
            SETPROPERTY("doppelt", "width", 1160);
            SETPROPERTY("doppelt", "height", 800);
            EXPECT_TRUE(kesp::SaveWindowScreenshot(
                "doppelt", shots + QString("/doppelt_long_large_%1.png").arg(code)));
        }
        TestDriver::closeWindow("doppelt");
        TestDriver::closeWindow("form1");
    }
}

}  // namespace
