// A window that uses every control kind, rendered to a PNG for a person to
// look at (build folder, screenshots/toolkit_demo.png). The checks keep the
// rendering honest: the picture exists and is the window's size.
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kesp::test::TestDriver;

namespace {

void DrawPicture(const QString& path, const QColor& color, const QString& letter) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(1, 1, 14, 14, color);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, letter);
    painter.end();
    image.save(path, "BMP");
}

void DefineDemoWindow() {
    const Font arial{"Arial", 9};
    _DEFINEMODALWINDOW("demo",
                       {.title = "Alle Steuerelemente",
                        .row = 100,
                        .col = 100,
                        .width = 700,
                        .height = 450,
                        .icon = "img/app.bmp",
                        .onInit = [] {
                            _DEFINETOOLBAR("ToolBar_1", {.parent = "demo"});
                            const char* pictures[] = {"first", "prev", "next", "last"};
                            for (int i = 0; i < 4; ++i)
                                _DEFINETOOLBUTTON(
                                    QStringLiteral("x%1").arg(i + 1),
                                    {.picture = QStringLiteral("img/%1.bmp").arg(pictures[i]),
                                     .tooltip = pictures[i]});
                            _ENDTOOLBAR();
                        }});
    _DEFINELABEL("Label_17", {.row = 40,
                              .col = 10,
                              .width = 190,
                              .height = 20,
                              .value = "Schnellsuche",
                              .font = arial,
                              .bold = true});
    _DEFINETEXTBOX(
        "suche", {.row = 60, .col = 10, .width = 190, .height = 20, .font = arial, .value = "Ann"});
    _DEFINELABEL("lbl_filter", {.row = 80,
                                .col = 10,
                                .width = 190,
                                .height = 20,
                                .value = "2 Treffer",
                                .font = arial,
                                .bold = true,
                                .fontColor = QColor(255, 0, 0)});
    _DEFINEBROWSE("Browse_1", {.row = 100,
                               .col = 10,
                               .width = 190,
                               .height = 290,
                               .headers = {"Vorname", "Geburt", "Notiz"},
                               .widths = {60, 70, 56},
                               .fields = {"demo_t->vorname", "demo_t->geburt", "demo_t->notiz"},
                               .workArea = "demo_t",
                               .font = arial});
    _DEFINELABEL("label_anzahl", {.row = 390,
                                  .col = 10,
                                  .width = 190,
                                  .height = 20,
                                  .value = "5 Daten in der Datenbank.",
                                  .font = arial,
                                  .bold = true});
    _DEFINEIMAGEBUTTON("Button_1", {.row = 30,
                                    .col = 370,
                                    .width = 40,
                                    .height = 28,
                                    .picture = "img/save.bmp",
                                    .tooltip = "Speichern",
                                    .flat = true});
    _DEFINEIMAGEBUTTON("Button_2", {.row = 30,
                                    .col = 440,
                                    .width = 40,
                                    .height = 28,
                                    .picture = "img/missing.bmp",
                                    .tooltip = "Abbrechen",
                                    .flat = true});
    _DEFINETAB("Tab_1", {.row = 60, .col = 210, .width = 470, .height = 350, .font = arial});
    _DEFINEPAGE("Hauptdaten");
    _DEFINELABEL("Label_1", {.row = 50,
                             .col = 20,
                             .width = 200,
                             .height = 20,
                             .value = "Vorname",
                             .font = arial,
                             .bold = true,
                             .transparent = true});
    _DEFINETEXTBOX("t_vorname", {.row = 70,
                                 .col = 20,
                                 .width = 180,
                                 .height = 20,
                                 .font = arial,
                                 .maxLength = 40,
                                 .value = "Anna      "});
    _DEFINEFRAME("Frame_3", {.row = 90,
                             .col = 350,
                             .width = 100,
                             .height = 50,
                             .caption = "Geburtstag",
                             .font = arial,
                             .background = Qt::white});
    _DEFINECHECKBOX("Check_1", {.row = 110,
                                .col = 360,
                                .width = 85,
                                .height = 28,
                                .caption = "erinnern",
                                .font = arial,
                                .background = Qt::white,
                                .value = true});
    _DEFINEDATEPICKER("DatePicker_1", {.row = 120,
                                       .col = 260,
                                       .width = 90,
                                       .height = 20,
                                       .value = QDate(2006, 12, 24),
                                       .font = arial});
    _DEFINEDATEPICKER("DatePicker_2",
                      {.row = 150, .col = 260, .width = 90, .height = 20, .font = arial});
    _DEFINECOMBOBOX("Combo_1", {.row = 150,
                                .col = 20,
                                .width = 150,
                                .height = 100,
                                .items = {"Privat", "Geschäftlich"},
                                .value = 1,
                                .font = arial});
    _DEFINELISTBOX("List_1", {.row = 180,
                              .col = 20,
                              .width = 150,
                              .height = 60,
                              .items = {"eins", "zwei", "drei"},
                              .value = 2,
                              .font = arial});
    _DEFINERADIOGROUP("Radio_1", {.row = 180,
                                  .col = 190,
                                  .width = 120,
                                  .spacing = 22,
                                  .options = {"Deutsch", "English", "Português"},
                                  .value = 1,
                                  .font = arial});
    _DEFINEPROGRESSBAR("Progress_1", {.row = 260,
                                      .col = 20,
                                      .width = 290,
                                      .height = 16,
                                      .value = 60,
                                      .barColor = QColor(0, 128, 0)});
    _DEFINEIMAGE("Image_1", {.row = 250,
                             .col = 350,
                             .width = 32,
                             .height = 32,
                             .picture = "img/de.bmp",
                             .stretch = true});
    _DEFINEBUTTON("Button_3", {.row = 290,
                               .col = 350,
                               .width = 100,
                               .height = 24,
                               .caption = "Statistik",
                               .font = arial});
    _ENDPAGE();
    _DEFINEPAGE("Freie Felder");
    _DEFINEEDITBOX("free10", {.row = 270,
                              .col = 20,
                              .width = 430,
                              .height = 70,
                              .font = arial,
                              .noHScroll = true,
                              .value = "Zeile 1\r\nZeile 2"});
    _ENDPAGE();
    _ENDTAB();
    _ENDWINDOW();
}

