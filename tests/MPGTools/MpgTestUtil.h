// Helpers that hand-craft MPEG audio files byte by byte for the analyser tests.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mpgtest {

using Bytes = std::vector<uint8_t>;

struct HeaderFields {
    int versionBits = 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5, 1 reserved
    int layerBits = 1; // 1 Layer III, 2 Layer II, 3 Layer I, 0 reserved
    int protBit = 1; // 1 = no CRC
    int bitRateIndex = 9;
    int sampleRateIndex = 0;
    int padding = 0;
    int mode = 1;
};

inline Bytes Header(const HeaderFields& s)
{
    return {0xFF, static_cast<uint8_t>(0xE0 | (s.versionBits << 3) | (s.layerBits << 1) | s.protBit),
        static_cast<uint8_t>((s.bitRateIndex << 4) | (s.sampleRateIndex << 2) | (s.padding << 1)),
        static_cast<uint8_t>(s.mode << 6)};
}

// A frame: the header followed by zeros up to frameLength bytes.
inline Bytes Frame(const HeaderFields& s, size_t frameLength)
{
    Bytes f = Header(s);
    f.resize(frameLength, 0);
    return f;
}

// Frames repeated until the file holds exactly `size` bytes (the last one cut short).
inline Bytes CbrFile(const HeaderFields& s, size_t frameLength, size_t size)
{
    Bytes out;
    const Bytes f = Frame(s, frameLength);
    while (out.size() < size)
        out.insert(out.end(), f.begin(), f.end());
    out.resize(size);
    return out;
}

inline void PutBigEndian32(Bytes& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v >> 24);
    b[at + 1] = static_cast<uint8_t>(v >> 16);
    b[at + 2] = static_cast<uint8_t>(v >> 8);
    b[at + 3] = static_cast<uint8_t>(v);
}

// Writes "Xing", the flags word and the frame count at `offset` inside a frame.
inline void PutXing(Bytes& b, size_t offset, uint32_t frames, uint32_t flags = 1)
{
    b[offset] = 'X';
    b[offset + 1] = 'i';
    b[offset + 2] = 'n';
    b[offset + 3] = 'g';
    PutBigEndian32(b, offset + 4, flags);
    PutBigEndian32(b, offset + 8, frames);
}

// Writes a VBRI header counting `frames` frames into the first frame (32
// bytes behind its header).
inline void PutVbri(Bytes& b, uint32_t frames)
{
    const char mark[] = {'V', 'B', 'R', 'I', 0, 1};
    std::copy(std::begin(mark), std::end(mark), b.begin() + 36);
    PutBigEndian32(b, 50, frames);
}

// A 128-byte ID3v1 tag; each text is copied as given (zero-padded to its field).
inline Bytes Id3v1(const std::string& title, const std::string& artist, const std::string& album,
    const std::string& year, const std::string& comment, uint8_t track, uint8_t genre,
    const char* mark = "TAG")
{
    Bytes t(128, 0);
    auto put = [&](size_t at, const std::string& s, size_t n) {
        for (size_t i = 0; i < s.size() && i < n; ++i)
            t[at + i] = static_cast<uint8_t>(s[i]);
    };
    put(0, mark, 3);
    put(3, title, 30);
    put(33, artist, 30);
    put(63, album, 30);
    put(93, year, 4);
    put(97, comment, 30);
    t[126] = track;
    t[127] = genre;
    return t;
}

inline void Append(Bytes& a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
}

// A private folder removed with everything in it when the test ends.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path()
            / ("mpgtools-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    std::string Write(const std::string& name, const Bytes& data) const
    {
        const auto p = path_ / name;
        std::error_code ec;
        std::filesystem::remove(p, ec); // a fresh file: truncating one in place can force a disk flush
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        return p.string();
    }

private:
    std::filesystem::path path_;
};

} // namespace mpgtest
