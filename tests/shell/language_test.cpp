// The language: stored in "startlang.dbf", recognised by its beginning,
// deciding the date format and the texts of the main window, and kept across
// a restart.
#include "tests/shell/installed_program.h"

#include "shell/folders.h"
#include "shell/language.h"
#include "kernel/public_variables.h"
#include "shell/start_up.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QCoreApplication>

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

}  // namespace
