// The business address book: the same record window over its own table,
// fields, texts and messages.
#include "apps/addresses/business_addresses.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QColor>

namespace {

using kesp::test::TestDriver;

QString Value(const QString& control) {
    return TestDriver::read("form2", control).toString();
}
void Click(const QString& control) {
    TestDriver::click("form2", control);
}
void Type(const QString& control, const QString& text) {
    TestDriver::clearText("form2", control);
    TestDriver::typeInto("form2", control, text);
}

class BusinessBook : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        CreateBusinessBook({{.vorname = "Zander & Co", .nachname = "Frau Öz"},
                            {.vorname = "acme", .free09 = QDate(2005, 6, 1)},
                            {.vorname = "Alt GmbH", .deleted = true},
                            {.vorname = "ACME Süd", .free06 = true},
                            {.vorname = "Bäcker Brandt"}});
    }
};

TEST_F(BusinessBook, OpensPackedAndListsCompaniesByNameWhateverTheCase) {
    OPENFORM_ADRESSE_G();
    EXPECT_EQ(ListRows("form2"), (QStringList{"acme", "ACME Süd", "Bäcker Brandt", "Zander & Co"}));
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(Value("t_vorname"), "acme");
    EXPECT_EQ(TestDriver::read("form2", "free09").toDate(), QDate(2005, 6, 1));
    for (const char* absent : {"t_firma", "DatePicker_1", "Check_1", "Frame_3"})
        EXPECT_THROW(TestDriver::widget("form2", absent), kesp::FaultException) << absent;
    Click("x4");
    EXPECT_EQ(Value("t_nachname"), "Frau Öz");
    TestDriver::closeWindow("form2");
    EXPECT_EQ(StoredNames("adressen_g.dbf"),
              (QStringList{"Zander & Co", "acme", "ACME Süd", "Bäcker Brandt"}));
}

TEST_F(BusinessBook, SearchNewSaveAndDeleteWorkOnTheCompanies) {
    OPENFORM_ADRESSE_G();
    Type("suche_ad_p", "ac");
    EXPECT_EQ(TestDriver::read("form2", "suche_ad_p", "backcolor").value<QColor>(),
              QColor(0, 255, 0));
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(ListRows("form2"), (QStringList{"acme", "ACME Süd"}));

    Click("x5");
    EXPECT_FALSE(TestDriver::read("form2", "free09").toDate().isValid());
    Type("t_vorname", "Acker KG ");
    Type("t_emailfirma", "www.acker.example");
    Click("Button_1");
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
    EXPECT_EQ(ListRows("form2"), (QStringList{"Acker KG", "acme", "ACME Süd"}));

    TestDriver::select("form2", "Browse_1", 1);
    EXPECT_EQ(Value("t_emailfirma"), "www.acker.example");
    Type("t_nachname", "Herr Acker");
    Click("x8");
    EXPECT_EQ(Value("t_nachname"), "Herr Acker");
    EXPECT_EQ(ListRows("form2").size(), 5) << "Save ends the search";

    Click("x6");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGYESNO: Acker KG löschen?"});
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(Value("t_vorname"), "acme");
}

TEST_F(BusinessBook, EmptyCompanyMessagesDifferInPortugueseBetweenSaveNewAndSave) {
    struct Expected {
        const char* code;
        const char* onSaveNew;
        const char* onSave;
        const char* deleteQuestion;
    };
    for (const Expected& language :
         {Expected{"DE", "Mindestens Firma eingeben", "Mindestens Firma eingeben", "acme löschen?"},
          Expected{"AM", "Field Firma cannot be empty", "Field Firma cannot be empty",
                   "acme delete contact?"},
          Expected{"BR", "Entre no mínimo com a firma", "Entre no mínimo com o nome da Firma",
                   "acme apagar esta firma?"}}) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_ADRESSE_G();
        driver_.answerNext(false);
        Click("x6");
        Type("t_vorname", " ");
        Click("x8");
        Click("x5");
        Click("Button_1");
        EXPECT_EQ(TakeMessages(), (QStringList{QString("MSGYESNO: ") + language.deleteQuestion,
                                               QString("MSGEXCLAMATION: ") + language.onSave,
                                               QString("MSGEXCLAMATION: ") + language.onSaveNew}));
        TestDriver::closeWindow("form2");
    }
    EXPECT_EQ(StoredNames("adressen_g.dbf").size(), 4);
}

TEST_F(BusinessBook, TextsFollowTheLanguage) {
    struct Expected {
        const char* code;
        const char* title;
        const char* direct;
        const char* page1;
        const char* cancel;
        const char* count;
    };
    for (const Expected& language :
         {Expected{"DE", "Adressen [Geschäftlich]", "Telefon-Durchwahl", "Hauptdaten", "Abbrechen",
                   "4 Daten in der Datenbank."},
          Expected{"AM", "Contacts [Business]", "Tel. direct", "Business", "Cancel", "4 records"},
          Expected{"BR", "Endereços [Comerciais]", "Telef. direto", "Dados principais", "Cancelar",
                   "4 registros"}}) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_ADRESSE_G();
        EXPECT_EQ(GETPROPERTY("form2", "Title").toString(), language.title);
        EXPECT_EQ(Value("Label_5"), language.direct);
        EXPECT_EQ(Value("Label_14"), "Homepage");
        EXPECT_EQ(GETPROPERTY("form2", "Tab_1", "caption", 1).toString(), language.page1);
        EXPECT_EQ(TestDriver::read("form2", "Button_2", "tooltip").toString(), language.cancel);
        EXPECT_EQ(Value("label_anzahl"), language.count);
        EXPECT_EQ(Value("Label_free09"), "Letzter Kontakt");
        TestDriver::closeWindow("form2");
    }
}

}  // namespace
