// The locale of the toolkit's own texts and calendars, and Qt's translations
// of the texts Qt draws itself.
#include "toolkit/forms.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator>& LoadedTranslation() {
    static std::unique_ptr<QTranslator> translation;
    return translation;
}

}  // namespace

void SET_INTERFACE_LOCALE(const QString& localeName) {
    const QLocale locale(localeName);
    QLocale::setDefault(locale);

    std::unique_ptr<QTranslator>& loaded = LoadedTranslation();
    if (loaded) {
        QCoreApplication::removeTranslator(loaded.get());
        loaded.reset();
    }
    auto translation = std::make_unique<QTranslator>();
    // Debian's qt6-translations-l10n installs them; without it Qt's texts stay
    // English and everything else works.
    if (translation->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translation.get());
        loaded = std::move(translation);
    }
}
