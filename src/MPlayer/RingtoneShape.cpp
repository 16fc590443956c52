#include "RingtoneShape.h"

#include <algorithm>
#include <cmath>

namespace ringtone {

namespace {

// One fade's length in seconds: at least the edge fade, at most half the
// selection.
double FadeSeconds(int chosenMs, double selectionSeconds)
{
    const int ms = std::max(chosenMs, kEdgeFadeMs);
    return std::min(ms / 1000.0, selectionSeconds / 2);
}

// A fade's length in frames, rounded as ffmpeg turns a duration into samples.
int64_t FadeFrames(double seconds, int rate, int64_t selectionFrames)
{
    const int64_t frames = std::llround(seconds * rate);
    return std::clamp<int64_t>(frames, 0, selectionFrames / 2);
}

} // namespace

TFadeSpan EffectiveFades(const TShapePlan& plan, double selectionSeconds)
{
    if (!(selectionSeconds > 0))
        return {};
    return { FadeSeconds(plan.FadeInMs, selectionSeconds), FadeSeconds(plan.FadeOutMs, selectionSeconds) };
}

double CeilingLinear()
{
    return std::pow(10.0, kCeilingDbtp / 20);
}

void ApplyShape(const TShapePlan& plan, float* samples, int64_t frames, int channels, int64_t offset,
    int64_t selectionFrames, int rate)
{
    if (!samples || frames <= 0 || channels <= 0 || rate <= 0 || selectionFrames <= 0)
        return;
    const TFadeSpan span = EffectiveFades(plan, static_cast<double>(selectionFrames) / rate);
    const int64_t fadeIn = FadeFrames(span.InSeconds, rate, selectionFrames);
    const int64_t fadeOut = FadeFrames(span.OutSeconds, rate, selectionFrames);
    const double gain = std::isfinite(plan.GainDb) ? std::pow(10.0, plan.GainDb / 20) : 1.0;
    const double ceiling = CeilingLinear();

    const int64_t first = std::max<int64_t>(offset, 0);
    const int64_t last = std::min(offset + frames, selectionFrames); // exclusive
    for (int64_t n = first; n < last; ++n) {
        double g = gain;
        if (n < fadeIn)
            g *= static_cast<double>(n) / static_cast<double>(fadeIn);
        if (selectionFrames - n < fadeOut)
            g *= static_cast<double>(selectionFrames - n) / static_cast<double>(fadeOut);
        float* s = samples + (n - offset) * channels;
        for (int c = 0; c < channels; ++c) {
            double y = s[c] * g;
            if (plan.Limit)
                y = std::clamp(y, -ceiling, ceiling);
            s[c] = static_cast<float>(y);
        }
    }
}

double MatchGainDb(double integratedLufs, double truePeakDbtp)
{
    if (!std::isfinite(integratedLufs) || std::isnan(truePeakDbtp))
        return 0;
    const double gain = std::min(kTargetLufs - integratedLufs, kCeilingDbtp - truePeakDbtp);
    return std::clamp(gain, -kMaxGainDb, kMaxGainDb);
}

} // namespace ringtone
