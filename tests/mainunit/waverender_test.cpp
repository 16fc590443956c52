#include "SkinFont.h"
#include "TCanvas.h"
#include "WaveRender.h"

#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

constexpr QRgb Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255), Green = qRgb(0, 128, 0),
               Grey = qRgb(128, 128, 128), Purple = qRgb(128, 0, 128), Yellow = qRgb(255, 255, 0),
               Red = qRgb(255, 0, 0), Sky = qRgb(166, 202, 240);

class Timeline : public ::testing::Test {
protected:
    void Make(int width)
    {
        image = QImage(width, 152, QImage::Format_RGB32);
        image.fill(qRgb(1, 2, 3));
        canvas = std::make_unique<TCanvas>(image);
        render = std::make_unique<TWaveRender>(*canvas, width, 152);
    }
    QRgb At(int x, int y) const { return image.pixel(x, y); }
    // Rows of column x that differ from `background`.
    int Lit(int x, QRgb background, int from = 16, int to = 144) const
    {
        int n = 0;
        for (int y = from; y < to; ++y)
            n += (At(x, y) != background);
        return n;
    }
    QImage image;
    std::unique_ptr<TCanvas> canvas;
    std::unique_ptr<TWaveRender> render;
};

TEST_F(Timeline, FirstWalkAfterStartIsAlwaysTheSame)
{
    RandSeed = 0;
    Make(400);
    render->SetWaveLength(400);
    const std::vector<int> first(render->Samples.begin(), render->Samples.begin() + 10);
    EXPECT_EQ(first, (std::vector<int>{40, 30, 37, 31, 26, 29, 25, 18, 21, 19}));
    for (int s : render->Samples) {
        EXPECT_GE(s, 10);
        EXPECT_LE(s, 53);
    }
    // The next file continues the sequence instead of repeating it.
    render->SetWaveLength(10);
    EXPECT_NE(render->Samples[0], 40);
}

TEST_F(Timeline, BandMarkersAndXorColumns)
{
    Make(400);
    render->SetWaveLength(400); // selection 100..150, cursor 20
    const int s100 = render->Samples[100];
    // Inside the band a column is XORed onto grey: purple; around it grey.
    EXPECT_EQ(At(100, 80), Purple);
    EXPECT_EQ(Lit(100, Grey), 2 * s100);
    EXPECT_EQ(At(100, 80 - s100 - 1), Grey);
    EXPECT_EQ(At(149, 17), Grey);
    // Column 150 is right of the band: XOR onto black stays green.
    EXPECT_EQ(At(150, 80), Green);
    EXPECT_EQ(At(150, 17), Black);
    EXPECT_EQ(At(99, 80), Green);
    // Markers: rows 144..151 left of the start and right of the end column.
    EXPECT_EQ(At(100, 144), Yellow);
    EXPECT_EQ(At(93, 151), Yellow);
    EXPECT_EQ(At(92, 151), Black);
    EXPECT_EQ(At(99, 144), Black);
    EXPECT_EQ(At(150, 144), Red);
    EXPECT_EQ(At(157, 151), Red);
    EXPECT_EQ(At(158, 151), Black);
    EXPECT_EQ(At(151, 144), Black);
    // The cursor, drawn last in copy mode.
    EXPECT_EQ(At(20, 0), Sky);
    EXPECT_EQ(At(20, 143), Sky);
    EXPECT_EQ(At(20, 144), Black);
    EXPECT_EQ(At(15, 0), Sky);
    EXPECT_EQ(At(25, 0), Sky);
    EXPECT_EQ(At(20, 8), Sky);
}

TEST_F(Timeline, ZeroWidthSelection)
{
    Make(200);
    render->SetWaveLength(200);
    render->SelStart = render->SelEnd = 60;
    render->Paint();
    EXPECT_EQ(At(60, 80), Green); // XORed onto black
    EXPECT_EQ(At(60, 20), Black); // no band
    EXPECT_EQ(At(53, 151), Yellow);
    EXPECT_EQ(At(67, 151), Red);
    EXPECT_EQ(At(60, 150), Red); // the end marker, drawn second, owns the shared column
}

TEST_F(Timeline, RulerOfFiftyColumns)
{
    Make(60);
    render->SetWaveLength(50);
    for (int x = 0; x < 50; ++x) {
        const bool tick = (x + 1) % 5 == 0;
        if (x >= 15) { // "(S)" reaches down to row 12
            EXPECT_EQ(At(x, 11) == White, tick) << x;
        }
        EXPECT_EQ(At(x, 14) == White, tick) << x;
    }
    EXPECT_EQ(At(48, 15), White);
    EXPECT_EQ(At(49, 15), White); // the tick, not the baseline
    EXPECT_EQ(At(50, 15), qRgb(1, 2, 3)); // beyond Width nothing is cleared
    // Labels "5" at 24 and "10" at 49 begin at their columns' top rows.
    auto litIn = [&](int x0, int x1) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < 11; ++y)
                n += At(x, y) == White;
        return n;
    };
    EXPECT_GT(litIn(24, 31), 0);
    EXPECT_EQ(litIn(20, 24), 0);
    EXPECT_GT(litIn(49, 60), 0);
}

