// The private address book driven through its window: opening, order, the
// search's words, entry, saving and the count line. Navigation, the quick
// search and deleting, as every record window keeps them, are the
// record-window contract's.
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

namespace {

using kesp::test::TestDriver;

QString Value(const QString& control) {
    return TestDriver::read("form1", control).toString();
}
QDate DateIn(const QString& control) {
    return TestDriver::read("form1", control).toDate();
}
void Click(const QString& control) {
    TestDriver::click("form1", control);
}
void Type(const QString& control, const QString& text) {
    TestDriver::clearText("form1", control);
    TestDriver::typeInto("form1", control, text);
}
bool InEntryMode() {
    return TestDriver::isShown("form1", "Button_1") && TestDriver::isShown("form1", "Button_2") &&
           !TestDriver::isShown("form1", "ToolBar_1");
}
// Texts beyond ASCII cannot be typed key by key offscreen; they are put.
void Put(const QString& control, const QString& text) {
    SETPROPERTY("form1", control, "value", text);
}
QStringList List() {
    return AddressFixture::ListRows("form1");
}

class PrivateBook : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        CreatePrivateBook({{.vorname = "Martin", .nachname = "Maier"},
                           {.vorname = "anna",
                            .nachname = "Albers",
                            .geburtstag = QDate(1970, 5, 17),
                            .liste = true},
                           {.vorname = "Bernd", .deleted = true},
                           {.vorname = "Anton", .free09 = QDate(2001, 2, 3)},
                           {.vorname = "zoe"}});
    }
};

TEST_F(PrivateBook, OpeningPacksDeletedRecordsAndListsByFirstNameWhateverTheCase) {
    OPENFORM_ADRESSE_P();
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(List(), (QStringList{"anna", "Anton", "Martin", "zoe"}));
    EXPECT_EQ(Value("t_vorname"), "anna");
    EXPECT_EQ(Value("t_nachname"), "Albers");
    EXPECT_EQ(DateIn("DatePicker_1"), QDate(1970, 5, 17));
    EXPECT_TRUE(TestDriver::read("form1", "Check_1").toBool());
    EXPECT_FALSE(DateIn("free09").isValid());
    EXPECT_FALSE(InEntryMode());
    TestDriver::closeWindow("form1");
    EXPECT_EQ(StoredNames("adressen_p.dbf"), (QStringList{"Martin", "anna", "Anton", "zoe"}));
}

TEST_F(PrivateBook, SearchResultWordFollowsTheLanguage) {
    UseLanguage("AM");
    OPENFORM_ADRESSE_P();
    Type("suche_ad_p", "x");
    EXPECT_EQ(Value("lbl_filter"), "0 found");
    TestDriver::closeWindow("form1");
    UseLanguage("BR");
    OPENFORM_ADRESSE_P();
    Type("suche_ad_p", "A");
    EXPECT_EQ(Value("lbl_filter"), "2 encontrados");
}

TEST_F(PrivateBook, SaveNewNeedsAFirstNameAndAppendsNothingWithoutOne) {
    OPENFORM_ADRESSE_P();
    Click("x5");
    ASSERT_TRUE(InEntryMode());
    Type("t_vorname", "   ");
    Type("t_nachname", "Ohnename");
    Click("Button_1");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: Mindestens Vorname eingeben"});
    EXPECT_TRUE(InEntryMode());
    EXPECT_EQ(Value("t_nachname"), "Ohnename");
    EXPECT_EQ(RECCOUNT(), 4);
}

TEST_F(PrivateBook, NewStartsFromAnEmptyFormWithoutThePreviousDates) {
    OPENFORM_ADRESSE_P();
    Click("x5");  // anna shows a birth date and the flag
    for (const char* text : {"t_vorname", "t_nachname", "t_email", "t_firma", "free01", "free10"})
        EXPECT_EQ(Value(text), "") << text;
    EXPECT_FALSE(TestDriver::read("form1", "Check_1").toBool());
    EXPECT_FALSE(DateIn("DatePicker_1").isValid());
    Click("Button_2");
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(Value("t_vorname"), "anna");

    Click("x3");  // Anton shows an extra date
    Click("x5");
    EXPECT_FALSE(DateIn("free09").isValid());
    Type("t_vorname", "Carl");
    Click("Button_1");
    Click("x4");
    Click("x2");
    Click("x2");
    ASSERT_EQ(Value("t_vorname"), "Carl");
    EXPECT_FALSE(FIELD("adressen_p->free09").toDate().isValid());
    EXPECT_FALSE(FIELD("adressen_p->geburtstag").toDate().isValid());
}

TEST_F(PrivateBook, SaveNewStoresTrimmedValuesAndShowsTheFirstByName) {
    OPENFORM_ADRESSE_P();
    Click("x5");
    Type("t_vorname", "  Berta ");
    Put("t_ort", " Köln ");
    Type("free10", "erste Zeile");
    SETPROPERTY("form1", "free09", "value", QDate(2020, 2, 29));
    Click("Check_1");
    Click("Button_1");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(Value("t_vorname"), "anna");
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
    EXPECT_EQ(List(), (QStringList{"anna", "Anton", "Berta", "Martin", "zoe"}));
    TestDriver::select("form1", "Browse_1", 3);
    EXPECT_EQ(Value("t_ort"), "Köln");
    EXPECT_EQ(FIELD("adressen_p->vorname").toString(), QString("Berta").leftJustified(40));
    EXPECT_EQ(FIELD("adressen_p->free10").toString(), "erste Zeile");
    EXPECT_EQ(FIELD("adressen_p->free09").toDate(), QDate(2020, 2, 29));
    EXPECT_TRUE(FIELD("adressen_p->liste").toBool());
}

