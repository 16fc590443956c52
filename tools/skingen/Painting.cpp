#include "Painting.h"

#include <QFontDatabase>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace Paint {

QString LoadFonts()
{
    const char* const files[] = {
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
    };
    for (const char* f : files) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(f)) < 0)
            return QStringLiteral("loading font %1 failed (package fonts-liberation2)").arg(f);
    }
    return {};
}

QFont Font(qreal pixelSize, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage Canvas(int width, int height, int scale)
{
    QImage img(width * scale, height * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    return img;
}

void PixelLine(QPainter& p, int x1, int y1, int x2, int y2)
{
    if (p.device()->devicePixelRatio() == 1) {
        p.drawLine(x1, y1, x2, y2);
        return;
    }
    // A scaled pen would straddle the pixel edge: fill the pixels instead.
    p.fillRect(QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2), qMax(y1, y2))), p.pen().color());
}

void PixelFrame(QPainter& p, const QRect& r)
{
    if (p.device()->devicePixelRatio() == 1) {
        p.save();
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.restore();
        return;
    }
    PixelLine(p, r.left(), r.top(), r.right(), r.top());
    PixelLine(p, r.left(), r.bottom(), r.right(), r.bottom());
    PixelLine(p, r.left(), r.top(), r.left(), r.bottom());
    PixelLine(p, r.right(), r.top(), r.right(), r.bottom());
}

