// The locale of the toolkit's own texts and calendars, and Qt's translations
// of the texts Qt draws itself.
#include "toolkit/forms.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <optional>

namespace {

struct InterfaceLocale {
    std::optional<QString> name;  // none before the first setting
    std::unique_ptr<QTranslator> translation;
};

InterfaceLocale& InForce() {
    static InterfaceLocale inForce;
    return inForce;
}

}  // namespace

void SET_INTERFACE_LOCALE(const QString& localeName) {
    InterfaceLocale& inForce = InForce();
    // The main window applies the stored language at every refresh of its
    // statistics, mostly the one in force: loading Qt's translation again
    // would read its file, and installing it sends every window a language
    // change.
    if (inForce.name == localeName) return;
    inForce.name = localeName;
    const QLocale locale(localeName);
    QLocale::setDefault(locale);

    if (inForce.translation) {
        QCoreApplication::removeTranslator(inForce.translation.get());
        inForce.translation.reset();
    }
    auto translation = std::make_unique<QTranslator>();
    // Debian's qt6-translations-l10n installs them; without it Qt's texts stay
    // English and everything else works.
    if (translation->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translation.get());
        inForce.translation = std::move(translation);
    }
}
