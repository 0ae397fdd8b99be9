// A record's earlier version, kept beside it in its table as a copy marked
// deleted: a step that changes records (an import, a merge) keeps one, so
// that Ctrl+Z can put it back (NoteReplacement, NoteStep) and the next pack
// keeps it in the trash. Works in the current work area; commits nothing.
#pragma once

// Appends a copy of record `number`, every field, and marks it deleted; the
// copy's number. The copy stands current.
int KeepEarlierVersion(int number);

// Writes the fields of the copy `earlier` back into record `number`; the
// copy stays deleted. False when either is not there, or the copy is no
// longer marked deleted.
bool PutEarlierVersionBack(int earlier, int number);