void Panel(
    QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom, const QColor& border)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(border.isValid() ? QPen(border, 1) : Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

void Gloss(QPainter& p, const QRectF& r, qreal radius, int alpha)
{
    QRectF upper = r.adjusted(1.5, 1.5, -1.5, -r.height() / 2);
    QLinearGradient g(upper.topLeft(), upper.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(255, 255, 255, alpha / 5));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(upper, qMax<qreal>(0, radius - 1), qMax<qreal>(0, radius - 1));
    p.restore();
}

void Sunken(QPainter& p, const QRectF& r, qreal radius, const QColor& fill)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, 0.5, 0.5), radius, radius);
    p.setPen(QPen(QColor(0, 0, 0, 150), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

void ShadowText(QPainter& p, const QPointF& at, const QString& text, const QFont& font, const QColor& colour,
    const QColor& shadow)
{
    p.save();
    p.setFont(font);
    p.setPen(shadow);
    p.drawText(at + QPointF(1, 1), text);
    p.setPen(colour);
    p.drawText(at, text);
    p.restore();
}

void CentredText(
    QPainter& p, qreal centreX, qreal baseline, const QString& text, const QFont& font, const QColor& colour)
{
    p.save();
    p.setFont(font);
    p.setPen(colour);
    const qreal w = QFontMetricsF(font).horizontalAdvance(text);
    p.drawText(QPointF(centreX - w / 2, baseline), text);
    p.restore();
}

namespace {

QPolygonF Triangle(qreal x0, qreal yTop, qreal x1, qreal yBottom)
{
    // Points from x0 toward x1: the tip sits at x1, vertically centred.
    return QPolygonF({QPointF(x0, yTop), QPointF(x1, (yTop + yBottom) / 2), QPointF(x0, yBottom)});
}

void Bracket(QPainter& p, qreal x, qreal top, qreal bottom, qreal serif, qreal stroke, bool opensRight,
    const QColor& c)
{
    p.fillRect(QRectF(opensRight ? x : x - stroke, top, stroke, bottom - top), c);
    p.fillRect(QRectF(opensRight ? x : x - serif, top, serif, stroke), c);
    p.fillRect(QRectF(opensRight ? x : x - serif, bottom - stroke, serif, stroke), c);
}

} // namespace

void Glyph(QPainter& p, TGlyph glyph, const QRectF& box, const QColor& c)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const qreal x = box.x(), y = box.y(), w = box.width(), h = box.height();
    const qreal s = qMin(w, h);
    const QPointF m = box.center();
    switch (glyph) {
    case TGlyph::Play:
        p.drawPolygon(Triangle(m.x() - s * 0.36, m.y() - s * 0.46, m.x() + s * 0.48, m.y() + s * 0.46));
        break;
    case TGlyph::Pause:
        p.drawRoundedRect(QRectF(m.x() - s * 0.40, m.y() - s * 0.44, s * 0.28, s * 0.88), s * 0.05, s * 0.05);
        p.drawRoundedRect(QRectF(m.x() + s * 0.12, m.y() - s * 0.44, s * 0.28, s * 0.88), s * 0.05, s * 0.05);
        break;
    case TGlyph::MarkStart: {
        const qreal st = qMax<qreal>(2, s * 0.14);
        Bracket(p, m.x() - s * 0.42, m.y() - s * 0.46, m.y() + s * 0.46, s * 0.30, st, true, c);
        p.drawPolygon(Triangle(m.x() - s * 0.06, m.y() - s * 0.30, m.x() + s * 0.46, m.y() + s * 0.30));
        break;
    }
    case TGlyph::MarkEnd: {
        const qreal st = qMax<qreal>(2, s * 0.14);
        Bracket(p, m.x() + s * 0.42, m.y() - s * 0.46, m.y() + s * 0.46, s * 0.30, st, false, c);
        p.drawPolygon(Triangle(m.x() + s * 0.06, m.y() - s * 0.30, m.x() - s * 0.46, m.y() + s * 0.30));
        break;
    }
    case TGlyph::PlaySelected: {
        const qreal st = qMax<qreal>(2, s * 0.12);
        Bracket(p, m.x() - s * 0.48, m.y() - s * 0.44, m.y() + s * 0.44, s * 0.22, st, true, c);
        Bracket(p, m.x() + s * 0.48, m.y() - s * 0.44, m.y() + s * 0.44, s * 0.22, st, false, c);
        p.drawPolygon(Triangle(m.x() - s * 0.18, m.y() - s * 0.28, m.x() + s * 0.26, m.y() + s * 0.28));
        break;
    }
    case TGlyph::MoveLeft:
        p.drawPolygon(Triangle(m.x() + s * 0.02, m.y() - s * 0.34, m.x() - s * 0.46, m.y() + s * 0.34));
        p.drawPolygon(Triangle(m.x() + s * 0.48, m.y() - s * 0.34, m.x() + s * 0.00, m.y() + s * 0.34));
        break;
    case TGlyph::MoveRight:
        p.drawPolygon(Triangle(m.x() - s * 0.02, m.y() - s * 0.34, m.x() + s * 0.46, m.y() + s * 0.34));
        p.drawPolygon(Triangle(m.x() - s * 0.48, m.y() - s * 0.34, m.x() - s * 0.00, m.y() + s * 0.34));
        break;
    case TGlyph::Minimise:
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRectF(x + w * 0.25, y + h * 0.62, w * 0.5, qMax<qreal>(2, h * 0.14)), c);
        break;
    case TGlyph::Menu:
    {
        // Three bars on whole pixels, centred, so they stay apart at 14 px.
        p.setRenderHint(QPainter::Antialiasing, false);
        const qreal bar = qMax<qreal>(1, std::round(h * 0.1));
        const qreal gap = qMax(2 * bar, std::round(h * 0.25));
        const qreal top = std::round(y + h / 2 - bar / 2) - gap;
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRectF(std::round(x + w * 0.25), top + i * gap, std::round(w * 0.5), bar), c);
        break;
    }
    case TGlyph::Close: {
        QPen pen(c, qMax<qreal>(1.6, s * 0.14), Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(x + w * 0.28, y + h * 0.28), QPointF(x + w * 0.72, y + h * 0.72));
        p.drawLine(QPointF(x + w * 0.72, y + h * 0.28), QPointF(x + w * 0.28, y + h * 0.72));
        break;
    }
    case TGlyph::Folder: {
        QPainterPath path;
        path.moveTo(x, y + h * 0.15);
        path.lineTo(x + w * 0.38, y + h * 0.15);
        path.lineTo(x + w * 0.48, y + h * 0.30);
        path.lineTo(x + w, y + h * 0.30);
        path.lineTo(x + w, y + h * 0.90);
        path.lineTo(x, y + h * 0.90);
        path.closeSubpath();
        p.drawPath(path);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRect(QRectF(x, y + h * 0.42, w, h * 0.06));
        break;
    }
    case TGlyph::Disk: {
        p.drawRoundedRect(QRectF(x, y, w, h), s * 0.12, s * 0.12);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRect(QRectF(x + w * 0.22, y, w * 0.56, h * 0.36));
        p.drawRect(QRectF(x + w * 0.18, y + h * 0.56, w * 0.64, h * 0.34));
        break;
    }
    case TGlyph::Note: {
        // Two beamed eighth notes.
        const qreal stem = qMax<qreal>(1.2, s * 0.09);
        p.drawEllipse(QRectF(x + w * 0.04, y + h * 0.66, w * 0.34, h * 0.26));
        p.drawEllipse(QRectF(x + w * 0.56, y + h * 0.56, w * 0.34, h * 0.26));
        p.drawRect(QRectF(x + w * 0.38 - stem, y + h * 0.18, stem, h * 0.62));
        p.drawRect(QRectF(x + w * 0.90 - stem, y + h * 0.08, stem, h * 0.62));
        QPolygonF beam({QPointF(x + w * 0.38 - stem, y + h * 0.18), QPointF(x + w * 0.90, y + h * 0.08),
            QPointF(x + w * 0.90, y + h * 0.08 + h * 0.17),
            QPointF(x + w * 0.38 - stem, y + h * 0.18 + h * 0.17)});
        p.drawPolygon(beam);
        break;
    }
    case TGlyph::Globe: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(c, 1.2));
        const QRectF r = box.adjusted(0.6, 0.6, -0.6, -0.6);
        p.drawEllipse(r);
        p.drawEllipse(QRectF(m.x() - r.width() * 0.22, r.y(), r.width() * 0.44, r.height()));
        p.drawLine(QPointF(r.left(), m.y()), QPointF(r.right(), m.y()));
        break;
    }
    case TGlyph::Envelope: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(c, 1.2));
        const QRectF r = box.adjusted(0.6, 0.6, -0.6, -0.6);
        p.drawRect(r);
        p.drawPolyline(QPolygonF({r.topLeft(), QPointF(m.x(), r.y() + r.height() * 0.58), r.topRight()}));
        break;
    }
    case TGlyph::Info: {
        p.drawEllipse(box);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(QRectF(m.x() - s * 0.08, y + h * 0.18, s * 0.16, s * 0.16));
        p.drawRect(QRectF(m.x() - s * 0.07, y + h * 0.42, s * 0.14, h * 0.40));
        break;
    }
    }
    p.restore();
}

