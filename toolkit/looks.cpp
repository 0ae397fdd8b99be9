#include "toolkit/looks.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPixmapCache>
#include <QWidget>

#include <utility>

namespace {

QString pictureFolder;

void SubstituteMissingFonts() {
    static const bool done = [] {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                                  QStringLiteral("Liberation Serif"));
        return true;
    }();
    (void)done;
}

}  // namespace

void SET_PICTURE_FOLDER(const QString& applicationFolder) {
    pictureFolder = applicationFolder;
}

namespace kesp {

QFont MakeFont(const Font& font, bool bold) {
    SubstituteMissingFonts();
    QFont result(font.name.isEmpty() ? QStringLiteral("Arial") : font.name);
    if (font.size > 0) result.setPointSize(font.size);
    result.setBold(bold);
    return result;
}

QString PicturePath(const QString& relativeName) {
    // Definitions written for Windows separate folders with a backslash.
    QString name = relativeName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || QFileInfo(name).isAbsolute()) return name;
    const QDir folder(pictureFolder.isEmpty() ? QDir::currentPath() : pictureFolder);
    return folder.filePath(name);
}

QPixmap LoadPicture(const QString& relativeName) {
    if (relativeName.isEmpty()) return {};
    const QString path = PicturePath(relativeName);
    const QFileInfo file(path);
    if (!file.isFile()) return {};
    // The same picture in many windows is read once; a file replaced since
    // is read again.
    const QString key = QStringLiteral("kesp:%1:%2:%3")
                            .arg(path)
                            .arg(file.lastModified().toMSecsSinceEpoch())
                            .arg(file.size());
    QPixmap picture;
    if (QPixmapCache::find(key, &picture)) return picture;
    // The name's suffix says the format, so that only its reader is loaded:
    // asking each image plugin whether it can read the file loads every one
    // of them. A file whose content is of another format is read by its
    // content.
    QImageReader byName(path, file.suffix().toLower().toLatin1());
    byName.setAutoDetectImageFormat(false);
    QImage image = byName.read();
    if (image.isNull()) image = QImageReader(path).read();
    picture = QPixmap::fromImage(std::move(image));
    if (!picture.isNull()) QPixmapCache::insert(key, picture);
    return picture;
}

QIcon LoadIcon(const QString& relativeName) {
    const QPixmap picture = LoadPicture(relativeName);
    return picture.isNull() ? QIcon() : QIcon(picture);
}

QColor ColorFromValue(const QVariant& value) {
    if (value.canConvert<QColor>() && value.metaType().id() == QMetaType::QColor)
        return value.value<QColor>();
    const QVariantList parts = value.toList();
    if (parts.size() == 3) return QColor(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
    return {};
}

void SetBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetForeground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

}  // namespace kesp
