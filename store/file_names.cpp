#include "store/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace kesp::store {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at bytes[at], 0 when there is none.
int ValidSequenceLength(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    int length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not valid UTF-8.
    if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
        (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        return 0;
    }
    return length;
}

}  // namespace

QByteArray NativeFileName(const QString& name) {
    QByteArray native;
    native.reserve(name.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool escaped = i < name.size() && name.at(i).isLowSurrogate() &&
                             (i == 0 || !name.at(i - 1).isHighSurrogate()) &&
                             name.at(i).unicode() >= kEscapeBase + 0x80 &&
                             name.at(i).unicode() <= kEscapeBase + 0xFF;
        if (!escaped && i < name.size()) continue;
        native += name.mid(from, i - from).toUtf8();
        if (escaped) native += static_cast<char>(name.at(i).unicode() - kEscapeBase);
        from = i + 1;
    }
    return native;
}

QString FileNameFromNative(const QByteArray& native) {
    QString name;
    name.reserve(native.size());
    qsizetype from = 0;
    qsizetype at = 0;
    while (at < native.size()) {
        const int length = ValidSequenceLength(native, at);
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(native.constData() + from, at - from);
        name += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(native[at])));
        from = ++at;
    }
    name += QString::fromUtf8(native.constData() + from, at - from);
    return name;
}

QString CurrentFolder() {
    std::vector<char> buffer(PATH_MAX);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return FileNameFromNative(QByteArray(buffer.data()));
}

QString UsableFolderName(const QByteArray& nativeFolder) {
    const QString decoded = QString::fromUtf8(nativeFolder);
    if (decoded.toUtf8() == nativeFolder) return decoded;
    const int fd = ::open(nativeFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {};
    return QStringLiteral("/proc/self/fd/%1").arg(fd);  // kept open on purpose
}

bool FileExists(const QString& name) {
    struct stat info {};
    return ::stat(NativeFileName(name).constData(), &info) == 0;
}

void RemoveFile(const QString& name) {
    ::unlink(NativeFileName(name).constData());
}

void CopyPermissions(const QString& from, const QString& to) {
    struct stat info {};
    if (::stat(NativeFileName(from).constData(), &info) != 0) return;
    ::chmod(NativeFileName(to).constData(), info.st_mode & 07777);
}

}  // namespace kesp::store
