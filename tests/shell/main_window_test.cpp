// The main window as the user sees it: launch buttons that open only the
// applications that exist, and a picture of the window in each language
// (written to the build folder, to be looked at).
#include "tests/shell/installed_program.h"

#include "shell/language.h"
#include "shell/main_window.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QImage>

namespace {

using MainWindow = InstalledProgram;

TEST_F(MainWindow, LaunchButtonsOfMissingApplicationsAreDisabledTheOthersEnabled) {
    OpenMainWindow();
    int enabled = 0;
    for (const LaunchButton& button : LAUNCH_BUTTONS()) {
        SCOPED_TRACE(button.control.toStdString());
        const bool isEnabled = GETPROPERTY("haupt", button.control, "Enabled").toBool();
        EXPECT_EQ(isEnabled, bool(button.open));
        enabled += isEnabled;
    }
    EXPECT_GE(enabled, 6);  // both address books and their field naming
    EXPECT_TRUE(GETPROPERTY("haupt", "Button_31", "Enabled").toBool());
    EXPECT_TRUE(GETPROPERTY("haupt", "Button_34", "Enabled").toBool());
}

TEST_F(MainWindow, IsPicturedInEveryLanguage) {
    OpenMainWindow();
    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        CHANGE_LANG(code);
        const QString file = folder + "/haupt_" + code + ".png";
        ASSERT_TRUE(kesp::SaveWindowScreenshot("haupt", file)) << code;
        EXPECT_EQ(QImage(file).width(), 674) << code;
    }
}

}  // namespace
