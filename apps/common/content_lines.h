// The content lines of the text formats that exchange records with other
// programs (iCalendar, vCard): a line is written as UTF-8 and folded so that
// no line holds more than 75 octets, never inside a character; a
// continuation line starts with a blank, which counts.
#pragma once

#include <QByteArray>
#include <QString>

// `line` folded, ended with CR LF.
QByteArray FoldedContentLine(const QString& line);
