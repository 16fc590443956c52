// The kinds of ringtone the program writes: one table read by the save
// dialog, the export's converter command line, the converter's parser and
// its ffmpeg options. Standard C++ only.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ringtone {

enum class Codec {
    Mp3, // LAME in MP3
    AmrNb, // OpenCORE AMR-NB in the AMR storage format
    Aac, // AAC-LC in an iPod/iPhone MP4 (.m4r ringtone)
    Vorbis, // libvorbis in Ogg
};

struct Type {
    Codec codec;
    // The save dialog and the target's name.
    std::string_view extension; // ".mp3", letter case exact
    std::string_view description; // as the save dialog offers it
    std::string_view kind; // "an MP3 ringtone", for refusals
    int phonePlaysSeconds; // how much of a ringtone the phone plays; 0: all of it
    // The converter's command line as the export builds it.
    std::string_view format; // -f, also ffmpeg's muxer
    bool lineNamesFormat; // the export's line carries -f
    std::string_view encoder; // -acodec
    int kbit; // -ab, kbit/s
    int channels; // -ac
    int rate; // -ar, Hz; 0: not given
    // What the converter accepts and needs.
    int minKbit, maxKbit; // -ab range (AMR-NB maps any request to its modes)
    std::span<const int> rates; // -ar values, Hz
    std::string_view rateText; // those values for messages
    std::string_view name; // the audio's name in messages
    std::string_view ffmpegEncoder;
    std::string_view missing; // what to install when ffmpeg lacks the encoder
};

inline constexpr std::array<int, 9> kMp3Rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
// libvorbis's bit-rate range below 44.1 kHz is too narrow for a ringtone.
inline constexpr std::array<int, 2> kVorbisRates{44100, 48000};
inline constexpr std::array<int, 1> kAmrRates{8000};

// In the order the save dialog offers them; the first is the default.
inline constexpr std::array<Type, 4> kTypes{{
    {Codec::Mp3, ".mp3", "Mp3 Music File", "an MP3 ringtone", 0, "mp3", false, "mp3", 64, 2, 0, 8, 320,
        kMp3Rates, "an MP3 rate (8000 to 48000 Hz)", "MP3", "libmp3lame", "ffmpeg with libmp3lame"},
    {Codec::AmrNb, ".amr", "AMR Ringtone", "an AMR ringtone", 0, "amr", true, "amr_nb", 32, 1, 8000, 1, 1000,
        kAmrRates, "8000 (AMR-NB)", "AMR-NB", "libopencore_amrnb", "libavcodec-extra"},
    // An iPhone plays the first 40 s of a ringtone.
    {Codec::Aac, ".m4r", "iPhone Ringtone", "an iPhone ringtone", 40, "ipod", true, "aac", 128, 2, 44100, 8,
        320, kMp3Rates, "an AAC rate (8000 to 48000 Hz)", "AAC", "aac", "a complete ffmpeg"},
    {Codec::Vorbis, ".ogg", "Android Ringtone", "an Android ringtone", 0, "ogg", true, "vorbis", 128, 2,
        44100, 48, 192, kVorbisRates, "44100 or 48000 (Vorbis)", "Vorbis", "libvorbis",
        "ffmpeg with libvorbis"},
}};

inline const Type& typeOf(Codec codec)
{
    for (const Type& t : kTypes)
        if (t.codec == codec)
            return t;
    return kTypes.front();
}

// The converter's options between the times and the target.
inline std::vector<std::string> exportOptions(const Type& t)
{
    std::vector<std::string> o;
    if (t.lineNamesFormat)
        o.insert(o.end(), {"-f", std::string(t.format)});
    o.insert(o.end(),
        {"-acodec", std::string(t.encoder), "-ab", std::to_string(t.kbit), "-ac",
            std::to_string(t.channels)});
    if (t.rate > 0)
        o.insert(o.end(), {"-ar", std::to_string(t.rate)});
    return o;
}

} // namespace ringtone
