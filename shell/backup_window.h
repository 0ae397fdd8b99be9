// The window "sicherung": the snapshots of the data folder, newest first, each
// with the record count of every application; the chosen one is restored
// after a question, the present data backed up first.
#pragma once

void OPENFORM_SICHERUNG();