TEST_F(PrivateBook, CountLineCountsTheTableWhateverTheSearch) {
    OPENFORM_ADRESSE_P();
    Type("suche_ad_p", "an");
    Click("x5");
    Type("t_vorname", "Zora");
    Click("Button_1");
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(List(), (QStringList{"anna", "Anton"})) << "the search stays in force";

    Click("x6");  // anna, answered Yes
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(Value("t_vorname"), "Anton");

    Click("x8");  // Save ends the search; the deleted record is not counted
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(List(), (QStringList{"Anton", "Martin", "zoe", "Zora"}));
    EXPECT_EQ(Value("t_vorname"), "Anton");
}

TEST_F(PrivateBook, ARowChosenDuringEntryEndsItWithoutSaving) {
    OPENFORM_ADRESSE_P();
    Click("x5");
    Type("t_vorname", "Carola");
    TestDriver::select("form1", "Browse_1", 3);
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(Value("t_vorname"), "Martin");
    EXPECT_EQ(List(), (QStringList{"anna", "Anton", "Martin", "zoe"}));
    EXPECT_EQ(RECCOUNT(), 4);
}

TEST_F(PrivateBook, SaveKeepsAnEmptyBirthDateEmptyAndAGivenOneAsItIs) {
    OPENFORM_ADRESSE_P();
    TestDriver::select("form1", "Browse_1", 3);  // Martin, born on no known day
    ASSERT_FALSE(DateIn("DatePicker_1").isValid());
    Type("t_nachname", "Meier");
    Click("x8");
    EXPECT_EQ(Value("t_nachname"), "Meier");
    EXPECT_FALSE(DateIn("DatePicker_1").isValid());
    EXPECT_FALSE(FIELD("adressen_p->geburtstag").toDate().isValid());
    EXPECT_FALSE(FIELD("adressen_p->free09").toDate().isValid());

    Click("x1");  // anna keeps her birth date through a save
    Click("x8");
    EXPECT_EQ(FIELD("adressen_p->geburtstag").toDate(), QDate(1970, 5, 17));
    EXPECT_TRUE(FIELD("adressen_p->liste").toBool());
}

TEST_F(PrivateBook, SaveWritesTheCurrentRecordAndShowsIt) {
    OPENFORM_ADRESSE_P();
    TestDriver::select("form1", "Browse_1", 3);  // Martin
    Type("t_vorname", "Aaron ");
    Put("t_nachname", " Maier-Lüdenscheidt ");
    Click("x8");
    EXPECT_EQ(Value("t_vorname"), "Aaron");
    EXPECT_EQ(Value("t_nachname"), "Maier-Lüdenscheidt");
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(List(), (QStringList{"Aaron", "anna", "Anton", "zoe"}));
    EXPECT_EQ(RECNO(), 1);

    Type("t_vorname", "");
    Click("x8");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: Mindestens Vorname eingeben"});
    EXPECT_EQ(FIELD("adressen_p->vorname").toString().trimmed(), "Aaron") << "nothing written";
}

TEST_F(PrivateBook, AnEmptyTableOpensWithEmptyControlsAndItsButtonsDoNoHarm) {
    CreatePrivateBook({});
    OPENFORM_ADRESSE_P();
    EXPECT_EQ(Value("label_anzahl"), "0 Daten in der Datenbank.");
    EXPECT_EQ(Value("t_vorname"), "");
    EXPECT_EQ(List(), QStringList{});
    for (const char* button : {"x1", "x2", "x3", "x4", "x6"})
        Click(button);
    EXPECT_TRUE(TakeMessages().isEmpty());
    // Save writes into the current record; an empty table has none.
    Type("t_vorname", "Nobody");
    Click("x8");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(RECCOUNT(), 0);
}

TEST_F(PrivateBook, TextsAndExtraCaptionsFollowTheLanguageAndTheNamingTable) {
    WriteCaptions("freeadr_p.dbf", {" Spitzname ", "", "", "", "", "Weihnachtskarte"});
    struct Expected {
        const char* code;
        const char* title;
        const char* street;
        const char* remember;
        const char* count;
        const char* firstTooltip;
        const char* page2;
    };
    for (const Expected& language :
         {Expected{"DE", "Adressen [Privat]", "Straße", "erinnern", "4 Daten in der Datenbank.",
                   "Erster", "Freie Felder"},
          Expected{"AM", "Contacts [friends]", "Street", "remember", "4 records", "First",
                   "Free fields"},
          Expected{"BR", "Endereços [Amigos]", "Rua", "lembrar", "4 registros", "Primeiro",
                   "Campos livres"}}) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_ADRESSE_P();
        EXPECT_EQ(GETPROPERTY("form1", "Title").toString(), language.title);
        EXPECT_EQ(Value("Label_8"), language.street);
        EXPECT_EQ(TestDriver::read("form1", "Check_1", "caption").toString(), language.remember);
        EXPECT_EQ(Value("label_anzahl"), language.count);
        EXPECT_EQ(TestDriver::read("form1", "x1", "tooltip").toString(), language.firstTooltip);
        EXPECT_EQ(GETPROPERTY("form1", "Tab_1", "caption", 2).toString(), language.page2);
        EXPECT_EQ(Value("Label_free01"), "Spitzname");
        EXPECT_EQ(Value("Label_free02"), "");
        EXPECT_EQ(TestDriver::read("form1", "check_free06", "caption").toString(),
                  "Weihnachtskarte");
        TestDriver::closeWindow("form1");
    }
}

}  // namespace
