// The text of a browser's bookmark file. Browsers write UTF-8 and say so in
// a META tag; older browsers and hand-made files declare another charset
// (ISO-8859-1, Windows-1252) or none. A declared single-byte charset is read
// as Windows-1252 (which holds ISO-8859-1's letters); otherwise the file is
// read as UTF-8, and a byte that is no part of a UTF-8 sequence is read as
// Windows-1252, so that "Müller" stays "Müller" whatever wrote it.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The file's text; nothing when it is no bookmark file: it holds NUL bytes
// (UTF-16, a picture, a program) or no list of links ("<DL").
std::optional<QString> BookmarkFileText(const QByteArray& bytes);