TEST(DemoWindow, EveryControlKindRendersToAPng) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QDir(folder.path()).mkpath("img");
    DrawPicture(folder.filePath("img/first.bmp"), QColor(0, 0, 160), "<");
    DrawPicture(folder.filePath("img/prev.bmp"), QColor(0, 0, 160), "-");
    DrawPicture(folder.filePath("img/next.bmp"), QColor(0, 0, 160), "+");
    DrawPicture(folder.filePath("img/last.bmp"), QColor(0, 0, 160), ">");
    DrawPicture(folder.filePath("img/save.bmp"), QColor(0, 128, 0), "S");
    DrawPicture(folder.filePath("img/de.bmp"), QColor(200, 0, 0), "D");
    DrawPicture(folder.filePath("img/app.bmp"), QColor(0, 0, 0), "K");
    SET_PICTURE_FOLDER(folder.path());
    SET_DELETED(true);
    SET_CENTURY(true);
    SET_DATEFORMAT("dd.mm.yyyy");

    kesp::CreateTable(folder.filePath("demo_t.dbf"),
                      {{.name = "VORNAME", .type = 'C', .length = 20},
                       {.name = "GEBURT", .type = 'D'},
                       {.name = "NOTIZ", .type = 'M'}});
    DBUSEAREA(true, folder.filePath("demo_t.dbf"), "demo_t");
    for (const char* name : {"Anna", "Bernd", "Carla", "Dieter", "Eva"}) {
        DBAPPEND();
        REPLACE("vorname", QString(name));
        REPLACE("geburt", QDate(1970, 3, 1).addDays(400 * (name[0] - 'A')));
        REPLACE("notiz", QString("Text zu ") + name);
    }
    DBGOTOP();

    TestDriver driver;
    DefineDemoWindow();
    _ACTIVATEWINDOW("demo");
    SETPROPERTY("demo", "Browse_1", "Value", 2);
    SETPROPERTY("demo", "Tab_1", "Caption", 2, "Freie Felder");

    const QString shots = QStringLiteral(KESP_SCREENSHOT_DIR);
    QDir().mkpath(shots);
    const QString png = shots + "/toolkit_demo.png";
    ASSERT_TRUE(kesp::SaveWindowScreenshot("demo", png));
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(700, 450 - 27));  // the client area
    TestDriver::select("demo", "Tab_1", 2);
    ASSERT_TRUE(kesp::SaveWindowScreenshot("demo", shots + "/toolkit_demo_page2.png"));
    SET_PICTURE_FOLDER({});
    DBCLOSEALL();
}

}  // namespace
