#pragma once
// The timeline: a black field with a white seconds ruler, a pseudo-waveform of
// green columns, a grey selection band between a yellow start and a red end
// marker, and a sky-blue play cursor. One column is one pixel; Scale columns
// (ColumnsPerSecond at the default scale) stand for one second. At the default
// scale the surface holds the whole timeline; zoomed in it holds a window of
// it from FirstColumn on, and Samples hold that window's columns.

#include "TCanvas.h"
#include "TimelineScale.h"

#include <QRgb>

#include <cstdint>
#include <vector>

// Process-wide pseudo-random source: 0 at start and never seeded from the clock,
// so the first timeline after start looks the same on every run.
inline uint32_t RandSeed = 0;
// A value from 0 to n - 1.
int32_t RandomInt(int32_t n);

class TWaveRender {
public:
    // The canvas is not owned; it must outlive the renderer.
    TWaveRender(TCanvas& canvas, int width, int height);

    TCanvas& Canvas;
    int Width;
    const int Height;
    int WaveLength = 0; // the timeline's columns at the default scale
    TTimePos SelStart = OpeningSelStart;
    TTimePos SelEnd = OpeningSelEnd;
    TTimePos PlayPos = 20;
    std::vector<int> Samples; // half-heights of the surface's columns
    int Scale = ColumnsPerSecond; // columns a second
    int64_t FirstColumn = 0; // the timeline's column drawn on the surface's first

    // The timeline's columns at the scale shown.
    int64_t TimelineColumns() const { return int64_t{WaveLength} * Scale / ColumnsPerSecond; }
    // The surface column of a place at the scale shown. Zoomed in, a mark put
    // at the default scale is drawn on the whole second it is cut at; the
    // cursor stays where playback starts from.
    int64_t SurfaceColumn(TTimePos place) const { return ColumnOfMs(place.Ms, Scale) - FirstColumn; }
    int64_t MarkSurfaceColumn(TTimePos mark) const
    {
        return Scale == ColumnsPerSecond ? SurfaceColumn(mark)
                                         : ColumnOfMs(mark.TimeMs(), Scale) - FirstColumn;
    }

    QRgb BackColor = qRgb(0, 0, 0);
    QRgb WaveColor = qRgb(0, 128, 0);
    QRgb SelColor = qRgb(128, 128, 128);
    QRgb StartMarkColor = qRgb(255, 255, 0);
    QRgb EndMarkColor = qRgb(255, 0, 0);
    QRgb CursorColor = qRgb(166, 202, 240);
    static constexpr QRgb RulerColor = qRgb(255, 255, 255);
    // Faint ticks just under the ruler, one per beat.
    static constexpr QRgb BeatColor = qRgb(110, 110, 110);
    // Beat times, ms, rising; drawn when not empty.
    std::vector<int64_t> BeatTicksMs;

    // Each setter repaints at once, also when the value does not change.
    void SetWaveLength(int n);
    void SetSelStart(TTimePos place);
    void SetSelEnd(TTimePos place);
    void SetPlayPos(TTimePos place);

    void Paint();
    void GenerateWave();

    // Default-scale columns of the lower and the higher end.
    int SelLow() const { return SelStart.Ms < SelEnd.Ms ? SelStart : SelEnd; }
    int SelHigh() const { return SelStart.Ms < SelEnd.Ms ? SelEnd : SelStart; }
    // The times the labels, Play and Save take (see TTimePos::TimeMs).
    int64_t SelStartMs() const { return SelStart.TimeMs(); }
    int64_t SelEndMs() const { return SelEnd.TimeMs(); }
    int64_t PlayPosMs() const { return PlayPos.TimeMs(); }
    // Columns to whole seconds, truncating toward zero.
    int PlayPosSeconds() const { return PlayPos / ColumnsPerSecond; }
    int SelStartSeconds() const { return SelStart / ColumnsPerSecond; }
    int SelEndSeconds() const { return SelEnd / ColumnsPerSecond; }

private:
    void PaintRuler();
    void PaintBeatTicks(int top);
    void PaintBandRows(int top, int bottom);
    void PaintWave(int top, int bottom);
    void PaintWaveColumns(int top, int bottom, int from, int to);
};
