// A file the user chose to import, read whole under the one policy every
// import of the program follows: what is not a regular file (a folder, a
// pipe or a device, which could keep the reading waiting for ever) is refused,
// a file over kImportAskAboveBytes is read only when the user says so, and a
// file over kImportMaxBytes is refused. Each import then reads the bytes in
// its own format.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

inline constexpr qint64 kImportAskAboveBytes = 20LL * 1024 * 1024;
inline constexpr qint64 kImportMaxBytes = 50LL * 1024 * 1024;

// Why a file is not read.
enum class ImportFileProblem {
    None,
    CannotRead,    // no regular file, or it cannot be opened
    TooLarge,      // over kImportMaxBytes
    NotReadWhole,  // it changed or failed while it was read
};

struct ImportFileReading {
    QByteArray bytes;  // the whole file when `problem` is None
    ImportFileProblem problem = ImportFileProblem::None;
};

// Reads the file at `path` under the policy without asking anything: for a
// command, whose caller has named the file and so said yes to its size.
ImportFileReading ReadImportFile(const QString& path);

// The refusal in the interface language: "The file was not imported, nothing
// was stored:", the path and `why` on lines of their own ("\r").
QString ImportRefusalText(const QString& path, const QString& why);
// The refusal of a file read under the policy (`problem` not None).
QString ImportRefusalText(const QString& path, ImportFileProblem problem);

// The window's step: the file at `path` read whole, or nothing when the user
// was told why it is refused (a warning box titled `title`) or said no to
// its size.
std::optional<QByteArray> OpenImportFile(const QString& path, const QString& title);
