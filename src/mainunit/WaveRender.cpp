#include "WaveRender.h"

#include "SkinFont.h"

#include <algorithm>
#include <cstdlib>
#include <emmintrin.h>
#include <iterator>

int32_t RandomInt(int32_t n)
{
    RandSeed = RandSeed * 134775813u + 1u;
    return static_cast<int32_t>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(n)) >> 32);
}

TWaveRender::TWaveRender(TCanvas& canvas, int width, int height)
    : Canvas(canvas)
    , Width(width)
    , Height(height)
{
    Canvas.SetFont(SkinFont(11));
}

void TWaveRender::SetWaveLength(int n)
{
    WaveLength = n;
    Width = n;
    GenerateWave();
    Paint();
}

void TWaveRender::SetSelStart(TTimePos place)
{
    SelStart = place;
    Paint();
}

void TWaveRender::SetSelEnd(TTimePos place)
{
    SelEnd = place;
    Paint();
}

void TWaveRender::SetPlayPos(TTimePos place)
{
    PlayPos = place;
    Paint();
}

void TWaveRender::GenerateWave()
{
    if (WaveLength < 1)
        return;
    Samples.resize(static_cast<size_t>(WaveLength));
    const int limit = (Height - 24) / 2 - 20;
    int value = 50;
    for (int& sample : Samples) {
        int d = RandomInt(20) - 10;
        if (value > limit)
            d = -std::abs(d);
        if (value < 20)
            d = std::abs(d);
        value += d;
        sample = value;
    }
}

namespace {
// Columns far off the surface draw nothing; holding them there keeps the
// marker and cursor arithmetic (column +- 8) inside the integer range.
int OffSurface(int64_t column)
{
    constexpr int64_t Far = 1 << 30;
    return static_cast<int>(std::clamp(column, -Far, Far));
}

// The band rows are most of the picture's bytes (200 MB at the widest): they
// are written once, with stores that bypass the cache.
void StreamFill(uint32_t* dst, int n, uint32_t value)
{
    int j = 0;
    for (; j < n && (reinterpret_cast<uintptr_t>(dst + j) & 15) != 0; ++j)
        dst[j] = value;
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    for (; j + 4 <= n; j += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + j), v);
    for (; j < n; ++j)
        dst[j] = value;
}

// dst[j] = samples[j] > threshold ? hit : miss
void StreamSelect(uint32_t* dst, const int* samples, int n, int threshold, uint32_t hit, uint32_t miss)
{
    int j = 0;
    for (; j < n && (reinterpret_cast<uintptr_t>(dst + j) & 15) != 0; ++j)
        dst[j] = samples[j] > threshold ? hit : miss;
    const __m128i t = _mm_set1_epi32(threshold);
    const __m128i h = _mm_set1_epi32(static_cast<int>(hit));
    const __m128i m = _mm_set1_epi32(static_cast<int>(miss));
    for (; j + 4 <= n; j += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + j));
        const __m128i mask = _mm_cmpgt_epi32(s, t);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + j),
            _mm_or_si128(_mm_and_si128(mask, h), _mm_andnot_si128(mask, m)));
    }
    for (; j < n; ++j)
        dst[j] = samples[j] > threshold ? hit : miss;
}
} // namespace

