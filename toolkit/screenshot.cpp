#include "toolkit/screenshot.h"

#include "toolkit/form_window.h"

#include <QApplication>
#include <QPixmap>

namespace kesp {

bool SaveWindowScreenshot(const QString& window, const QString& pngPath) {
    FormWindow* form = FindFormWindow(window);
    if (form == nullptr) return false;
    if (!form->isVisible()) form->show();
    QApplication::processEvents();
    return form->grab().save(pngPath, "PNG");
}

}  // namespace kesp
