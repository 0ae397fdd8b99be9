#include "toolkit/screenshot.h"

#include "toolkit/form_window.h"
#include "toolkit/message_box.h"

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

bool SaveMessageBoxScreenshot(const QString& kind, const QString& text, const QString& title,
                              const QString& pngPath) {
    const std::unique_ptr<QMessageBox> box = BuildMessageBox(kind, text, title);
    box->setWindowModality(Qt::NonModal);
    box->show();
    QApplication::processEvents();
    const bool saved = box->grab().save(pngPath, "PNG");
    box->hide();
    return saved;
}

}  // namespace kesp
