// The pairs of the word list marked "to learn", and the file that takes them
// to a flash-card program.
//
// The marks live in the side table "lernen.dbf" of the data folder (DE, EN:
// the pair's two sides as the dictionary writes them), one record per mark,
// in the order they were set. A mark belongs to the pair's text, not to its
// record: it survives packs of the dictionary, a new dictionary that holds
// the pair, and a pair deleted and brought back from the trash. Backups copy
// the table like every other.
//
// The file to learn is tab-separated UTF-8, one line per pair: the German
// side, the English side and the tag "varnel-kesp"; tabs and line breaks in a
// side become blanks. Flash-card programs import it as plain text separated
// by tabs.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

inline const QString kLearnMarksTable = QStringLiteral("lernen.dbf");

using LearnPair = QPair<QString, QString>;  // German, English, as the dictionary writes them

// The word list's marks, kept open under the alias "lernen" while the word
// list is open: OpenLearnMarks opens the table of the data folder (removing
// the marks taken away before) and reads them; the current work area is
// left as it was.
void OpenLearnMarks();
bool MarkedToLearn(const LearnPair& pair);
// Sets the mark, or takes it away; the table is written at once.
void ToggleLearnMark(const LearnPair& pair);
// The marks in the order they were set.
const QList<LearnPair>& LearnMarks();

// The marks of the data folder's table read without the word list: for the
// command line. False when the table is held by another holder or missing.
bool ReadLearnMarks(const QString& tablePath, QList<LearnPair>* marks);

QByteArray LearnFileBytes(const QList<LearnPair>& pairs);
