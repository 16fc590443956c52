// The block scan must behave exactly like sliding the window one byte per read.
// A plain byte-at-a-time model of the read, built on the analyser's own header
// decoding, is compared with ReadFileInfo on random and hand-made files.
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "MPGTools.h"
#include "MpgTestUtil.h"

using namespace mpgtest;

namespace {

uint32_t Be32(const Bytes& d, size_t at)
{
    return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
}

struct ModelRun {
    int32_t result = -1;
    int pumps = 0;
};

// One attempt, byte by byte; quitAt = the pump call that reports a quit (0: never).
ModelRun Model(TMPEGAudio& m, const Bytes& d, const std::string& path, int32_t date, int quitAt)
{
    ModelRun run;
    m.ClearInfo();
    m.FileName = path;
    const int64_t size = static_cast<int64_t>(d.size());
    if (size <= 5)
        return run.result = 0, run;
    m.HeaderPos = 0;
    m.FileDate = date;
    m.Length = static_cast<int32_t>(size);
    auto clearKeep = [&] {
        m.ClearInfo();
        m.FileName = path;
        m.FileDate = date;
        m.Length = static_cast<int32_t>(size);
    };
    int64_t pos = 0;
    for (;;) {
        if (pos + 4 > size)
            return run.result = -1, run;
        uint32_t h = Be32(d, static_cast<size_t>(pos));
        pos += 4;
        for (;;) {
            if (m.DecodeFrameHeader(h))
                break;
            if (pos >= size)
                break;
            if (m.SearchLimit > 0 && pos > m.SearchLimit)
                break;
            h = h << 8 | d[static_cast<size_t>(pos++)];
            if (pos % 300 == 0 && ++run.pumps == quitAt) {
                clearKeep();
                m.HeaderPos = static_cast<int32_t>(size + 1);
                return run.result = -1, run;
            }
        }
        const int64_t hp = pos - 4;
        m.HeaderPos = static_cast<int32_t>(hp);
        if (m.HeaderIsValid() && size - hp - m.FrameLength + (m.ErrorProt ? 2 : 0) > 0) {
            const int64_t next = hp + m.FrameLength;
            if (next + 4 > size)
                return run.result = -1, run;
            if (m.DecodeFrameHeader(Be32(d, static_cast<size_t>(next)))) {
                run.result = 0;
                const int64_t off = hp + (m.Version == 1 ? (m.Mode == 3 ? 21 : 36) : (m.Mode == 3 ? 13 : 21));
                if (off + 4 > size)
                    return run.result = -1, run;
                if (std::memcmp(&d[static_cast<size_t>(off)], "Xing", 4) == 0) {
                    m.BitRate = -1;
                    if (off + 4 + 116 > size)
                        return run.result = -1, run;
                    const uint32_t frames = (Be32(d, off + 4) & 1) ? Be32(d, off + 8) : 0;
                    const int spf = m.Layer == 1 ? 384 : (m.Layer == 3 && m.Version != 1) ? 576 : 1152;
                    m.Duration = static_cast<uint16_t>(
                        std::min(65535.0, std::nearbyint(double(spf) / m.SampleRate * frames)));
                    if (frames == 0)
                        return run.result = -1, run;
                    m.FrameLength = static_cast<uint16_t>(std::min<int64_t>(65535, size / frames));
                }
                if (size > 128) {
                    const uint8_t* t = &d[d.size() - 128];
                    if (std::memcmp(t, "TAG", 3) == 0) {
                        auto trim = [](const uint8_t* p, size_t n) {
                            std::string s(reinterpret_cast<const char*>(p),
                                strnlen(reinterpret_cast<const char*>(p), n));
                            while (!s.empty() && s.back() == ' ')
                                s.pop_back();
                            return s;
                        };
                        m.TagId = "TAG", m.Title = trim(t + 3, 30), m.Artist = trim(t + 33, 30),
                        m.Album = trim(t + 63, 30);
                        m.Year.assign(reinterpret_cast<const char*>(t + 93), 4);
                        m.Comment = trim(t + 97, 30), m.Track = t[126], m.GenreNr = t[127];
                    } else {
                        m.Title = std::filesystem::path(path).filename().string();
                    }
                }
            } else {
                clearKeep();
                pos = hp + 1;
                run.result = -1;
            }
        } else {
            clearKeep();
            m.HeaderPos = static_cast<int32_t>(size + 1);
            run.result = -1;
        }
        if (m.HeaderIsValid() || pos >= size || (m.SearchLimit > 0 && pos > m.SearchLimit))
            return run;
    }
}

#define EXPECT_SAME_FIELDS(a, b)                                                                             \
    do {                                                                                                     \
        EXPECT_EQ(a.TagId, b.TagId);                                                                         \
        EXPECT_EQ(a.Title, b.Title);                                                                         \
        EXPECT_EQ(a.Artist, b.Artist);                                                                       \
        EXPECT_EQ(a.Album, b.Album);                                                                         \
        EXPECT_EQ(a.Year, b.Year);                                                                           \
        EXPECT_EQ(a.Comment, b.Comment);                                                                     \
        EXPECT_EQ(a.GenreNr, b.GenreNr);                                                                     \
        EXPECT_EQ(a.Track, b.Track);                                                                         \
        EXPECT_EQ(a.Length, b.Length);                                                                       \
        EXPECT_EQ(a.Version, b.Version);                                                                     \
        EXPECT_EQ(a.Layer, b.Layer);                                                                         \
        EXPECT_EQ(a.SampleRate, b.SampleRate);                                                               \
        EXPECT_EQ(a.BitRate, b.BitRate);                                                                     \
        EXPECT_EQ(a.Mode, b.Mode);                                                                           \
        EXPECT_EQ(a.ErrorProt, b.ErrorProt);                                                                 \
        EXPECT_EQ(a.Padding, b.Padding);                                                                     \
        EXPECT_EQ(a.FrameLength, b.FrameLength);                                                             \
        EXPECT_EQ(a.FileName, b.FileName);                                                                   \
        EXPECT_EQ(a.FileDate, b.FileDate);                                                                   \
        EXPECT_EQ(a.HeaderPos, b.HeaderPos);                                                                 \
    } while (0)

// Random files: noise with false syncs, runs of frames of random kinds, Xing
// tags with random counts, ID3v1 tags, and a random search limit.
Bytes RandomFile(std::mt19937& rng, int32_t& searchLimit)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Bytes d;
    const int size = pick(4) == 0 ? pick(12) : pick(20000);
    const int style = pick(4);
    while (static_cast<int>(d.size()) < size) {
        switch (pick(style == 0 ? 1 : 5)) {
        case 0: // noise, sometimes rich in 0xFF
            for (int i = pick(700); i > 0; --i)
                d.push_back(pick(3) == 0 ? 0xFF : static_cast<uint8_t>(rng()));
            break;
        case 1: // a lone header
            Append(d, Header({pick(4), pick(4), pick(2), pick(16), pick(4), pick(2), pick(4)}));
            break;
        default: { // a run of frames of one kind, with frame lengths the analyser would compute
            static constexpr int kVersionBits[] = {3, 3, 2, 0, 1};
            const HeaderFields h{
                kVersionBits[pick(5)], 1 + pick(3), pick(2), 1 + pick(14), pick(3), pick(2), pick(4)};
            TMPEGAudio probe;
            probe.Length = 1 << 20;
            probe.FileDate = 1;
            const Bytes hb = Header(h);
            if (!probe.DecodeFrameHeader(Be32(hb, 0)))
                break;
            const int frames = 1 + pick(6);
            const size_t start = d.size();
            for (int f = 0; f < frames; ++f)
                Append(d, Frame(h, probe.FrameLength + (pick(10) == 0 ? pick(3) : 0)));
            if (pick(3) == 0 && d.size() - start > 200) {
                const size_t off = start + (pick(2) ? 36 : pick(2) ? 21 : 13);
                PutXing(d, off, pick(4) == 0 ? 0 : static_cast<uint32_t>(rng()) >> pick(32), pick(4) ? 1 : 0);
            }
        }
        }
    }
    d.resize(static_cast<size_t>(size));
    if (size > 200 && pick(3) == 0) {
        const Bytes tag = Id3v1("T  ", "Artist\0x", "  ", "1234", "c", 3, 4, pick(4) ? "TAG" : "tag");
        std::copy(tag.begin(), tag.end(), d.end() - 128);
    }
    searchLimit = pick(3) == 0 ? pick(size + 10) : 0;
    return d;
}

