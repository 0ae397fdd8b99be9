// Draws the pictures and icons of the program into its image folder:
//
//   kesp_draw_artwork <image folder> [<Tango icon theme folder>]
//
// Pictures (.bmp) are drawn on white, the background of every window; icons
// (.ico) keep their transparency. Where the public-domain Tango icon theme has
// a fitting symbol it is scaled to the size the picture is shown at; flags,
// header and footer bands, the logo and the symbols Tango lacks (cake, office
// building, car, cooking pot, books, shield, disc, film strip, collector's box,
// biorhythm waves) are drawn here.
// A Tango symbol that is not installed is replaced by a lettered tile, so the
// build never leaves a picture out.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QString tangoFolder;

using Drawing = std::function<void(QPainter&, const QRectF&)>;

QImage Canvas(QSize size, bool transparent) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(transparent ? Qt::transparent : Qt::white);
    return image;
}

// A Tango symbol at the size nearest above the target, or nullptr-image.
QImage TangoSymbol(const QString& symbol, int size) {
    for (int candidate : {16, 22, 24, 32}) {
        if (candidate < size && candidate != 32) continue;
        QImage image(
            QDir(tangoFolder).filePath(QString("%1x%1/%2.png").arg(candidate).arg(symbol)));
        if (!image.isNull()) return image;
    }
    return {};
}

void LetteredTile(QPainter& painter, const QRectF& area, const QString& letter, QColor colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), area.width() / 6, area.width() / 6);
    painter.setPen(Qt::white);
    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(int(area.height() * 0.6));
    painter.setFont(font);
    painter.drawText(area, Qt::AlignCenter, letter);
}

Drawing Tango(const QString& symbol) {
    return [symbol](QPainter& painter, const QRectF& area) {
        const QImage image = TangoSymbol(symbol, int(area.height()));
        if (image.isNull()) {
            LetteredTile(painter, area, symbol.section('/', -1).left(1).toUpper(),
                         QColor(52, 101, 164));
            return;
        }
        painter.drawImage(area, image.scaled(area.size().toSize(), Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation));
    };
}

// ---- Drawn symbols ----------------------------------------------------------------

void Cake(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    p.setPen(QPen(QColor(143, 89, 2), std::max(1.0, w / 24)));
    p.setBrush(QColor(233, 185, 110));
    p.drawRoundedRect(QRectF(a.left() + w * 0.12, a.top() + h * 0.5, w * 0.76, h * 0.42), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(a.left() + w * 0.14, a.top() + h * 0.5, w * 0.72, h * 0.1));
    p.setBrush(QColor(204, 0, 0));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(a.left() + w * (0.28 + 0.22 * i), a.top() + h * 0.72), w * 0.05,
                      w * 0.05);
    for (int i = 0; i < 3; ++i) {
        const double x = a.left() + w * (0.3 + 0.2 * i);
        p.setBrush(QColor(114, 159, 207));
        p.drawRect(QRectF(x - w * 0.03, a.top() + h * 0.26, w * 0.06, h * 0.24));
        p.setBrush(QColor(252, 175, 62));
        p.drawEllipse(QPointF(x, a.top() + h * 0.18), w * 0.05, h * 0.08);
    }
}

void Building(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    p.setPen(QPen(QColor(46, 52, 54), std::max(1.0, w / 24)));
    p.setBrush(QColor(136, 138, 133));
    const QRectF tower(a.left() + w * 0.22, a.top() + h * 0.08, w * 0.42, h * 0.86);
    p.drawRect(tower);
    p.setBrush(QColor(186, 189, 182));
    p.drawRect(QRectF(a.left() + w * 0.64, a.top() + h * 0.4, w * 0.22, h * 0.54));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 233, 79));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col)
            p.drawRect(QRectF(tower.left() + tower.width() * (0.18 + 0.42 * col),
                              tower.top() + tower.height() * (0.1 + 0.2 * row),
                              tower.width() * 0.24, tower.height() * 0.1));
    p.setBrush(QColor(52, 101, 164));
    p.drawRect(QRectF(tower.center().x() - w * 0.05, tower.bottom() - h * 0.16, w * 0.1, h * 0.16));
}