void TWaveRender::Paint()
{
    const int band = Height - 24;
    TCanvas& c = Canvas;
    const int selStart = OffSurface(MarkSurfaceColumn(SelStart)),
              selEnd = OffSurface(MarkSurfaceColumn(SelEnd));
    const int playPos = OffSurface(SurfaceColumn(PlayPos));
    const int bandTop = std::min(16, c.SurfaceHeight());
    const int bandBottom = std::clamp(band + 16, bandTop, c.SurfaceHeight());

    // Rows above and below the band; the band rows get their background, band
    // and wave columns in one pass below, which gives the same pixels because
    // nothing drawn in between reaches into those rows.
    c.BrushColor = BackColor;
    c.FillRect(0, 0, Width, bandTop);
    c.FillRect(0, bandBottom, Width, Height);

    PaintRuler();

    c.PenColor = StartMarkColor;
    c.Triangle({selStart, band + 16}, {selStart - 8, Height}, {selStart, Height});
    c.PenColor = EndMarkColor;
    c.Triangle({selEnd, band + 16}, {selEnd + 8, Height}, {selEnd, Height});

    PaintBandRows(bandTop, bandBottom);
    PaintWave(0, bandTop);
    PaintWave(bandBottom, c.SurfaceHeight());
    if (!BeatTicksMs.empty())
        PaintBeatTicks(bandTop);

    // The surface keeps the pen mode of the last wave column.
    const int columns = std::min(Width, static_cast<int>(Samples.size()));
    if (columns >= 1) {
        const int last = columns - 1;
        const int low = std::min(selStart, selEnd), high = std::max(selStart, selEnd);
        c.PenMode = (low <= last && last <= high) ? TPenMode::Xor : TPenMode::Copy;
    }

    c.PenColor = CursorColor;
    c.Line(playPos, 0, playPos, band + 16);
    c.Triangle({playPos - 5, 0}, {playPos + 5, 0}, {playPos, 8});

    c.Changed();
}

void TWaveRender::PaintRuler()
{
    TCanvas& c = Canvas;
    c.PenColor = RulerColor;
    c.FontColor = RulerColor;
    const int64_t total = TimelineColumns();
    c.Line(0, 15, OffSurface(total - FirstColumn) - 1, 15);
    // Only columns on the surface can show a tick or the start of a label.
    const int end = static_cast<int>(std::clamp<int64_t>(total - FirstColumn, 0, c.SurfaceWidth()));
    const bool zoomed = Scale != ColumnsPerSecond;
    // Numbers at least 50 columns apart when zoomed in (25 at the default
    // scale, as ever); sub-second ticks (a tenth of a second from 100 columns
    // a second on, else 5 columns) between the seconds' ticks.
    const int labelEverySeconds = !zoomed || Scale < 25 ? 5 : Scale < 50 ? 2 : 1;
    const int minorEvery = !zoomed ? 0 : Scale >= 100 ? Scale / 10 : 5;
    const int64_t labelEvery = int64_t{labelEverySeconds} * Scale;
    for (int i = 0; i < end; ++i) {
        const int64_t k = FirstColumn + i + 1;
        if (k % Scale == 0) // a tick at the end of each second
            c.Line(i, 11, i, 16);
        else if (minorEvery > 0 && k % minorEvery == 0)
            c.Line(i, 13, i, 16);
        if (k % labelEvery == 0)
            c.TextOut(i, 0, QString::number(k / Scale));
    }
    if (total >= 1 && FirstColumn == 0)
        c.TextOut(0, 0, QStringLiteral("(S)"));
}

void TWaveRender::PaintBeatTicks(int top)
{
    // Written straight into the rows: the pen mode stays the wave's.
    constexpr int TickRows = 4;
    TCanvas& c = Canvas;
    const int64_t end = std::min<int64_t>({TimelineColumns() - FirstColumn, c.SurfaceWidth(), Width});
    const int bottom = std::min(top + TickRows, c.SurfaceHeight());
    if (end <= 0 || top >= bottom)
        return;
    // The first beat on the surface: beats are rising.
    const int64_t firstMs = FirstColumn * 1000 / Scale;
    const uint32_t color = 0xFF000000u | BeatColor;
    c.Prepare();
    for (auto it = std::lower_bound(BeatTicksMs.begin(), BeatTicksMs.end(), firstMs); it != BeatTicksMs.end();
         ++it) {
        const int64_t x = ColumnOfMs(*it, Scale) - FirstColumn;
        if (x >= end)
            break;
        if (x < 0)
            continue;
        for (int y = top; y < bottom; ++y)
            c.Row(y)[x] = color;
    }
}

