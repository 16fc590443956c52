// Sound features for finding a song's sections: per analysis frame (about
// 93 ms apart) a 12-bin chroma, the spectral shape in a few bands and the
// loudness. The extractor is fed in blocks of any size as a decoder delivers
// them, so it can run in the same pass as the beat tracker; memory grows with
// the number of frames only (about 80 bytes each, some 3 MB for an hour).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace music {

inline constexpr int ChromaBins = 12; // pitch classes C, C#, ..., B
inline constexpr int ShapeBands = 6; // log-spaced bands from 100 Hz up to about 2.7 kHz

// The frames of one song. Frame i describes the sound centred at FrameTime(i).
struct TFeatureFrames {
    double HopSeconds = 0; // time from one frame to the next
    double FirstCentreSeconds = 0; // centre of frame 0
    double DurationSeconds = 0; // length of the sound fed
    // ChromaBins values per frame: spectral magnitude gathered by pitch class
    // (about 90 Hz to 2.4 kHz); unnormalised, >= 0.
    std::vector<float> Chroma;
    // ShapeBands values per frame: mean spectral power of each band, >= 0.
    std::vector<float> Bands;
    // Mean square of the samples fed around each frame (full scale 1.0).
    std::vector<float> Energy;
    // Share of that energy above about 2.7 kHz, 0..1 (0 when the rate is too low to tell).
    std::vector<float> Brightness;

    size_t Count() const { return Energy.size(); }
    double FrameTime(size_t i) const { return FirstCentreSeconds + static_cast<double>(i) * HopSeconds; }
};

// Streaming extractor: Feed mono samples (full scale +-1.0) at the rate given
// to the constructor, then Finish once. The sound is low-passed and decimated
// to about 5.5 kHz before any transform.
class TFeatureExtractor {
public:
    // sampleRate in Hz; throws std::invalid_argument when below 1000.
    explicit TFeatureExtractor(int sampleRate);
    ~TFeatureExtractor();
    TFeatureExtractor(const TFeatureExtractor&) = delete;
    TFeatureExtractor& operator=(const TFeatureExtractor&) = delete;

    void Feed(const float* samples, size_t count);
    // Analyses what is left (the last frame padded with silence) and hands
    // over the frames; the extractor then starts again empty.
    TFeatureFrames Finish();

    // Rate of the decimated sound the transforms see, in Hz.
    double AnalysisRate() const;

private:
    struct TState;
    std::unique_ptr<TState> State;
};

// Convenience: the frames of a whole buffer of mono samples.
TFeatureFrames ExtractFeatures(const float* samples, size_t count, int sampleRate);

} // namespace music
