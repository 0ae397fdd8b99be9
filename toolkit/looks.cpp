#include "toolkit/looks.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

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
    QPixmap picture;
    picture.load(PicturePath(relativeName));
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
