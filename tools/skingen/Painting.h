#pragma once
// Drawing primitives of the skin: fonts, panels, gloss, symbols and the icon.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace Paint {

// Loads Liberation Sans (regular and bold) for the lettering; returns an
// error text when the fonts cannot be found.
QString LoadFonts();
QFont Font(qreal pixelSize, bool bold = false);

// An opaque picture of the given size in pixels of the window, drawn at
// `scale` device pixels per pixel: painters on it work in window pixels.
QImage Canvas(int width, int height, int scale);
// A one-pixel line in the pen's colour, both ends included; horizontal or
// vertical. At twice the size it covers exactly the pixels the line covers at
// its own size, so lines stay where the layout expects them.
void PixelLine(QPainter& p, int x1, int y1, int x2, int y2);
// A one-pixel outline along the inside of r, in the pen's colour.
void PixelFrame(QPainter& p, const QRect& r);

// A rounded panel with a vertical gradient and a one-pixel border.
void Panel(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
    const QColor& border);
// A soft white sheen over the upper half of a rounded shape.
void Gloss(QPainter& p, const QRectF& r, qreal radius, int alpha);
// A bevelled, sunken frame: dark inside edge at top-left, light at bottom-right.
void Sunken(QPainter& p, const QRectF& r, qreal radius, const QColor& fill);
// Text with a one-pixel shadow; the point is the baseline's left end.
void ShadowText(QPainter& p, const QPointF& at, const QString& text, const QFont& font, const QColor& colour,
    const QColor& shadow);
// Centres text on a horizontal position.
void CentredText(
    QPainter& p, qreal centreX, qreal baseline, const QString& text, const QFont& font, const QColor& colour);

enum class TGlyph {
    Play,
    Pause,
    MarkStart,
    MarkEnd,
    PlaySelected,
    MoveLeft,
    MoveRight,
    Minimise,
    Close,
    Menu,
    Folder,
    Disk,
    Note,
    Globe,
    Envelope,
    Info,
};
// Draws a symbol filling the box (square boxes look best).
void Glyph(QPainter& p, TGlyph glyph, const QRectF& box, const QColor& colour);

// The application icon: a blue rounded tile with a white note and ring waves.
// mono: pure black and white.
QImage Icon(int size, bool mono = false);

} // namespace Paint
