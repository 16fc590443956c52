#pragma once
// The timeline: a black field with a white seconds ruler, a pseudo-waveform of
// green columns, a grey selection band between a yellow start and a red end
// marker, and a sky-blue play cursor. One column is one pixel; ColumnsPerSecond
// columns stand for one second. The waveform is a bounded random walk, not the audio.

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
    int WaveLength = 0;
    int SelStart = 100;
    int SelEnd = 150;
    int PlayPos = 20;
    std::vector<int> Samples;

    QRgb BackColor = qRgb(0, 0, 0);
    QRgb WaveColor = qRgb(0, 128, 0);
    QRgb SelColor = qRgb(128, 128, 128);
    QRgb StartMarkColor = qRgb(255, 255, 0);
    QRgb EndMarkColor = qRgb(255, 0, 0);
    QRgb CursorColor = qRgb(166, 202, 240);
    static constexpr QRgb RulerColor = qRgb(255, 255, 255);

    // Each setter repaints at once, also when the value does not change.
    void SetWaveLength(int n);
    void SetSelStart(int column);
    void SetSelEnd(int column);
    void SetPlayPos(int column);

    void Paint();
    void GenerateWave();

    int SelLow() const { return SelStart < SelEnd ? SelStart : SelEnd; }
    int SelHigh() const { return SelStart < SelEnd ? SelEnd : SelStart; }
    // Columns to whole seconds, truncating toward zero.
    int PlayPosSeconds() const { return PlayPos / ColumnsPerSecond; }
    int SelStartSeconds() const { return SelStart / ColumnsPerSecond; }
    int SelEndSeconds() const { return SelEnd / ColumnsPerSecond; }

private:
    void PaintRuler();
    void PaintBandRows(int top, int bottom);
    void PaintWave(int top, int bottom);
    void PaintWaveColumns(int top, int bottom, int from, int to);
};
