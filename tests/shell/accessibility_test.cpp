// What a screen reader finds in every window: each control that takes the
// focus has a name, in each of the three languages. The walk goes through
// the accessibility tree Qt hands to the screen reader, from the main window
// and from every window its launch buttons open.
#include "tests/shell/installed_program.h"

#include "shell/language.h"
#include "shell/main_window.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"

#include <QAccessible>
#include <QApplication>
#include <QWidget>

namespace {

// The focusable controls below `node` that a screen reader would announce
// without a name, as "window/control".
void CollectUnnamed(QAccessibleInterface* node, const QString& window, QStringList& unnamed) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child == nullptr) continue;
        // Cells and items of a list belong to the list, which is named itself.
        auto* widget = qobject_cast<QWidget*>(child->object());
        if (widget == nullptr) continue;
        const QAccessible::State state = child->state();
        if (state.focusable && !state.invisible && !state.disabled &&
            child->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << window + "/" + widget->objectName() + " (" +
                           widget->metaObject()->className() + ")";
        CollectUnnamed(child, window, unnamed);
    }
}

QStringList UnnamedControls(QWidget* window) {
    QStringList unnamed;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), window->objectName(), unnamed);
    return unnamed;
}

using ScreenReader = InstalledProgram;

TEST_F(ScreenReader, FindsANameForEveryFocusableControlOfEveryWindowInEveryLanguage) {
    OpenMainWindow();
    for (const char* code : {"DE", "AM", "BR"}) {
        SCOPED_TRACE(code);
        CHANGE_LANG(code);
        QStringList unnamed;
        LookAtEveryWindow([&unnamed](QWidget* window) { unnamed << UnnamedControls(window); });
        EXPECT_EQ(unnamed.join("\n").toStdString(), "");
    }
}

}  // namespace
