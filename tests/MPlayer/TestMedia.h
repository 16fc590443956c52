// Media files made by the tests: WAV files written here, MP3 files made with
// the installed ffmpeg.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace testmedia {

// The 44-byte header of a WAV file with 16-bit samples; `formatTag` 1 is
// PCM, 0x55 says MPEG layer 3.
inline void WriteWavHeader(
    std::ostream& f, int rate, int channels, uint32_t dataBytes, uint16_t formatTag = 1)
{
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    u32(36 + dataBytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(formatTag);
    u16(static_cast<uint16_t>(channels));
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate * channels * 2));
    u16(static_cast<uint16_t>(channels * 2));
    u16(16);
    f.write("data", 4);
    u32(dataBytes);
}

// 16-bit PCM WAV; sample(frame, channel) gives each value.
inline void WriteWav(const std::string& path, int rate, int channels, int64_t frames,
    const std::function<int16_t(int64_t, int)>& sample)
{
    std::ofstream f(path, std::ios::binary);
    const uint32_t data = static_cast<uint32_t>(frames * channels * 2);
    WriteWavHeader(f, rate, channels, data);
    std::string buf;
    buf.reserve(static_cast<size_t>(data));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const int16_t v = sample(i, c);
            buf.append(reinterpret_cast<const char*>(&v), 2);
        }
    f.write(buf.data(), static_cast<std::streamsize>(buf.size()));
}

// An MP3 with a sine tone; returns false when ffmpeg could not make it.
inline bool MakeMp3(const std::string& path, double seconds, int channels = 2, int rate = 44100)
{
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:sample_rate="
        + std::to_string(rate) + ":duration=" + std::to_string(seconds) + " -ac " + std::to_string(channels)
        + " -c:a libmp3lame -b:a 128k '" + path + "'";
    return std::system(cmd.c_str()) == 0 && std::filesystem::exists(path);
}

// Ogg's page checksum: CRC-32, polynomial 0x04c11db7, not reflected, over
// the page with its checksum field zeroed.
inline uint32_t OggCrc(const std::string& page)
{
    uint32_t crc = 0;
    for (unsigned char b : page) {
        crc ^= uint32_t{b} << 24;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// Damages the Ogg Vorbis file at `path` in place as a known encoder fault
// leaves it: the first audio page repeats the three header packets before its
// audio and carries a negative granule position (-104). FFmpeg refuses such
// a file ("Invalid data found when processing input"); libvorbis decodes it
// whole. False when the file is not as ffmpeg's libvorbis writes it.
inline bool DamageOgg(const std::string& path)
{
    const std::string made = path + ".made.ogg";
    std::error_code ec;
    std::filesystem::rename(path, made, ec);
    if (ec)
        return false;
    std::ifstream in(made, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(made);
    struct Page {
        std::string head; // the 27 bytes before the segment table
        std::string lacing, body;
    };
    std::vector<Page> pages;
    for (size_t at = 0; at + 27 <= file.size() && file.compare(at, 4, "OggS") == 0;) {
        Page p;
        p.head = file.substr(at, 27);
        const size_t segments = static_cast<unsigned char>(file[at + 26]);
        p.lacing = file.substr(at + 27, segments);
        size_t bytes = 0;
        for (unsigned char l : p.lacing)
            bytes += l;
        p.body = file.substr(at + 27 + segments, bytes);
        at += 27 + segments + bytes;
        pages.push_back(std::move(p));
    }
    if (pages.size() < 4 || pages[0].lacing.size() + pages[1].lacing.size() + pages[2].lacing.size() > 255)
        return false;
    // Pages 0 and 1 hold the headers, page 2 the first audio.
    Page& audio = pages[2];
    audio.lacing = pages[0].lacing + pages[1].lacing + audio.lacing;
    audio.body = pages[0].body + pages[1].body + audio.body;
    const int64_t granule = -104;
    audio.head.replace(6, 8, reinterpret_cast<const char*>(&granule), 8); // little-endian
    audio.head[26] = static_cast<char>(audio.lacing.size());
    std::ofstream out(path, std::ios::binary);
    for (Page& p : pages) {
        std::string page = p.head + p.lacing + p.body;
        page.replace(22, 4, 4, '\0');
        const uint32_t crc = OggCrc(page);
        page.replace(22, 4, reinterpret_cast<const char*>(&crc), 4);
        out << page;
    }
    return static_cast<bool>(out);
}

// An Ogg Vorbis file with a 440 Hz tone made by ffmpeg's libvorbis, damaged
// by DamageOgg. False when ffmpeg could not make it.
inline bool MakeDamagedOgg(const std::string& path, double seconds, int channels = 2, int rate = 44100)
{
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:sample_rate="
        + std::to_string(rate) + ":duration=" + std::to_string(seconds) + " -ac " + std::to_string(channels)
        + " -c:a libvorbis '" + path + "'";
    return std::system(cmd.c_str()) == 0 && DamageOgg(path);
}

// 1 s of tone at 8 kHz mono, then 1 s at 44.1 kHz stereo, joined as `cat`
// joins two MP3 files.
inline bool MakeJoinedMp3(const std::string& path)
{
    const std::string low = path + ".8k.mp3", high = path + ".44k.mp3";
    if (!MakeMp3(low, 1.0, 1, 8000) || !MakeMp3(high, 1.0, 2, 44100))
        return false;
    std::ofstream(path, std::ios::binary) << std::ifstream(low).rdbuf() << std::ifstream(high).rdbuf();
    return true;
}

// Copies `from` to `to` and extends it with zeros to `size` bytes, like a
// half-downloaded file (`truncate -s`): sparse, so it costs no disk.
inline void CopyWithZeros(const std::string& from, const std::string& to, uintmax_t size)
{
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(to, size);
}

// Waits until cond() holds or the deadline passes; returns cond().
inline bool WaitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end)
            return cond();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A value of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when missing.
inline long StatusKb(const std::string& key)
{
    std::ifstream f("/proc/self/status");
    for (std::string line; std::getline(f, line);)
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return -1;
}

// A folder of this process's own, removed when the process ends.
inline std::string TempDir(const std::string& name)
{
    struct Cleaner {
        std::vector<std::filesystem::path> dirs;
        ~Cleaner()
        {
            std::error_code ec;
            for (const auto& d : dirs)
                std::filesystem::remove_all(d, ec);
        }
    };
    static Cleaner cleaner;
    auto dir = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    if (std::filesystem::create_directories(dir))
        cleaner.dirs.push_back(dir);
    return dir.string() + "/";
}

} // namespace testmedia
