// How a ringtone's samples are shaped: the fades at its edges and the gain
// that brings it to the phone's loudness. One plan feeds both the preview
// (ApplyShape below, on decoded samples) and the export (the converter's
// filter chain, built from the same numbers), so both sound alike.
//
// Standard library only: the export job and the converter build from it too.
//
// The shape, for frame n (0-based, per channel) of a selection of L frames at
// R Hz, with Fi and Fo from EffectiveFades() converted by Fi = round(in * R),
// Fo = round(out * R):
//
//   fade in   gin(n)  = min(1, n / Fi)          (1 when Fi = 0)
//   fade out  gout(n) = min(1, (L - n) / Fo)    (1 when Fo = 0)
//   gain      g       = 10^(GainDb / 20)
//   y = x * gin(n) * gout(n) * g, then, when Limit holds,
//   y clipped to +-10^(kCeilingDbtp / 20).
//
// These are ffmpeg's `afade` filter with its default curve (tri), started at
// sample 0 and at sample L - Fo, and its `volume` filter, so the export's
// chain is, with IN = in and OUT = out in seconds (microsecond precision),
// LEN = L / R and G = GainDb:
//   afade=t=in:st=0:d=IN,afade=t=out:st=LEN-OUT:d=OUT,volume=GdB
// followed, when Limit holds, by a peak limiter at the ceiling, for example
//   alimiter=limit=0.891:level=0:latency=1
// (level=0 keeps it from raising the level again; latency=1 keeps the length).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ringtone {

// The always-present fade at the start and end of every ringtone: short
// enough not to be heard as a fade, long enough to remove the click of a
// cut in mid-waveform. Milliseconds.
inline constexpr int kEdgeFadeMs = 10;

// The ceiling the gain keeps the true peak under, dBTP, and the loudness it
// aims at, LUFS.
inline constexpr double kCeilingDbtp = -1.0;
inline constexpr double kTargetLufs = -12.0;

// The largest gain a ringtone may get, either way, dB.
inline constexpr double kMaxGainDb = 40.0;

// The gain, dB, that brings the integrated loudness to kTargetLufs while
// keeping the true peak at or below kCeilingDbtp:
//   min(kTargetLufs - I, kCeilingDbtp - TP), clamped to +-kMaxGainDb;
// 0 for silence (I = -infinity) and for values that are not numbers.
double MatchGainDb(double integratedLufs, double truePeakDbtp);

// One choice of the Fade in and Fade out menus.
struct TFadeChoice {
    int Ms; // 0: off
    std::string_view Label; // the menu's text
};

// The fade choices, in the menus' order; the first is the default.
inline constexpr std::array<TFadeChoice, 5> kFadeChoices { {
    { 0, "Off" },
    { 500, "0.5 s" },
    { 1000, "1 s" },
    { 2000, "2 s" },
    { 3000, "3 s" },
} };

// The user's shaping choices for one ringtone.
struct TShapePlan {
    int FadeInMs = 0; // one of kFadeChoices; 0: only the edge fade
    int FadeOutMs = 0; // likewise
    double GainDb = 0; // 0 when loudness matching is off
    bool Limit = false; // clip at the ceiling (loudness matching on)
};

// The fades as they are applied, in seconds: each at least the edge fade,
// and each at most half the selection (so they never overlap). A chosen
// length that is not positive counts as off.
struct TFadeSpan {
    double InSeconds = 0;
    double OutSeconds = 0;
};
TFadeSpan EffectiveFades(const TShapePlan& plan, double selectionSeconds);

// The ceiling as a sample value (full scale 1.0).
double CeilingLinear();

// Shapes `frames` interleaved frames of `channels` channels in place. They
// are frames [offset, offset + frames) of a selection of `selectionFrames`
// frames at `rate` Hz; frames outside the selection are left alone. Applying
// it block by block gives the same samples as applying it to the whole
// selection at once.
void ApplyShape(const TShapePlan& plan, float* samples, int64_t frames, int channels, int64_t offset,
    int64_t selectionFrames, int rate);

} // namespace ringtone
