// The windows that name the extra fields of both books: what they show, how
// they store, and how the address windows and a second request see them.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "kernel/public_variables.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QFile>
#include <QTest>

namespace {

using kesp::test::TestDriver;

class FreeFields : public AddressFixture {};

TEST_F(FreeFields, ShowsTheStoredCaptionsTwiceAndTheTypesInTheLanguage) {
    struct Expected {
        const char* code;
        const char* title;
        const char* frame;
        const char* current;
        const char* typeOfField10;
        const char* typeHeading;
    };
    for (const Expected& language :
         {Expected{"DE", "Adressen [Privat]", "Privat - Freie Felder (Bezeichnungen)", "Aktuell",
                   "* Memofeld (Text lang)", "* Feldtypen"},
          Expected{"AM", "Contacts [friends]", "Friends - Free fields (Labels)", "Currently",
                   "* Memofield (long text)", "* Type of field"},
          Expected{"BR", "Endereços [amigos]", "Amigos - Campos livres", "Atualmente",
                   "* Campo Memo (Texto longo)", "* Tipos de campos"}}) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        FREE_ADRESSE_P();
        ASSERT_TRUE(TestDriver::isOpen("freeprivat"));
        EXPECT_EQ(GETPROPERTY("freeprivat", "Title").toString(), language.title);
        EXPECT_EQ(TestDriver::read("freeprivat", "Frame_1", "caption").toString(), language.frame);
        EXPECT_EQ(TestDriver::read("freeprivat", "lbl_akt").toString(), language.current);
        EXPECT_EQ(TestDriver::read("freeprivat", "Label_21").toString(), language.typeOfField10);
        EXPECT_EQ(TestDriver::read("freeprivat", "Label_22").toString(), language.typeHeading);
        EXPECT_EQ(TestDriver::read("freeprivat", "Label_1").toString(), "Spitzname");
        EXPECT_EQ(TestDriver::read("freeprivat", "Text_10").toString(), "Notizen");
        TestDriver::closeWindow("freeprivat");
    }
}

TEST_F(FreeFields, RenamingStoresTrimmedCaptionsThatTheAddressWindowThenShows) {
    FREE_ADRESSE_P();
    TestDriver::clearText("freeprivat", "Text_6");
    TestDriver::typeInto("freeprivat", "Text_6", "  Geschenk geschickt ");
    TestDriver::clearText("freeprivat", "Text_1");
    TestDriver::typeInto("freeprivat", "Text_1", QString(80, 'x'));
    TestDriver::click("freeprivat", "Button_5");
    EXPECT_TRUE(TakeMessages().isEmpty()) << "no message confirms the save";
    EXPECT_EQ(TestDriver::read("freeprivat", "Label_6").toString(), "Geschenk geschickt");
    EXPECT_EQ(TestDriver::read("freeprivat", "Label_1").toString(), QString(70, 'x'));
    EXPECT_TRUE(TestDriver::isOpen("freeprivat"));
    TestDriver::closeWindow("freeprivat");
    EXPECT_EQ(ReadCaptions("freeadr_p.dbf")[5], "Geschenk geschickt");

    OPENFORM_ADRESSE_P();
    EXPECT_EQ(TestDriver::read("form1", "check_free06", "caption").toString(),
              "Geschenk geschickt");
    EXPECT_EQ(TestDriver::read("form1", "Label_free01").toString(), QString(70, 'x'));
}

// Names typed and not saved are not dropped by Escape without a word.
TEST_F(FreeFields, EscapeAsksBeforeNamesTypedAndNotSavedAreLost) {
    FREE_ADRESSE_P();
    QTest::keyClick(TestDriver::widget("freeprivat"), Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen("freeprivat")) << "nothing typed: closed at once";
    EXPECT_TRUE(TakeMessages().isEmpty());

    const QStringList stored = ReadCaptions("freeadr_p.dbf");
    FREE_ADRESSE_P();
    TestDriver::typeInto("freeprivat", "Text_2", " neu");
    driver_.answerNext(false);
    QTest::keyClick(TestDriver::widget("freeprivat", "Text_2"), Qt::Key_Escape);
    EXPECT_EQ(TakeMessages(), QStringList{"MSGYESNO: Änderungen verwerfen?"});
    ASSERT_TRUE(TestDriver::isOpen("freeprivat"));
    EXPECT_TRUE(TestDriver::read("freeprivat", "Text_2").toString().endsWith(" neu"));
    driver_.answerNext(true);
    QTest::keyClick(TestDriver::widget("freeprivat", "Text_2"), Qt::Key_Escape);
    TakeMessages();
    EXPECT_FALSE(TestDriver::isOpen("freeprivat"));
    EXPECT_EQ(ReadCaptions("freeadr_p.dbf"), stored);
}

TEST_F(FreeFields, ARenamedYesNoFieldKeepsItsValuesUnderItsNewCaptionAndExportHeader) {
    CreatePrivateBook({{.vorname = "Anna", .free06 = true}, {.vorname = "Bert"}});
    FREE_ADRESSE_P();
    TestDriver::clearText("freeprivat", "Text_6");
    TestDriver::typeInto("freeprivat", "Text_6", "Karte 2026");
    TestDriver::click("freeprivat", "Button_5");
    TestDriver::closeWindow("freeprivat");

    OPENFORM_ADRESSE_P();
    EXPECT_EQ(TestDriver::read("form1", "check_free06", "caption").toString(), "Karte 2026");
    EXPECT_TRUE(TestDriver::read("form1", "check_free06").toBool()) << "Anna's value stays";
    TestDriver::click("form1", "x7");
    QFile exported(exportPath() + "Adressen_Privat.csv");
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = exported.readAll().split('\r');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].split(';')[20], "Karte 2026");
    EXPECT_EQ(lines[1].split(';')[20], "Ja");
    EXPECT_EQ(lines[2].split(';')[20], "Nein");
}

TEST_F(FreeFields, ASecondRequestWhileOpenKeepsTheOneWindow) {
    FREE_ADRESSE_G();
    TestDriver::clearText("freefirma", "Text_2");
    TestDriver::typeInto("freefirma", "Text_2", "Rolle");
    FREE_ADRESSE_G();  // would be a programming fault if it defined the window again
    EXPECT_TRUE(TestDriver::isOpen("freefirma"));
    EXPECT_EQ(TestDriver::read("freefirma", "Text_2").toString(), "Rolle") << "not reloaded";
    TestDriver::closeWindow("freefirma");
    FREE_ADRESSE_G();
    EXPECT_EQ(TestDriver::read("freefirma", "Text_2").toString(), "Position");
}

TEST_F(FreeFields, TheBusinessWindowHasItsOwnTableAndTexts) {
    UseLanguage("BR");
    FREE_ADRESSE_G();
    EXPECT_EQ(GETPROPERTY("freefirma", "Title").toString(), "Endereços [Comerciais]");
    EXPECT_EQ(TestDriver::read("freefirma", "Frame_1", "caption").toString(),
              "Firma - Campos livres");
    EXPECT_TRUE(TestDriver::read("freefirma", "lbl_hilfe")
                    .toString()
                    .endsWith("Ou inicie com um dos modelos (abaixo)."));
    EXPECT_EQ(TestDriver::read("freefirma", "Label_9").toString(), "Letzter Kontakt");
    TestDriver::clearText("freefirma", "Text_9");
    TestDriver::click("freefirma", "Button_5");
    EXPECT_EQ(ReadCaptions("freeadr_g.dbf")[8], "");
    EXPECT_EQ(ReadCaptions("freeadr_p.dbf")[8], "Jahrestag");
}

}  // namespace