void TWaveRender::PaintBandRows(int top, int bottom)
{
    TCanvas& c = Canvas;
    const int width = c.SurfaceWidth();
    const int filled = std::clamp(Width, 0, width); // columns the background covers
    const int selStart = OffSurface(MarkSurfaceColumn(SelStart)),
              selEnd = OffSurface(MarkSurfaceColumn(SelEnd));
    const int bandLeft = std::clamp(selStart, 0, width);
    const int bandRight = selEnd > selStart ? std::clamp(selEnd, bandLeft, width) : bandLeft;
    const int columns = std::clamp(std::min(Width, static_cast<int>(Samples.size())), 0, width);
    const int low = std::min(selStart, selEnd), high = std::max(selStart, selEnd);
    const int xorLeft = std::clamp(low, 0, columns);
    const int xorRight = std::clamp(high < columns ? high + 1 : columns, xorLeft, columns);
    const int centre = (Height - 24) / 2 + 16;
    const uint32_t back = 0xFF000000u | BackColor, sel = 0xFF000000u | SelColor;
    const uint32_t wave = 0xFF000000u | WaveColor, waveXor = WaveColor & 0x00FFFFFFu;

    // Cut the row where any of background, band, selection or samples change.
    int cuts[] = {0, filled, bandLeft, bandRight, xorLeft, xorRight, columns, width};
    std::sort(std::begin(cuts), std::end(cuts));
    c.Prepare();
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = c.Row(y);
        const int d = y - centre;
        const int threshold = d >= 0 ? d : -1 - d; // row y lies in a column of half-height s > threshold
        for (size_t k = 0; k + 1 < std::size(cuts); ++k) {
            const int from = cuts[k], to = cuts[k + 1];
            if (from >= to)
                continue;
            const bool inBand = from >= bandLeft && from < bandRight;
            if (!inBand && from >= filled)
                continue; // beyond Width and outside the band: nothing is drawn there
            const uint32_t base = inBand ? sel : back;
            if (from >= columns) {
                StreamFill(row + from, to - from, base);
                continue;
            }
            const bool xored = from >= xorLeft && from < xorRight;
            StreamSelect(
                row + from, Samples.data() + from, to - from, threshold, xored ? base ^ waveXor : wave, base);
        }
    }
    _mm_sfence();
}

void TWaveRender::PaintWave(int top, int bottom)
{
    PaintWaveColumns(top, bottom, 0, std::min(Width, static_cast<int>(Samples.size())));
}

void TWaveRender::PaintWaveColumns(int top, int bottom, int from, int to)
{
    // Row by row: each column is one line from its top (included) to its bottom
    // (excluded), XORed inside the selection and copied outside it.
    TCanvas& c = Canvas;
    from = std::max(from, 0);
    to = std::min(to, c.SurfaceWidth());
    top = std::max(top, 0);
    bottom = std::min(bottom, c.SurfaceHeight());
    if (from >= to || top >= bottom)
        return;
    const int centre = (Height - 24) / 2 + 16;
    const int selStart = OffSurface(MarkSurfaceColumn(SelStart)),
              selEnd = OffSurface(MarkSurfaceColumn(SelEnd));
    const int low = std::min(selStart, selEnd), high = std::max(selStart, selEnd);
    const uint32_t copy = 0xFF000000u | WaveColor;
    const uint32_t xorMask = WaveColor & 0x00FFFFFFu;
    const int* samples = Samples.data();
    c.Prepare();
    for (int y = top; y < bottom; ++y) {
        const int d = y - centre;
        const int threshold = d >= 0 ? d : -1 - d;
        uint32_t* row = c.Row(y);
        for (int j = from; j < to; ++j) {
            if (samples[j] > threshold)
                row[j] = (low <= j && j <= high) ? row[j] ^ xorMask : copy;
        }
    }
}
