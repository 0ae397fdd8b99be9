// File names as the system sees them: byte strings, in no particular encoding.
//
// Qt holds a file name as UTF-8 and turns bytes that are not UTF-8 (a folder
// named in Latin-1 on an old USB stick) into U+FFFD, which leads nowhere.
// The store keeps every byte instead: a byte that is not part of valid UTF-8
// becomes the lone surrogate U+DC80..U+DCFF and turns back into that byte
// when the file is opened. Every file operation of the store goes through
// these functions; names that are valid UTF-8 are the same QString either way.
#pragma once

#include <QByteArray>
#include <QString>

namespace kesp::store {

// UTF-8, with U+DC80..U+DCFF written as the single bytes 0x80..0xFF.
QByteArray NativeFileName(const QString& name);
// Valid UTF-8 decoded; every other byte b becomes U+DC00 + b.
QString FileNameFromNative(const QByteArray& native);

// The current folder, every byte kept (unlike QDir::currentPath).
QString CurrentFolder();

// A name of the folder every part of the program can use, Qt's file classes
// included: the folder's own name when it is valid UTF-8, else a name through
// a descriptor of the folder that stays open for the rest of the process
// ("/proc/self/fd/7"). Empty when the folder cannot be opened.
QString UsableFolderName(const QByteArray& nativeFolder);

bool FileExists(const QString& name);
void RemoveFile(const QString& name);  // quietly: a missing file is no problem
// The permission bits of `from` given to `to`, as far as the system allows.
void CopyPermissions(const QString& from, const QString& to);

}  // namespace kesp::store
