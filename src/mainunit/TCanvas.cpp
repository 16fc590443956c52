#include "TCanvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

TCanvas::TCanvas(QImage& surface)
    : surface_(surface)
{
}

void TCanvas::SetFont(const QFont& font)
{
    font_ = font;
    glyphs_.clear();
}

void TCanvas::SetClipColumns(int left, int right)
{
    clipLeft_ = std::max(left, 0);
    clipRight_ = std::max(right, clipLeft_);
}

void TCanvas::ResetClip()
{
    clipLeft_ = 0;
    clipRight_ = -1;
}

int TCanvas::ClipRight() const
{
    return clipRight_ < 0 ? surface_.width() : std::min(clipRight_, surface_.width());
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange();
}

void TCanvas::FillRect(int left, int top, int right, int bottom)
{
    Prepare();
    left = std::max(left, clipLeft_);
    top = std::max(top, 0);
    right = std::min(right, ClipRight());
    bottom = std::min(bottom, surface_.height());
    if (left >= right || top >= bottom)
        return;
    const uint32_t value = 0xFF000000u | BrushColor;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = Row(y);
        std::fill(row + left, row + right, value);
    }
}

void TCanvas::SetPixel(int x, int y)
{
    if (x < clipLeft_ || y < 0 || x >= ClipRight() || y >= surface_.height())
        return;
    Plot(Row(y) + x);
}

void TCanvas::Line(int x1, int y1, int x2, int y2)
{
    Prepare();
    const int width = ClipRight(), height = surface_.height();
    if (x1 == x2 || y1 == y2) {
        // Axis-parallel: the timeline's only kind, clipped before the loop so
        // that far-off end points cost nothing.
        if (x1 == x2 && y1 == y2)
            return;
        const bool vertical = x1 == x2;
        const int fixed = vertical ? x1 : y1;
        if (fixed < (vertical ? clipLeft_ : 0) || fixed >= (vertical ? width : height))
            return;
        const long long from = vertical ? y1 : x1, to = vertical ? y2 : x2;
        const long long limit = vertical ? height : width;
        // The covered span is [from, to) going up, or (to, from] going down.
        const long long lo = std::max(from < to ? from : to + 1, vertical ? 0LL : clipLeft_);
        const long long hi = std::min(from < to ? to - 1 : from, limit - 1);
        for (long long v = lo; v <= hi; ++v) {
            if (vertical)
                SetPixel(fixed, static_cast<int>(v));
            else
                SetPixel(static_cast<int>(v), fixed);
        }
        return;
    }
    if (std::max(x1, x2) < clipLeft_ || std::min(x1, x2) >= width || std::max(y1, y2) < 0
        || std::min(y1, y2) >= height)
        return;
    WalkLine(x1, y1, x2, y2, [&](long long x, long long y) {
        if (x >= clipLeft_ && y >= 0 && x < width && y < height)
            SetPixel(static_cast<int>(x), static_cast<int>(y));
    });
}

void TCanvas::Triangle(QPoint a, QPoint b, QPoint c)
{
    Prepare();
    // Inclusion by edge functions in 64 bits: far-off coordinates must not overflow.
    const auto edge = [](QPoint p, QPoint q, long long x, long long y) {
        return (static_cast<long long>(q.x()) - p.x()) * (y - p.y())
            - (static_cast<long long>(q.y()) - p.y()) * (x - p.x());
    };
    const long long area = edge(a, b, c.x(), c.y());
    if (area == 0) {
        Line(a.x(), a.y(), b.x(), b.y());
        Line(b.x(), b.y(), c.x(), c.y());
        SetPixel(c.x(), c.y());
        return;
    }
    const int minX = std::max({std::min({a.x(), b.x(), c.x()}), clipLeft_});
    const int maxX = std::min({std::max({a.x(), b.x(), c.x()}), ClipRight() - 1});
    const int minY = std::max({std::min({a.y(), b.y(), c.y()}), 0});
    const int maxY = std::min({std::max({a.y(), b.y(), c.y()}), surface_.height() - 1});
    if (minX > maxX || minY > maxY)
        return;
    // The outline is the three edges as 1-pixel lines; together with the
    // inside, every pixel is set once so that XOR stays reversible.
    const int boxWidth = maxX - minX + 1;
    std::vector<uint8_t> outline(static_cast<size_t>(boxWidth) * static_cast<size_t>(maxY - minY + 1), 0);
    const auto mark = [&](long long x, long long y) {
        if (x >= minX && x <= maxX && y >= minY && y <= maxY)
            outline[static_cast<size_t>(y - minY) * boxWidth + static_cast<size_t>(x - minX)] = 1;
    };
    WalkLine(a.x(), a.y(), b.x(), b.y(), mark);
    WalkLine(b.x(), b.y(), c.x(), c.y(), mark);
    WalkLine(c.x(), c.y(), a.x(), a.y(), mark);
    for (int y = minY; y <= maxY; ++y) {
        uint32_t* row = Row(y);
        const uint8_t* onOutline = outline.data() + static_cast<size_t>(y - minY) * boxWidth - minX;
        for (int x = minX; x <= maxX; ++x) {
            long long e0 = edge(a, b, x, y), e1 = edge(b, c, x, y), e2 = edge(c, a, x, y);
            if (area < 0) {
                e0 = -e0;
                e1 = -e1;
                e2 = -e2;
            }
            if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || onOutline[x])
                Plot(row + x);
        }
    }
}

const TCanvas::Glyph& TCanvas::GlyphFor(QChar ch)
{
    auto it = glyphs_.find(ch);
    if (it != glyphs_.end())
        return *it;
    // Render the character once, white on black without antialiasing, and keep
    // its lit pixels: drawing text is then a few stores per character.
    const QFontMetrics metrics(font_);
    const int margin = metrics.height();
    QImage scratch(metrics.horizontalAdvance(ch) + 2 * margin, 3 * margin, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font_);
        painter.setPen(Qt::white);
        painter.drawText(margin, margin + metrics.ascent(), QString(ch));
    }
    Glyph glyph;
    glyph.advance = metrics.horizontalAdvance(ch);
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            if (qGreen(row[x]) >= 128)
                glyph.pixels.emplace_back(x - margin, y - margin);
        }
    }
    return *glyphs_.insert(ch, std::move(glyph));
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    Prepare();
    const uint32_t value = 0xFF000000u | FontColor;
    const int left = clipLeft_, right = ClipRight(), height = surface_.height();
    for (const QChar ch : text) {
        const Glyph& glyph = GlyphFor(ch);
        for (const QPoint& p : glyph.pixels) {
            const int px = x + p.x(), py = y + p.y();
            if (px >= left && py >= 0 && px < right && py < height)
                Row(py)[px] = value;
        }
        x += glyph.advance;
    }
}

void TCanvas::PrepareGlyphs(const QString& characters)
{
    for (const QChar ch : characters)
        GlyphFor(ch);
}

int TCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(font_).horizontalAdvance(text);
}
