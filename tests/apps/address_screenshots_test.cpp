// Renders both address windows (each tab page), both naming windows and the
// duplicates window in the three languages to PNG files in the build's screenshots folder, for a
// person to look at.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QDir>

namespace {

using kesp::test::TestDriver;

class AddressScreenshots : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        pictures_ = KESP_SCREENSHOT_DIR;
        QDir().mkpath(pictures_);
        SET_PICTURE_FOLDER(KESP_APP_DIR);
        CreatePrivateBook({{.vorname = "Anna",
                            .nachname = "Albers",
                            .geburtstag = QDate(1970, 5, 17),
                            .liste = true,
                            .free01 = "Änni",
                            .free06 = true,
                            .free09 = QDate(2001, 2, 3),
                            .free10 = "Mag Tulpen.\r\nRuft sonntags an."},
                           {.vorname = "Jürgen", .nachname = "Weiß"},
                           {.vorname = "Martin", .nachname = "Maier"},
                           {.vorname = "albers", .nachname = "ANNA", .free10 = "Alte Karte"}});
        CreateBusinessBook({{.vorname = "ACME Süd GmbH", .nachname = "Frau Öz", .free06 = true},
                            {.vorname = "Bäcker Brandt"},
                            {.vorname = "Weiß", .nachname = "Jürgen", .free01 = "Einkauf"}});
    }
    void Shoot(const QString& window, const QString& name) {
        EXPECT_TRUE(kesp::SaveWindowScreenshot(window, pictures_ + "/" + name + ".png"))
            << name.toStdString();
    }
    QString pictures_;
};

TEST_F(AddressScreenshots, EveryAddressWindowInEveryLanguage) {
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        const QString suffix = QString("_") + code;
        OPENFORM_ADRESSE_P();
        TestDriver::typeInto("form1", "suche_ad_p", "a");
        Shoot("form1", "form1_page1" + suffix);
        TestDriver::select("form1", "Tab_1", 2);
        Shoot("form1", "form1_page2" + suffix);
        TestDriver::click("form1", "x5");
        Shoot("form1", "form1_entry" + suffix);
        TestDriver::closeWindow("form1");

        OPENFORM_ADRESSE_G();
        Shoot("form2", "form2_page1" + suffix);
        TestDriver::select("form2", "Tab_1", 2);
        Shoot("form2", "form2_page2" + suffix);
        TestDriver::closeWindow("form2");

        // Anna Albers and the business contact "Anna Albers" under another company.
        OPENFORM_ADRESSE_P();
        TestDriver::click("form1", "x11");
        Shoot("doppelt", "doppelt" + suffix);
        TestDriver::closeWindow("doppelt");
        TestDriver::closeWindow("form1");

        FREE_ADRESSE_P();
        Shoot("freeprivat", "freeprivat" + suffix);
        TestDriver::closeWindow("freeprivat");
        FREE_ADRESSE_G();
        Shoot("freefirma", "freefirma" + suffix);
        TestDriver::closeWindow("freefirma");
    }
}

}  // namespace