void CompareWithModel(const TempDir& dir, const Bytes& d, int32_t searchLimit, int quitAt)
{
    const auto path = dir.Write("model.mp3", d);
    struct stat st { };
    ASSERT_EQ(::stat(path.c_str(), &st), 0);

    int pumps = 0;
    SetMessagePump([&] { return ++pumps == quitAt; });
    TMPEGAudio real;
    real.SearchLimit = searchLimit;
    real.OnReadError = nullptr;
    real.ReadOnAssign = false;
    real.SetFileName(path);
    const int32_t result = real.ReadFileInfo();
    SetMessagePump(nullptr);

    TMPEGAudio model;
    model.SearchLimit = searchLimit;
    const ModelRun expected = Model(model, d, path, static_cast<int32_t>(st.st_mtime), quitAt);
    EXPECT_EQ(result, expected.result);
    EXPECT_EQ(pumps, expected.pumps);
    EXPECT_SAME_FIELDS(real, model);
    // The model knows the playing time of Xing files; the others' comes from their frames.
    if (model.BitRate == -1) {
        EXPECT_EQ(real.Duration, model.Duration);
    }
}

TEST(MPGToolsModelTest, BlockScanMatchesByteByByteWalk)
{
    TempDir dir;
    std::mt19937 rng(20240611);
    for (int i = 0; i < 600; ++i) {
        int32_t limit = 0;
        const Bytes d = RandomFile(rng, limit);
        SCOPED_TRACE("file " + std::to_string(i) + ", " + std::to_string(d.size()) + " bytes, limit "
            + std::to_string(limit));
        CompareWithModel(dir, d, limit, 0);
        if (d.size() > 900)
            CompareWithModel(dir, d, limit, 1 + static_cast<int>(rng() % (d.size() / 300)));
        if (HasFailure())
            break;
    }
}

TEST(MPGToolsModelTest, PlainRandomBytes)
{
    TempDir dir;
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        Bytes d(rng() % 3000);
        for (auto& b : d)
            b = static_cast<uint8_t>(rng());
        CompareWithModel(dir, d, 0, 0);
        if (HasFailure())
            break;
    }
}

// A block boundary falling inside a frame pair, across the first block sizes.
TEST(MPGToolsModelTest, HeadersAcrossBlockBoundaries)
{
    TempDir dir;
    for (size_t at : {4090u, 4093u, 4094u, 4095u, 4096u, 4097u, 4099u, 16384u + 4093u, 20477u, 20478u}) {
        Bytes d(at, 0x00);
        Append(d, CbrFile({}, 417, 3 * 417));
        SCOPED_TRACE(at);
        CompareWithModel(dir, d, 0, 0);
        CompareWithModel(dir, d, static_cast<int32_t>(at + 3), 0);
    }
}

} // namespace