QImage Icon(int size, bool mono)
{
    const qreal s = size;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    const qreal radius = s * 0.2;
    if (mono) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(tile, radius, radius);
        Glyph(p, TGlyph::Note, QRectF(s * 0.16, s * 0.2, s * 0.6, s * 0.62), Qt::white);
        p.end();
        // Pure two-colour image; transparent corners stay see-through.
        QImage bw(size, size, QImage::Format_ARGB32);
        for (int yy = 0; yy < size; ++yy)
            for (int xx = 0; xx < size; ++xx) {
                const QRgb px = img.pixel(xx, yy);
                if (qAlpha(px) < 128)
                    bw.setPixel(xx, yy, qRgba(0, 0, 0, 0));
                else
                    bw.setPixel(xx, yy, qGray(px) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            }
        return bw;
    }
    QLinearGradient g(tile.topLeft(), tile.bottomRight());
    g.setColorAt(0, QColor(0x4f, 0x9c, 0xff));
    g.setColorAt(1, QColor(0x12, 0x3f, 0xa0));
    p.setPen(size >= 32 ? QPen(QColor(0x0b, 0x2a, 0x6b), s / 48.0) : Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, radius, radius);
    if (size >= 24)
        Gloss(p, tile, radius, 90);
    // Ring waves in orange at the top right, the ringtone's "sound".
    if (size >= 32) {
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 2; ++i) {
            const qreal r = s * (0.14 + 0.11 * i);
            p.setPen(
                QPen(QColor(0xff, 0xa8, 0x2e), qMax<qreal>(1.5, s * 0.045), Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(s * 0.72 - r, s * 0.28 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
        }
    }
    const QRectF noteBox = size >= 32 ? QRectF(s * 0.14, s * 0.22, s * 0.58, s * 0.62)
                                      : QRectF(s * 0.16, s * 0.16, s * 0.68, s * 0.7);
    Glyph(p, TGlyph::Note, noteBox.translated(s * 0.02, s * 0.03), QColor(0, 0, 0, 70));
    Glyph(p, TGlyph::Note, noteBox, Qt::white);
    return img;
}

} // namespace Paint
