// The index of headwords (word_index.h) built on a worker thread, so that the
// word list opens at once on a dictionary whose side file is missing or was
// made from an older table (some seconds of work for the installed
// dictionary). The table stays locked while the word list has it open, so the
// worker cannot open it beside the window: its records are copied on the
// calling thread in one go (a few milliseconds), and the worker builds the
// index from the copy, saves the side file and hands the index over.
//
// Promises:
// - The index handed over is the one WordIndex::Build makes of the table as
//   it was when the build began, and it is kept for DictionaryIndex.
// - Callers are on the event loop; `ready` runs there once the index is kept
//   (or the build came to nothing), and never after its receiver is gone.
#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

// Starts the build unless the index kept or the side file is current, the
// table is held elsewhere, or a build for it is under way.
void BuildDictionaryIndexInBackground(const QString& tablePath);
// The builds' own thread, one build at a time: never Qt's global pool, whose
// threads painting waits for.
QThreadPool& DictionaryIndexPool();
// A build is under way.
bool DictionaryIndexComing();
// `ready` after the build under way; at once when there is none.
void WhenDictionaryIndexReady(QObject* receiver, std::function<void()> ready);
