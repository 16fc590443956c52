#pragma once
// A raster canvas over a QImage (Format_RGB32) with the drawing rules the
// timeline relies on: rectangle fills exclude their right and bottom edges,
// 1-pixel lines stop before their end point, lines and triangles honour the
// pen mode (copy or XOR), triangles are filled and outlined in one colour,
// and text is drawn with a transparent background and no antialiasing.
// The canvas keeps a reference to the image object, so the image may be
// replaced (resized) without invalidating the canvas.

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRgb>

#include <functional>
#include <utility>
#include <vector>

enum class TPenMode { Copy, Xor };

class TCanvas {
public:
    explicit TCanvas(QImage& surface);

    QImage& Surface() { return surface_; }
    int SurfaceWidth() const { return surface_.width(); }
    int SurfaceHeight() const { return surface_.height(); }

    // Pen mode is kept between drawing calls until changed.
    TPenMode PenMode = TPenMode::Copy;
    QRgb PenColor = qRgb(0, 0, 0);
    QRgb BrushColor = qRgb(255, 255, 255);
    QRgb FontColor = qRgb(255, 255, 255);

    void SetFont(const QFont& font);
    const QFont& Font() const { return font_; }

    // Fills [left, right) x [top, bottom) with BrushColor, always solid copy.
    void FillRect(int left, int top, int right, int bottom);
    // From (x1, y1) towards (x2, y2), the end point excluded, in PenColor.
    void Line(int x1, int y1, int x2, int y2);
    // Every pixel of the closed triangle once, in PenColor.
    void Triangle(QPoint a, QPoint b, QPoint c);
    // Text with its top-left corner at (x, y), FontColor, background untouched.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    // Renders these characters' glyphs now, so a later TextOut only copies them.
    void PrepareGlyphs(const QString& characters);

    // Limits drawing to columns [left, right) of the surface; used to paint a
    // wide picture in cache-sized strips.
    void SetClipColumns(int left, int right);
    void ResetClip();
    int ClipLeft() const { return clipLeft_; }
    int ClipRight() const;
    // Direct pixel access for bulk drawing; valid until the image is replaced.
    void Prepare()
    {
        bits_ = reinterpret_cast<uint32_t*>(surface_.bits());
        stride_ = surface_.bytesPerLine() / 4;
    }
    uint32_t* Row(int y) const { return bits_ + y * stride_; }

    // Called after drawing so that a widget showing the image can repaint.
    std::function<void()> OnChange;
    void Changed();

    // Applies the pen to one pixel; no bounds check.
    void Plot(uint32_t* pixel) const
    {
        if (PenMode == TPenMode::Xor)
            *pixel ^= PenColor & 0x00FFFFFFu;
        else
            *pixel = 0xFF000000u | PenColor;
    }

private:
    struct Glyph {
        std::vector<QPoint> pixels; // relative to the pen position at the text's top
        int advance = 0;
    };
    const Glyph& GlyphFor(QChar ch);
    void SetPixel(int x, int y);
    // Visits the pixels of a 1-pixel line from (x1, y1) towards (x2, y2), the
    // end point excluded, unclipped. Bresenham, always walked from the upper
    // (then left) end, so a line covers the same pixels in both directions.
    template <class Visit>
    static void WalkLine(long long x1, long long y1, long long x2, long long y2, Visit visit)
    {
        const bool reversed = y2 < y1 || (y2 == y1 && x2 < x1);
        if (reversed) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const long long dx = x2 > x1 ? x2 - x1 : x1 - x2, sx = x1 < x2 ? 1 : -1;
        const long long dy = -(y2 - y1), sy = 1;
        long long err = dx + dy;
        long long x = x1, y = y1;
        // Walking backwards, the given start is the walk's end and the given
        // end is its start.
        bool first = true;
        while (x != x2 || y != y2) {
            if (!(reversed && first))
                visit(x, y);
            first = false;
            const long long e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
        if (reversed && !first)
            visit(x2, y2);
    }

    QImage& surface_;
    uint32_t* bits_ = nullptr;
    qsizetype stride_ = 0;
    int clipLeft_ = 0;
    int clipRight_ = -1; // -1: the surface's width
    QFont font_;
    QHash<QChar, Glyph> glyphs_;
};
