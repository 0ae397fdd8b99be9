// The language: stored in "startlang.dbf", recognised by its beginning,
// deciding the date format and the texts of the main window, and kept across
// a restart.
#include "tests/shell/installed_program.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/folders.h"
#include "shell/language.h"
#include "shell/start_up.h"
#include "shell/statistics.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDir>

namespace {

const QDate kChristmas(2006, 12, 24);

TEST(Folders, AreTheProgramFolderAndItsThreeSubfoldersEachEndingWithTheSeparator) {
    const ApplicationFolders folders = FoldersBeneath("/opt/kesp");
    EXPECT_EQ(folders.application, "/opt/kesp/");
    EXPECT_EQ(folders.images, "/opt/kesp/img/");
    EXPECT_EQ(folders.data, "/opt/kesp/data/");
    EXPECT_EQ(folders.exports, "/opt/kesp/export/");

    EXPECT_EQ(FoldersBeneath("/opt/kesp/").data, "/opt/kesp/data/");
    EXPECT_EQ(FoldersBeneath("/").application, "/");
    EXPECT_EQ(FoldersBeneath("/").data, "/data/");
}

using Language = InstalledProgram;

TEST_F(Language, StartsAsEnglishWithTheTwoDigitFormatWidenedToFourDigitYears) {
    EXPECT_EQ(THE_LANG, "EN");
    EXPECT_EQ(THE_APP_NAME, "Varnel Kesp 2.0");
    EXPECT_EQ(THE_APP_NAME2, "");
    EXPECT_EQ(DTOC(kChristmas), "24/12/2006");
    EXPECT_EQ(THE_DATA_PATH, QDir::toNativeSeparators(folder_.path()) + "/data/");
}

TEST_F(Language, StoredCodeDecidesTheDateFormatAndIsRecognisedByItsBeginning) {
    EXPECT_EQ(StoredLanguage().trimmed(), "AM");  // as installed
    APPLY_STORED_LANG();
    EXPECT_EQ(THE_LANG, "AM");
    EXPECT_EQ(DTOC(kChristmas), "12/24/2006");

    StoreLanguage("DE");
    APPLY_STORED_LANG();
    EXPECT_EQ(THE_LANG, "DE");
    EXPECT_EQ(DTOC(kChristmas), "24.12.2006");
    EXPECT_EQ(LANG_FLAG(), "img/de.bmp");

    StoreLanguage("BR");
    APPLY_STORED_LANG();
    EXPECT_EQ(DTOC(kChristmas), "24/12/2006");
    EXPECT_EQ(LANG_FLAG(), "img/br.bmp");

    StoreLanguage("DEU");  // longer than the code, beginning with it
    APPLY_STORED_LANG();
    EXPECT_EQ(THE_LANG, "DE");
}

TEST_F(Language, UnknownOrMissingCodeFallsBackToEnglish) {
    StoreLanguage("XX");
    APPLY_STORED_LANG();
    EXPECT_EQ(THE_LANG, "AM");
    EXPECT_EQ(DTOC(kChristmas), "12/24/2006");

    DeleteRecords("startlang.dbf", {});
    DBUSEAREA(false, DataFile("startlang.dbf"), "t");
    __DBPACK();
    DBCLOSEALL();
    APPLY_STORED_LANG();
    EXPECT_EQ(THE_LANG, "AM");
}

TEST_F(Language, ChangeIsStoredBeforeTheConfirmationAndSurvivesARestart) {
    OpenMainWindow();
    boxes_.clear();
    QString storedWhenConfirmed;
    kesp::seam::answerMessageBox = [&](const kesp::seam::MessageBoxShown& box) {
        boxes_.append(box);
        if (box.text.startsWith("Sprache")) storedWhenConfirmed = StoredLanguage().trimmed();
        return true;
    };

    CHANGE_LANG("DE");

    ASSERT_FALSE(boxes_.isEmpty());
    EXPECT_EQ(boxes_.first().kind, "MSGBOX");
    EXPECT_EQ(boxes_.first().title, "Varnel Kesp 2.0");
    EXPECT_EQ(boxes_.first().text, "Sprache=Deutsch");
    EXPECT_EQ(storedWhenConfirmed, "DE");
    EXPECT_EQ(Property("Frame_2", "Caption"), "Kontakte");
    EXPECT_EQ(Property("Image_1", "Picture"), "img/de.bmp");

    // A new start: the variables begin again as English, the main window
    // comes up German.
    RELEASEWINDOW("haupt");
    START_UP(folder_.path());
    EXPECT_EQ(THE_LANG, "EN");
    OpenMainWindow();
    EXPECT_EQ(THE_LANG, "DE");
    EXPECT_EQ(Property("Button_31", "Caption"), "Statistik aktualisieren");
    EXPECT_EQ(DTOC(kChristmas), "24.12.2006");
}

TEST_F(Language, ChangeRelabelsTheMainWindowButNotItsTitleNorRefresh) {
    OpenMainWindow();
    EXPECT_EQ(Property("Frame_3", "Caption"), "Organization");
    EXPECT_EQ(Property("Label_1", "Value"), "Language");
    EXPECT_EQ(Property("Label_21", "Value"), "check your biological cycles");

    CHANGE_LANG("BR");
    EXPECT_EQ(boxes_.last().text.isEmpty(), false);
    EXPECT_EQ(Property("Frame_3", "Caption"), "Organização");
    EXPECT_EQ(Property("Button_1", "Caption"), "Endereços(Amigos)");
    EXPECT_EQ(Property("Button_7", "ToolTip"), "Abrir formulário");
    EXPECT_EQ(Property("Button_22", "ToolTip"), "Mudar idioma para inglês");
    EXPECT_EQ(Property("Label_17", "Value"), "suficiente");
    EXPECT_EQ(Property("Image_1", "Picture"), "img/br.bmp");
    EXPECT_EQ(Property("Button_33", "Caption"), "REFRESH");
    EXPECT_EQ(GETPROPERTY("haupt", "Title").toString(), "Varnel Kesp 2.0 - multi language");
}

// Every refresh of the main window applies the stored language; the one in
// force is kept, without Qt's translation loaded again and every window told
// of a language change.
TEST_F(Language, RefreshKeepsTheLanguageInForceWithoutTellingTheWindowsOfAChange) {
    OpenMainWindow();
    CHANGE_LANG("DE");
    QCoreApplication::processEvents();
    struct LanguageChanges : QObject {
        int seen = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            seen += event->type() == QEvent::LanguageChange;
            return false;
        }
    } changes;
    qApp->installEventFilter(&changes);
    HAUPT_STATISTIK();
    QCoreApplication::processEvents();
    EXPECT_EQ(changes.seen, 0);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ja");

