// The fault log "ErrorLog.Htm": one HTML entry per fault that ended the
// program, appended to the file in the current folder.
//
// A new file first receives its head (title and style), a centred heading and
// a rule. Each entry is the date and time, the fault text and the "Called from"
// lines, each line followed by "<BR>" and CR LF, closed by "<HR>". Every text
// is HTML-escaped, so a file or field name can never put markup into the log;
// characters outside ASCII are written as character references, so the file
// reads the same whatever encoding a browser assumes.
#pragma once

#include <QString>
#include <QStringList>

namespace kesp {

inline constexpr char kErrorLogName[] = "ErrorLog.Htm";

// "<" -> "&lt;" and so on; non-ASCII characters -> "&#NNN;".
QString HtmlEscaped(const QString& text);

// Appends one entry to the log at `path`, creating the file with its head when
// it does not exist. Returns false when the file cannot be written.
bool AppendErrorLogEntry(const QString& path, const QString& date, const QString& time,
                         const QString& faultText, const QStringList& calledFromLines);

}  // namespace kesp
