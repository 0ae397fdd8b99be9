// What every window shows in English and Portuguese: no control keeps the
// German text it was defined with where the other languages differ, and none
// shows its own object name. The windows are those the main window's launch
// buttons open, and the main window itself.
#include "tests/shell/installed_program.h"

#include "shell/language.h"
#include "shell/main_window.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QTabBar>

#include <algorithm>

namespace {

// "window/control:what" -> the text a user reads there.
using Shown = QMap<QString, QString>;

void Collect(QWidget* window, Shown& shown) {
    const QString name = window->objectName();
    shown[name + ":title"] = window->windowTitle();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString key = name + "/" + widget->objectName();
        if (auto* label = qobject_cast<QLabel*>(widget))
            shown[key + ":text"] = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown[key + ":text"] = button->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            shown[key + ":text"] = frame->title();
        else if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                shown[key + ":tab" + QString::number(i)] = tabs->tabText(i);
        if (!widget->toolTip().isEmpty()) shown[key + ":tooltip"] = widget->toolTip();
    }
}

// Every window's texts in the language in force.
Shown ShownIn(const QString& code) {
    CHANGE_LANG(code);
    Shown shown;
    InstalledProgram::LookAtEveryWindow([&shown](QWidget* window) { Collect(window, shown); });
    return shown;
}

// Texts two of the languages share by right: abbreviations of months, words
// German and English (or Portuguese) spell alike, and the texts the windows
// are described with in two languages alike.
const QStringList kSharedByRight = {"Export CSV", "Details",    "System",    "Videos",
                                    "Videos DB",  "Feb",        "Apr",       "Aug",
                                    "Sep",        "Mai",        "Dez",       "0 [Bookmarks]",
                                    "Firma",      "Tel. Firma", "Fax Firma", "Email Firma"};

using WindowTexts = InstalledProgram;

TEST_F(WindowTexts, NoWindowShowsGermanOrAnObjectNameInEnglishOrPortuguese) {
    OpenMainWindow();
    const Shown german = ShownIn("DE");
    const Shown english = ShownIn("AM");
    const Shown portuguese = ShownIn("BR");
    QStringList faults;
    for (auto it = german.begin(); it != german.end(); ++it) {
        const QString control = it.key().section('/', 1).section(':', 0, 0);
        for (const Shown* other : {&english, &portuguese}) {
            const QString text = other->value(it.key());
            if (!control.isEmpty() && text.trimmed() == control)
                faults << it.key() + " shows its own name";
        }
        // A German text left standing where one of the other languages has
        // its own: the other one was not set.
        const QString en = english.value(it.key());
        const QString br = portuguese.value(it.key());
        // Figures (free memory, counts) are no text of a language, and change meanwhile.
        const bool words =
            std::any_of(it.value().begin(), it.value().end(), [](QChar c) { return c.isLetter(); });
        if (!words || kSharedByRight.contains(it.value())) continue;
        if (en == it.value() && br != it.value())
            faults << it.key() + " stays German in English: " + en;
        if (br == it.value() && en != it.value())
            faults << it.key() + " stays German in Portuguese: " + br;
    }
    EXPECT_EQ(faults.join("\n").toStdString(), "");
}

}  // namespace
