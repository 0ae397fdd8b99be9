// The main window "haupt": the launch buttons of the applications in five
// frames, each with the count the statistics put beside it, the three flag
// buttons of the language, the system-facts panel and the help button.
//
// DEFINE_HAUPT defines it, each control with its texts in the three languages
// beside it; HAUPT_TEXTE labels it again in THE_LANG when that changes.
// Closing it ends the program.
#pragma once

#include "toolkit/forms.h"

#include <QList>
#include <QString>

// Defines the window with every control. Its initialisation is HAUPT_STATISTIK.
void DEFINE_HAUPT();

// Sets every caption, tooltip, legend and the flag picture for THE_LANG.
void HAUPT_TEXTE();

// What a launch button opens. An empty action means the application is not
// part of the program yet: its button is disabled.
struct LaunchButton {
    QString control;
    Action open;
};
const QList<LaunchButton>& LAUNCH_BUTTONS();