TEST_F(Timeline, CursorTakesTheModeOfTheLastColumn)
{
    Make(200);
    render->SetWaveLength(200);
    render->SelStart = 100;
    render->SelEnd = 250; // holds column 199
    render->PlayPos = 120;
    render->Paint();
    // Row 17: grey band, no wave there (samples stay below 64).
    EXPECT_EQ(At(120, 17), qRgb(38, 74, 112));
    // The next paint begins in XOR mode: the baseline's tick pixels turn black.
    render->Paint();
    EXPECT_EQ(At(4, 15), Black);
    EXPECT_EQ(At(3, 15), White);
}

TEST_F(Timeline, CursorTriangleIsFilledAndOutlinedOncePerPixel)
{
    // Half-width of each row 0..8 of the cursor (P-5, 0), (P+5, 0), (P, 8):
    // the inside plus its edges drawn as 1-pixel lines.
    constexpr int HalfWidth[] = {5, 4, 4, 3, 2, 2, 1, 1, 0};
    constexpr int P = 30;
    constexpr QRgb Background = qRgb(0x12, 0x34, 0x56), Pen = qRgb(0xF0, 0x0F, 0x3C);
    for (const TPenMode mode : {TPenMode::Copy, TPenMode::Xor}) {
        SCOPED_TRACE(mode == TPenMode::Copy ? "copy" : "xor");
        Make(60);
        image.fill(Background);
        canvas->PenMode = mode;
        canvas->PenColor = Pen;
        canvas->Triangle({P - 5, 0}, {P + 5, 0}, {P, 8});
        const QRgb lit = mode == TPenMode::Copy ? Pen : qRgb(0x12 ^ 0xF0, 0x34 ^ 0x0F, 0x56 ^ 0x3C);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 60; ++x) {
                const bool inside = y < 9 && std::abs(x - P) <= HalfWidth[y];
                EXPECT_EQ(At(x, y), inside ? lit : Background) << "pixel " << x << ", " << y;
            }
        }
        if (mode == TPenMode::Xor) {
            // Each pixel was set once: a second triangle restores the picture.
            canvas->Triangle({P - 5, 0}, {P + 5, 0}, {P, 8});
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 60; ++x)
                    EXPECT_EQ(At(x, y), Background) << "pixel " << x << ", " << y;
        }
    }
}

TEST_F(Timeline, SecondsTruncateTowardZero)
{
    Make(10);
    render->PlayPos = 24;
    EXPECT_EQ(render->PlayPosSeconds(), 4);
    render->SelStart = -3;
    EXPECT_EQ(render->SelStartSeconds(), 0);
    render->SelStart = -5;
    EXPECT_EQ(render->SelStartSeconds(), -1);
    render->SelEnd = -9;
    EXPECT_EQ(render->SelEndSeconds(), -1);
    EXPECT_EQ(render->SelLow(), -9);
    EXPECT_EQ(render->SelHigh(), -5);
}

TEST_F(Timeline, AnyValueIsDrawnClipped)
{
    Make(100);
    render->Paint(); // before any wave: no columns, no crash
    EXPECT_EQ(At(50, 80), Black);
    render->SetWaveLength(100);
    const int values[] = {INT_MIN, -1000000000, -20, -1, 0, 99, 100, 1000000000, INT_MAX};
    for (int a : values)
        for (int b : values) {
            render->SelStart = a;
            render->SelEnd = b;
            render->PlayPos = b;
            render->Paint();
        }
    render->SelStart = -20;
    render->SelEnd = 1000000;
    render->PlayPos = -3;
    render->Paint();
    EXPECT_EQ(At(0, 17), Grey);
    EXPECT_EQ(At(99, 17), Grey);
    EXPECT_EQ(At(2, 0), Sky); // the cursor triangle's right half

    render->SetWaveLength(0); // keeps the samples, clears nothing
    EXPECT_EQ(render->Samples.size(), 100u);
    render->SetWaveLength(-7);
    render->SetWaveLength(1000000); // far wider than the surface
}

TEST_F(Timeline, TextMatchesQPainterPixelForPixel)
{
    for (const QString& text : {QStringLiteral("(S)"), QStringLiteral("12345"), QStringLiteral("890")}) {
        QImage expected(60, 20, QImage::Format_RGB32);
        expected.fill(Qt::black);
        QImage actual = expected;
        TCanvas canvas(actual);
        canvas.SetFont(SkinFont(11));
        canvas.TextOut(3, 0, text);
        QPainter painter(&expected);
        painter.setFont(SkinFont(11));
        painter.setPen(Qt::white);
        painter.drawText(3, QFontMetrics(SkinFont(11)).ascent(), text);
        painter.end();
        EXPECT_EQ(actual, expected) << text.toStdString();
    }
}

} // namespace