void Car(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    QPainterPath body;
    body.moveTo(a.left() + w * 0.06, a.top() + h * 0.72);
    body.lineTo(a.left() + w * 0.06, a.top() + h * 0.5);
    body.lineTo(a.left() + w * 0.26, a.top() + h * 0.46);
    body.lineTo(a.left() + w * 0.36, a.top() + h * 0.26);
    body.lineTo(a.left() + w * 0.7, a.top() + h * 0.26);
    body.lineTo(a.left() + w * 0.82, a.top() + h * 0.46);
    body.lineTo(a.left() + w * 0.94, a.top() + h * 0.52);
    body.lineTo(a.left() + w * 0.94, a.top() + h * 0.72);
    body.closeSubpath();
    p.setPen(QPen(QColor(164, 0, 0), std::max(1.0, w / 24)));
    p.setBrush(QColor(239, 41, 41));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(186, 220, 255));
    p.drawRect(QRectF(a.left() + w * 0.4, a.top() + h * 0.32, w * 0.13, h * 0.14));
    p.drawRect(QRectF(a.left() + w * 0.56, a.top() + h * 0.32, w * 0.12, h * 0.14));
    p.setBrush(QColor(46, 52, 54));
    for (double x : {0.27, 0.73})
        p.drawEllipse(QPointF(a.left() + w * x, a.top() + h * 0.74), w * 0.1, w * 0.1);
}

void Pot(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    p.setPen(QPen(QColor(46, 52, 54), std::max(1.0, w / 24)));
    p.setBrush(QColor(136, 138, 133));
    p.drawRoundedRect(QRectF(a.left() + w * 0.16, a.top() + h * 0.45, w * 0.68, h * 0.45), 3, 3);
    p.drawRect(QRectF(a.left() + w * 0.06, a.top() + h * 0.5, w * 0.1, h * 0.06));
    p.drawRect(QRectF(a.left() + w * 0.84, a.top() + h * 0.5, w * 0.1, h * 0.06));
    p.setBrush(QColor(85, 87, 83));
    p.drawRect(QRectF(a.left() + w * 0.12, a.top() + h * 0.4, w * 0.76, h * 0.07));
    p.setPen(QPen(QColor(136, 138, 133), std::max(1.0, w / 20)));
    p.setBrush(Qt::NoBrush);
    for (double x : {0.35, 0.5, 0.65}) {
        QPainterPath steam;
        steam.moveTo(a.left() + w * x, a.top() + h * 0.34);
        steam.cubicTo(a.left() + w * (x - 0.08), a.top() + h * 0.25, a.left() + w * (x + 0.08),
                      a.top() + h * 0.18, a.left() + w * x, a.top() + h * 0.06);
        p.drawPath(steam);
    }
}

void Books(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    const QColor colours[] = {QColor(204, 0, 0), QColor(52, 101, 164), QColor(78, 154, 6),
                              QColor(193, 125, 17)};
    p.setPen(QPen(QColor(46, 52, 54), std::max(1.0, w / 32)));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        const double top = a.top() + h * (i % 2 ? 0.16 : 0.08);
        p.drawRect(
            QRectF(a.left() + w * (0.1 + 0.2 * i), top, w * 0.18, a.bottom() - top - h * 0.06));
    }
}