    CHANGE_LANG("BR");
    QCoreApplication::processEvents();
    EXPECT_GT(changes.seen, 0);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Sim");
    qApp->removeEventFilter(&changes);
}

TEST_F(Language, WindowsOpenBeforeAChangeKeepTheirTextsUntilOpenedAgain) {
    OpenMainWindow();
    kesp::test::TestDriver::click("haupt", "Button_7");  // names the private extra fields
    ASSERT_TRUE(ISWINDOWDEFINED("freeprivat"));
    EXPECT_EQ(GETPROPERTY("freeprivat", "lbl_akt", "Value").toString(), "Currently");

    CHANGE_LANG("DE");
    EXPECT_EQ(Property("Button_7", "Caption"), "Freie Felder benennen");
    EXPECT_EQ(GETPROPERTY("freeprivat", "lbl_akt", "Value").toString(), "Currently");

    RELEASEWINDOW("freeprivat");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    kesp::test::TestDriver::click("haupt", "Button_7");
    EXPECT_EQ(GETPROPERTY("freeprivat", "lbl_akt", "Value").toString(), "Aktuell");
    RELEASEWINDOW("freeprivat");
}

TEST_F(Language, ChangeOnAnEmptiedLanguageTableStillPersists) {
    OpenMainWindow();
    DeleteRecords("startlang.dbf", {});
    DBUSEAREA(false, DataFile("startlang.dbf"), "t");
    __DBPACK();
    DBCLOSEALL();

    CHANGE_LANG("DE");
    EXPECT_EQ(StoredLanguage().trimmed(), "DE");
    EXPECT_EQ(RecordCount("startlang.dbf"), 1);
    EXPECT_EQ(THE_LANG, "DE");
}

// A window with one date picker, its calendar opened, for looking at it.
QCalendarWidget* OpenCalendar() {
    _DEFINEMODALWINDOW("form_cal", {.width = 300, .height = 300});
    _DEFINEDATEPICKER(
        "DatePicker_1",
        {.row = 10, .col = 10, .width = 90, .height = 20, .value = QDate(2024, 7, 9)});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_cal");
    kesp::test::TestDriver::pressKey("form_cal", "DatePicker_1", Qt::Key_F4);
    return kesp::test::TestDriver::widget("form_cal", "DatePicker_1")
        ->findChild<QCalendarWidget*>();
}

TEST_F(Language, QuestionBoxesCalendarsAndQtsOwnTextsFollowTheLanguage) {
    OpenMainWindow();
    QDir().mkpath(KESP_SCREENSHOT_DIR);
    struct Expected {
        const char* code;
        const char* yes;
        const char* no;
        const char* july;
        Qt::DayOfWeek firstDay;
    };
    for (const Expected& language : {Expected{"DE", "&Ja", "&Nein", "Juli", Qt::Monday},
                                     Expected{"AM", "&Yes", "&No", "July", Qt::Sunday},
                                     Expected{"BR", "&Sim", "&N\u00e3o", "julho", Qt::Sunday}}) {
        SCOPED_TRACE(language.code);
        CHANGE_LANG(language.code);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"),
                  QString::fromUtf8(language.yes));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"),
                  QString::fromUtf8(language.no));

        QCalendarWidget* calendar = OpenCalendar();
        ASSERT_NE(calendar, nullptr);
        EXPECT_EQ(calendar->firstDayOfWeek(), language.firstDay);
        EXPECT_TRUE(calendar->locale().standaloneMonthName(7).startsWith(language.july,
                                                                         Qt::CaseInsensitive));
        const QString suffix = QString("_%1.png").arg(language.code);
        EXPECT_TRUE(calendar->window()->grab().save(KESP_SCREENSHOT_DIR "/calendar" + suffix));
        calendar->window()->hide();
        kesp::test::TestDriver::closeWindow("form_cal");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        EXPECT_TRUE(kesp::SaveMessageBoxScreenshot(
            "MSGYESNO", TEXT({"Anna löschen?", "Anna delete contact?", "Anna apagar este nome?"}),
            THE_APP_NAME, KESP_SCREENSHOT_DIR "/question" + suffix));
    }
}

}  // namespace
