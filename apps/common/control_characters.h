// Control characters in exported text. A stored text may hold bytes such as
// 0x01, 0x07 or 0x1B (typed, pasted or imported); other programs take them
// for commands, and iCalendar forbids them in text. Every export writes them
// as blanks, as it writes line breaks where its format has none. The
// tabulator is text in every format the program writes, and stays.
#pragma once

#include <QString>

// 0x00-0x1F except the tabulator, and 0x7F. Carriage return and line feed
// count, so a caller that keeps line breaks handles them first.
bool IsControlCharacter(QChar c);

// The text with every control character but the line breaks (CR, LF) as a blank.
QString ControlCharactersAsBlanks(QString text);