void Shield(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    QPainterPath shield;
    shield.moveTo(a.left() + w * 0.5, a.top() + h * 0.06);
    shield.lineTo(a.left() + w * 0.86, a.top() + h * 0.2);
    shield.cubicTo(a.left() + w * 0.86, a.top() + h * 0.6, a.left() + w * 0.7, a.top() + h * 0.8,
                   a.left() + w * 0.5, a.top() + h * 0.95);
    shield.cubicTo(a.left() + w * 0.3, a.top() + h * 0.8, a.left() + w * 0.14, a.top() + h * 0.6,
                   a.left() + w * 0.14, a.top() + h * 0.2);
    shield.closeSubpath();
    p.setPen(QPen(QColor(32, 74, 135), std::max(1.0, w / 20)));
    p.setBrush(QColor(114, 159, 207));
    p.drawPath(shield);
    p.setPen(QPen(Qt::white, std::max(1.5, w / 10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(a.left() + w * 0.33, a.top() + h * 0.5),
                              QPointF(a.left() + w * 0.46, a.top() + h * 0.64),
                              QPointF(a.left() + w * 0.68, a.top() + h * 0.36)}));
}

void Disc(QPainter& p, const QRectF& a) {
    const double w = a.width();
    const QPointF c = a.center();
    QRadialGradient shine(c, w * 0.46);
    shine.setColorAt(0, QColor(238, 238, 236));
    shine.setColorAt(0.6, QColor(173, 127, 168));
    shine.setColorAt(1, QColor(114, 159, 207));
    p.setPen(QPen(QColor(85, 87, 83), std::max(1.0, w / 32)));
    p.setBrush(shine);
    p.drawEllipse(c, w * 0.44, w * 0.44);
    p.setBrush(QColor(186, 189, 182));
    p.drawEllipse(c, w * 0.14, w * 0.14);
    p.setBrush(Qt::white);
    p.drawEllipse(c, w * 0.05, w * 0.05);
}

void Film(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    const QRectF strip(a.left() + w * 0.16, a.top() + h * 0.06, w * 0.68, h * 0.88);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 52, 54));
    p.drawRect(strip);
    p.setBrush(Qt::white);
    for (int i = 0; i < 6; ++i) {
        const double y = strip.top() + strip.height() * (0.05 + 0.16 * i);
        p.drawRect(QRectF(strip.left() + w * 0.04, y, w * 0.07, h * 0.07));
        p.drawRect(QRectF(strip.right() - w * 0.11, y, w * 0.07, h * 0.07));
    }
    p.setBrush(QColor(114, 159, 207));
    p.drawRect(QRectF(strip.left() + w * 0.16, strip.top() + h * 0.06, w * 0.36, h * 0.34));
    p.setBrush(QColor(252, 175, 62));
    p.drawRect(QRectF(strip.left() + w * 0.16, strip.top() + h * 0.46, w * 0.36, h * 0.34));
}

// A collector's box of stamps and a coin.
void Collection(QPainter& p, const QRectF& a) {
    const double w = a.width(), h = a.height();
    p.setPen(QPen(QColor(143, 89, 2), std::max(1.0, w / 24)));
    p.setBrush(QColor(233, 185, 110));
    p.drawRect(QRectF(a.left() + w * 0.06, a.top() + h * 0.12, w * 0.88, h * 0.76));
    const QColor stamps[] = {QColor(204, 0, 0), QColor(78, 154, 6), QColor(52, 101, 164)};
    p.setPen(QPen(Qt::white, std::max(1.0, w / 32), Qt::DotLine));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(stamps[i]);
        p.drawRect(QRectF(a.left() + w * (0.14 + 0.26 * i), a.top() + h * 0.2, w * 0.2, h * 0.26));
    }
    p.setPen(QPen(QColor(196, 160, 0), std::max(1.0, w / 24)));
    p.setBrush(QColor(252, 233, 79));
    p.drawEllipse(QPointF(a.left() + w * 0.3, a.top() + h * 0.66), w * 0.13, w * 0.13);
    p.drawEllipse(QPointF(a.left() + w * 0.62, a.top() + h * 0.66), w * 0.13, w * 0.13);
}

