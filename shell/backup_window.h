// The window "sicherung": the snapshots of the data folder, newest first, each
// with the record count of every application; the chosen one is restored
// after a question, the present data backed up first. The counts are read on
// a worker thread (snapshot_summaries.h) and shown as they come; closing the
// window cancels the rest.
#pragma once

void OPENFORM_SICHERUNG();

// True while the counts of the window's backups are still being read.
bool BACKUP_COUNTS_COMING();
