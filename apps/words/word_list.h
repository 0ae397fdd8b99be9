// The German-English word list: the modal window "woerter_frm" over
// "de_en.dbf", opened from the main window.
#pragma once

void OPENFORM_WOERTER();  // defines the window and shows it (modal)