void Waves(QPainter& p, const QRectF& a) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(a.adjusted(1, 1, -1, -1), 3, 3);
    const QColor colours[] = {QColor(128, 128, 255), QColor(255, 102, 10), QColor(55, 201, 48)};
    const double periods[] = {1.0, 1.3, 1.7};
    for (int s = 0; s < 3; ++s) {
        QPainterPath wave;
        for (int i = 0; i <= 40; ++i) {
            const double x = a.left() + 2 + (a.width() - 4) * i / 40.0;
            const double y = a.center().y() -
                             (a.height() * 0.36) * std::sin(i / 40.0 * 2 * M_PI * periods[s] + s);
            if (i == 0)
                wave.moveTo(x, y);
            else
                wave.lineTo(x, y);
        }
        p.setPen(QPen(colours[s], std::max(1.5, a.width() / 14)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    }
}

void Logo(QPainter& p, const QRectF& a) {
    QLinearGradient gradient(a.topLeft(), a.bottomRight());
    gradient.setColorAt(0, QColor(252, 175, 62));
    gradient.setColorAt(1, QColor(206, 92, 0));
    p.setPen(QPen(Qt::white, std::max(1.0, a.height() / 15)));
    p.setBrush(gradient);
    p.drawRoundedRect(a.adjusted(1, 1, -1, -1), a.height() / 5, a.height() / 5);
    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(int(a.height() * 0.62));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(a, Qt::AlignCenter, "VK");
}

// The logo as it sits on the header band of the main window (at column 20 of
// the band's top edge): drawn on the band itself, since a picture has no
// transparency and a white rectangle would show around it.
constexpr QPointF kLogoOnHeader(20, 0);
constexpr QSizeF kHeaderSize(674, 138);
void HeaderBand(QPainter& p, const QRectF& a);

void LogoOnHeader(QPainter& p, const QRectF& a) {
    p.save();
    p.setClipRect(a);
    HeaderBand(p, QRectF(a.topLeft() - kLogoOnHeader, kHeaderSize));
    p.restore();
    Logo(p, a);
}

// ---- Flags (16 x 11) -------------------------------------------------------------

void GermanFlag(QPainter& p, const QRectF& a) {
    const double third = a.height() / 3;
    p.fillRect(QRectF(a.left(), a.top(), a.width(), third), QColor(0, 0, 0));
    p.fillRect(QRectF(a.left(), a.top() + third, a.width(), third), QColor(221, 0, 0));
    p.fillRect(QRectF(a.left(), a.top() + 2 * third, a.width(), a.height() - 2 * third),
               QColor(255, 206, 0));
}

void AmericanFlag(QPainter& p, const QRectF& a) {
    const int stripes = int(a.height()) % 2 ? int(a.height()) : int(a.height()) - 1;
    const double stripe = a.height() / stripes;
    for (int i = 0; i < stripes; ++i)
        p.fillRect(QRectF(a.left(), a.top() + i * stripe, a.width(), stripe),
                   i % 2 ? QColor(255, 255, 255) : QColor(178, 34, 52));
    const QRectF canton(a.left(), a.top(), a.width() * 0.45, stripe * ((stripes + 1) / 2));
    p.fillRect(canton, QColor(60, 59, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (double y = canton.top() + 1.5; y < canton.bottom() - 0.5; y += 2)
        for (double x = canton.left() + 1.5; x < canton.right() - 0.5; x += 2)
            p.drawRect(QRectF(x - 0.4, y - 0.4, 0.8, 0.8));
}

void BrazilianFlag(QPainter& p, const QRectF& a) {
    p.fillRect(a, QColor(0, 156, 59));
    const QPointF c = a.center();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 223, 0));
    p.drawPolygon(QPolygonF({QPointF(a.left() + a.width() * 0.08, c.y()),
                             QPointF(c.x(), a.top() + a.height() * 0.1),
                             QPointF(a.right() - a.width() * 0.08, c.y()),
                             QPointF(c.x(), a.bottom() - a.height() * 0.1)}));
    p.setBrush(QColor(0, 39, 118));
    p.drawEllipse(c, a.height() * 0.26, a.height() * 0.26);
}

// ---- Bands of the main window -----------------------------------------------------

void HeaderBand(QPainter& p, const QRectF& a) {
    QLinearGradient sky(a.topLeft(), a.bottomLeft());
    sky.setColorAt(0, QColor(32, 74, 135));
    sky.setColorAt(1, QColor(114, 159, 207));
    p.fillRect(a, sky);
    // Soft waves across the band.
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const auto crest = [&](double x) {
            return a.bottom() - 22 - 12 * i - 10 * std::sin(x / 70.0 + i * 1.7);
        };
        wave.moveTo(a.left(), a.bottom());
        for (double x = a.left(); x < a.right(); x += 4)
            wave.lineTo(x, crest(x));
        // The waves reach the right edge, leaving no darker seam there.
        wave.lineTo(a.right(), crest(a.right()));
        wave.lineTo(a.right(), a.bottom());
        wave.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 40 + 25 * i));
        p.drawPath(wave);
    }
    QFont title("Liberation Sans");
    title.setBold(true);
    title.setPixelSize(40);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(a.left() + 90, a.top() + 24, a.width() - 110, 50),
               Qt::AlignLeft | Qt::AlignVCenter, "Varnel Kesp 2.0");
    QFont subtitle("Liberation Sans");
    subtitle.setPixelSize(15);
    p.setFont(subtitle);
    p.setPen(QColor(238, 238, 236));
    p.drawText(QRectF(a.left() + 92, a.top() + 74, a.width() - 110, 22),
               Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("multi language  ·  Deutsch  ·  English  ·  Português"));
}

