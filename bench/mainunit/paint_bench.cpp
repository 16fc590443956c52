// Full repaint of the timeline at one hour (18 000 columns) and at the widest
// timeline a file can ask for (65 535 s, 327 675 columns).
#include "TCanvas.h"
#include "WaveRender.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

void Paint(benchmark::State& state)
{
    const int columns = static_cast<int>(state.range(0));
    QImage image(columns, 152, QImage::Format_RGB32);
    TCanvas canvas(image);
    TWaveRender render(canvas, columns, 152);
    render.SetWaveLength(columns);
    render.SelStart = columns / 3;
    render.SelEnd = columns / 2;
    for (auto _ : state) {
        render.Paint();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * columns);
}

} // namespace

BENCHMARK(Paint)->Arg(18000)->Arg(327675)->Unit(benchmark::kMillisecond)->UseRealTime();
