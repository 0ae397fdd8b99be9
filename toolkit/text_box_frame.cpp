#include "toolkit/text_box_frame.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>

namespace kesp {
namespace {

class CachedTextBoxFrame : public QProxyStyle {
  public:
    // Over a style of the program's own kind (the one it was started with).
    CachedTextBoxFrame() : QProxyStyle(QApplication::style()->name()) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_PanelLineEdit || option == nullptr || option->rect.isEmpty()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : qreal(1);
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        const QString key = QStringLiteral("kesp-text-box-%1x%2-%3-%4-%5-%6-%7")
                                .arg(option->rect.width())
                                .arg(option->rect.height())
                                .arg(static_cast<quint64>(option->state))
                                .arg(option->palette.cacheKey())
                                .arg(frame != nullptr ? frame->lineWidth : -1)
                                .arg(frame != nullptr ? int(frame->features) : -1)
                                .arg(ratio);
        QPixmap picture;
        if (!QPixmapCache::find(key, &picture)) {
            picture = QPixmap(option->rect.size() * ratio);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            QPainter drawing(&picture);
            if (frame != nullptr) {
                QStyleOptionFrame moved(*frame);
                moved.rect = QRect(QPoint(0, 0), option->rect.size());
                QProxyStyle::drawPrimitive(element, &moved, &drawing, widget);
            } else {
                QStyleOption moved(*option);
                moved.rect = QRect(QPoint(0, 0), option->rect.size());
                QProxyStyle::drawPrimitive(element, &moved, &drawing, widget);
            }
            drawing.end();
            QPixmapCache::insert(key, picture);
        }
        painter->drawPixmap(option->rect.topLeft(), picture);
    }
};

}  // namespace

void UseCachedTextBoxFrame(QWidget* textBox) {
    // One style for every text box, made over the program's style and gone
    // with the application.
    static QPointer<CachedTextBoxFrame> style;
    if (style.isNull()) {
        style = new CachedTextBoxFrame;
        style->setParent(qApp);
    }
    textBox->setStyle(style);
}

}  // namespace kesp