void FooterBand(QPainter& p, const QRectF& a) {
    QLinearGradient band(a.topLeft(), a.bottomLeft());
    band.setColorAt(0, QColor(114, 159, 207));
    band.setColorAt(1, QColor(32, 74, 135));
    p.fillRect(a, band);
    p.fillRect(QRectF(a.left(), a.top(), a.width(), 2), QColor(252, 175, 62));
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QColor(238, 238, 236));
    p.drawText(a.adjusted(12, 2, -12, 0), Qt::AlignRight | Qt::AlignVCenter, "Varnel Kesp 2.0");
}

// ---- Writing ------------------------------------------------------------------------

bool failed = false;

void Write(const QImage& image, const QString& path, const char* format) {
    QImageWriter writer(path, format);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        failed = true;
    }
}

// A picture: the drawing centred on white, at its own size.
void Picture(const QString& folder, const QString& name, QSize size, const Drawing& draw,
             QSize symbol = {}) {
    QImage image = Canvas(size, false);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!symbol.isValid()) symbol = size;
    const QRectF area(
        QPointF((size.width() - symbol.width()) / 2.0, (size.height() - symbol.height()) / 2.0),
        QSizeF(symbol));
    draw(painter, area);
    painter.end();
    Write(image.convertToFormat(QImage::Format_RGB32), QDir(folder).filePath(name + ".bmp"), "bmp");
}

// A window icon: 32 x 32 with transparency.
void Icon(const QString& folder, const QString& name, const Drawing& draw) {
    QImage image = Canvas(QSize(32, 32), true);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    draw(painter, QRectF(0, 0, 32, 32));
    painter.end();
    Write(image.convertToFormat(QImage::Format_ARGB32), QDir(folder).filePath(name + ".ico"),
          "ico");
}

