// The window "papierkorb": what the trash holds from every application over
// the last days, newest first, with a search; the chosen records go back into
// their tables, or the whole trash is emptied after a question.
#pragma once

void OPENFORM_PAPIERKORB();
