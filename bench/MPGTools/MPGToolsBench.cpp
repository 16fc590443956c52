// Speed of the MPEG audio analyser:
//  - scanning 256 MiB that hold no frame header (from the page cache), with a
//    message pump that does what the GUI's does: look at the clock and only
//    dispatch when some milliseconds have passed;
//  - the playing time of a 10 MiB file without a VBR header, which walks
//    every frame header (from the page cache);
//  - reading one ordinary MP3's properties, against TagLib's MPEG::File.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <taglib/audioproperties.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include "MPGTools.h"

namespace {

constexpr size_t kScanSize = 256u << 20;

// A private folder for the generated files, removed at exit.
struct BenchDir {
    std::filesystem::path path
        = std::filesystem::temp_directory_path() / ("mpgtools-bench-" + std::to_string(::getpid()));
    BenchDir() { std::filesystem::create_directories(path); }
    ~BenchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path& WorkDir()
{
    static const BenchDir dir;
    return dir.path;
}

// Reads the file once so the timed runs come from the page cache.
void Warm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buf(1 << 20);
    while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0) { }
}

// 256 MiB without a frame header: all zeros, or noise whose 0xFF bytes are never
// followed by a byte with its top three bits set (like audio data between syncs).
std::string ScanFile(bool noise)
{
    const auto path = (WorkDir() / (noise ? "noise.bin" : "zeros.bin")).string();
    if (!std::filesystem::exists(path)) {
        std::vector<uint8_t> block(1 << 20);
        std::mt19937 rng(1);
        std::ofstream out(path, std::ios::binary);
        for (size_t done = 0; done < kScanSize; done += block.size()) {
            if (noise) {
                for (auto& b : block)
                    b = static_cast<uint8_t>(rng());
                for (size_t i = 1; i < block.size(); ++i)
                    if (block[i - 1] == 0xFF)
                        block[i] &= 0x7F;
                if (block.back() == 0xFF)
                    block.back() = 0; // the next block's first byte is not checked
            }
            out.write(
                reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
        }
    }
    Warm(path);
    return path;
}

// The GUI's pump: dispatch pending events only when 5 ms have passed.
struct ThrottledPump {
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    int64_t dispatches = 0;
    bool operator()()
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - last >= std::chrono::milliseconds(5)) {
            last = now;
            ++dispatches; // processEvents() would run here
            benchmark::ClobberMemory();
        }
        return false;
    }
};

void BM_ScanWithoutHeader(benchmark::State& state)
{
    const std::string path = ScanFile(state.range(0) != 0);
    auto pump = std::make_shared<ThrottledPump>();
    int64_t calls = 0;
    SetMessagePump([pump, &calls] { return ++calls, (*pump)(); });
    for (auto _ : state) {
        TMPEGAudio a;
        a.OnReadError = [](TMPEGAudio&) -> uint16_t { return MPGReadError::Ignore; };
        a.SetFileName(path);
        if (a.HeaderPos != a.Length + 1)
            state.SkipWithError("a header was found where there is none");
    }
    SetMessagePump(nullptr);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kScanSize));
    state.counters["pump_calls"] = static_cast<double>(calls) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ScanWithoutHeader)->ArgName("noise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 10 MiB of variable-bit-rate frames (MPEG-1 Layer III, 44100 Hz, 128 to
// 320 kbit/s) without a Xing or VBRI header: the playing time comes from
// walking every frame header.
std::string HeaderlessVbrFile()
{
    const auto path = (WorkDir() / "vbr-10m.mp3").string();
    if (!std::filesystem::exists(path)) {
        static constexpr int kBitRates[] = {128, 160, 192, 224, 256, 320};
        std::vector<uint8_t> data;
        for (size_t i = 0; data.size() < (10u << 20); ++i) {
            const int index = 9 + static_cast<int>(i % 6);
            const size_t frame = static_cast<size_t>(144000 * kBitRates[index - 9] / 44100);
            const size_t at = data.size();
            data.resize(at + frame, 0);
            data[at] = 0xFF;
            data[at + 1] = 0xFB;
            data[at + 2] = static_cast<uint8_t>(index << 4);
            data[at + 3] = 0x44;
        }
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    Warm(path);
    return path;
}

void BM_PlayingTimeFromFrameWalk10MB(benchmark::State& state)
{
    const std::string path = HeaderlessVbrFile();
    for (auto _ : state) {
        TMPEGAudio a;
        a.SetFileName(path);
        if (a.Duration < 300 || a.Duration > 500)
            state.SkipWithError("the playing time is not the frames'");
        benchmark::DoNotOptimize(a.Duration);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (10 << 20));
}
BENCHMARK(BM_PlayingTimeFromFrameWalk10MB)->Unit(benchmark::kMicrosecond);

// Ordinary MP3s of 30 s made by FFmpeg's LAME encoder, each with an ID3v2 tag
// in front and an ID3v1 tag at the end.
const std::vector<std::string>& Mp3Files()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> out;
        const char* kinds[] = {"-ac 2 -ar 44100 -b:a 128k", "-ac 2 -ar 44100 -b:a 192k",
            "-ac 1 -ar 22050 -b:a 64k", "-ac 2 -ar 44100 -q:a 4"};
        int n = 0;
        for (const char* kind : kinds) {
            const auto path = (WorkDir() / ("song" + std::to_string(n++) + ".mp3")).string();
            const std::string cmd
                = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=30 "
                + std::string(kind)
                + " -c:a libmp3lame -write_id3v1 1 -metadata title=Bench -metadata artist=Velumo '" + path
                + "'";
            if (std::system(cmd.c_str()) == 0) {
                Warm(path);
                out.push_back(path);
            }
        }
        return out;
    }();
    return files;
}

void BM_Mp3Properties_TMPEGAudio(benchmark::State& state)
{
    const auto& files = Mp3Files();
    if (files.empty())
        return state.SkipWithError("ffmpeg with libmp3lame could not make the test files");
    size_t i = 0;
    for (auto _ : state) {
        TMPEGAudio a;
        a.SetFileName(files[i++ % files.size()]);
        if (a.TagId != "TAG" || a.Duration == 0)
            state.SkipWithError("file not analysed");
        benchmark::DoNotOptimize(a.Duration + a.SampleRate + a.BitRate + a.Mode);
    }
}
BENCHMARK(BM_Mp3Properties_TMPEGAudio)->Unit(benchmark::kMicrosecond);

void BM_Mp3Properties_TagLib(benchmark::State& state)
{
    const auto& files = Mp3Files();
    if (files.empty())
        return state.SkipWithError("ffmpeg with libmp3lame could not make the test files");
    size_t i = 0;
    for (auto _ : state) {
        TagLib::MPEG::File f(files[i++ % files.size()].c_str(), true);
        const TagLib::AudioProperties* p = f.audioProperties();
        if (p == nullptr || f.tag() == nullptr)
            state.SkipWithError("TagLib could not read the file");
        benchmark::DoNotOptimize(p->lengthInSeconds() + p->sampleRate() + p->bitrate() + p->channels());
        benchmark::DoNotOptimize(f.tag()->title().size());
    }
}
BENCHMARK(BM_Mp3Properties_TagLib)->Unit(benchmark::kMicrosecond);

} // namespace