// The program's icon for the desktop's menus, as the window icon: a PNG of a
// size of the icon theme.
void DesktopIcon(const QString& folder, int size) {
    QImage image = Canvas(QSize(size, size), true);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Logo(painter, QRectF(0, 0, size, size));
    painter.end();
    Write(image, QDir(folder).filePath(QString("kespico%1.png").arg(size)), "png");
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <image folder> [<Tango icon theme folder>]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    tangoFolder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : "/usr/share/icons/Tango";
    QDir().mkpath(folder);

    // The launch buttons of the main window (40 x 25): a 20 x 20 symbol.
    const QSize launch(20, 20);
    Picture(folder, "hauptuser", launch, Tango("mimetypes/x-office-address-book"));
    Picture(folder, "hauptfiesta", launch, Cake);
    Picture(folder, "hauptfirmen", launch, Building);
    Picture(folder, "printer", launch, Tango("devices/printer"));
    Picture(folder, "agenda", launch, Tango("mimetypes/x-office-calendar"));
    Picture(folder, "notiz", launch, Tango("apps/accessories-text-editor"));
    Picture(folder, "besprech", launch, Tango("apps/system-users"));
    Picture(folder, "hyper", launch, Tango("apps/internet-web-browser"));
    Picture(folder, "tipps", launch, Tango("status/dialog-information"));
    Picture(folder, "woerter", launch, Tango("apps/preferences-desktop-locale"));
    Picture(folder, "myform", launch, Tango("mimetypes/x-office-spreadsheet-template"));
    Picture(folder, "helpme1", launch, Tango("apps/help-browser"));

    // Flags, the logo and the header and footer bands.
    Picture(folder, "de", QSize(16, 11), GermanFlag);
    Picture(folder, "en", QSize(16, 11), AmericanFlag);
    Picture(folder, "br", QSize(16, 11), BrazilianFlag);
    Picture(folder, "kesplogo", QSize(49, 30), LogoOnHeader);
    Picture(folder, "02", kHeaderSize.toSize(), HeaderBand);
    Picture(folder, "03", QSize(674, 40), FooterBand);

    // Toolbar and small button pictures (16 x 16).
    const QSize tool(16, 16);
    Picture(folder, "first", tool, Tango("actions/go-first"));
    Picture(folder, "prev", tool, Tango("actions/go-previous"));
    Picture(folder, "next", tool, Tango("actions/go-next"));
    Picture(folder, "last", tool, Tango("actions/go-last"));
    Picture(folder, "add", tool, Tango("actions/list-add"));
    Picture(folder, "del", tool, Tango("places/user-trash"));
    Picture(folder, "file_excel", tool, Tango("mimetypes/x-office-spreadsheet"));
    Picture(folder, "save", tool, Tango("actions/document-save"));
    Picture(folder, "find", tool, Tango("actions/edit-find"));
    Picture(folder, "page_find", tool, Tango("actions/system-search"));
    Picture(folder, "vcard_out", tool, Tango("actions/mail-forward"));
    Picture(folder, "vcard_in", tool, Tango("actions/document-open"));
    Picture(folder, "duplicates", tool, Tango("actions/edit-find-replace"));

    // The template buttons of the own application (32 x 32), all drawn here.
    const QSize templateButton(32, 32);
    Picture(folder, "books", templateButton, Books);
    Picture(folder, "vers", templateButton, Shield);
    Picture(folder, "koch", templateButton, Pot);
    Picture(folder, "kfz", templateButton, Car);
    Picture(folder, "cds", templateButton, Disc);
    Picture(folder, "page_video", templateButton, Film);
    Picture(folder, "samml", templateButton, Collection);

    // The save and cancel buttons of entry mode (40 x 28).
    Picture(folder, "savelarge", QSize(24, 24), Tango("actions/document-save"));
    Picture(folder, "cancel", QSize(24, 24), Tango("actions/process-stop"));

    // Window icons.
    Icon(folder, "kespico", Logo);
    DesktopIcon(folder, 48);
    DesktopIcon(folder, 128);
    Icon(folder, "hauptuser", Tango("mimetypes/x-office-address-book"));
    Icon(folder, "hauptfiesta", Cake);
    Icon(folder, "hauptfirmen", Building);
    Icon(folder, "agenda", Tango("mimetypes/x-office-calendar"));
    Icon(folder, "notiz", Tango("apps/accessories-text-editor"));
    Icon(folder, "besprech", Tango("apps/system-users"));
    Icon(folder, "hyper", Tango("apps/internet-web-browser"));
    Icon(folder, "tipps", Tango("status/dialog-information"));
    Icon(folder, "woerter", Tango("apps/preferences-desktop-locale"));
    Icon(folder, "myform", Tango("mimetypes/x-office-spreadsheet-template"));
    Icon(folder, "einstellungen", Tango("categories/preferences-system"));
    Icon(folder, "bior", Waves);

    return failed ? 1 : 0;
}
