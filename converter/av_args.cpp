#include "av_args.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace av {
namespace {

// Parses "-?digits" with a digit count in [minDigits, maxDigits].
bool parseField(
    std::string_view f, std::size_t minDigits, std::size_t maxDigits, long long& value, bool& negative)
{
    negative = !f.empty() && f.front() == '-';
    if (negative)
        f.remove_prefix(1);
    if (f.size() < minDigits || f.size() > maxDigits)
        return false;
    if (!std::all_of(f.begin(), f.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), value);
    return ec == std::errc() && end == f.data() + f.size();
}

std::optional<long> parsePositive(std::string_view text, long max)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    long v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    if (v < 1 || v > max)
        return std::nullopt;
    return v;
}

// The names each target kind goes by: "-f" format, "-acodec" encoder and
// file-name extension (letter case ignored for the extension only), and what
// it accepts besides AMR-NB's fixed modes.
struct Kind {
    Codec codec;
    std::string_view format, encoder, extension;
    long minKbit, maxKbit;
    std::span<const int> rates; // Hz
    std::string_view rateText;
};

constexpr std::array<int, 9> kMp3Rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
// libvorbis's bit-rate range below 44.1 kHz is too narrow for a ringtone.
constexpr std::array<int, 2> kVorbisRates{44100, 48000};
constexpr std::array<int, 1> kAmrRates{8000};

constexpr std::array<Kind, 4> kKinds{{
    {Codec::Mp3, "mp3", "mp3", "mp3", 8, 320, kMp3Rates, "an MP3 rate (8000 to 48000 Hz)"},
    {Codec::AmrNb, "amr", "amr_nb", "amr", 1, 1000, kAmrRates, "8000 (AMR-NB)"},
    {Codec::Aac, "ipod", "aac", "m4r", 8, 320, kMp3Rates, "an AAC rate (8000 to 48000 Hz)"},
    {Codec::Vorbis, "ogg", "vorbis", "ogg", 48, 192, kVorbisRates, "44100 or 48000 (Vorbis)"},
}};

template <typename Field> const Kind* findKind(Field field, std::string_view name)
{
    for (const Kind& k : kKinds)
        if (k.*field == name)
            return &k;
    return nullptr;
}

const Kind* kindForExtension(std::string_view target)
{
    const auto slash = target.rfind('/');
    const auto name = slash == std::string_view::npos ? target : target.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return nullptr;
    std::string ext(name.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return findKind(&Kind::extension, ext);
}

constexpr std::array<long, 8> kAmrNbRates{4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};

ArgError usage(std::string msg)
{
    return {ExitUsage, std::move(msg)};
}

} // namespace

std::optional<Clock> parseClock(std::string_view text)
{
    const auto c1 = text.find(':');
    if (c1 == std::string_view::npos)
        return std::nullopt;
    const auto c2 = text.find(':', c1 + 1);
    if (c2 == std::string_view::npos || text.find(':', c2 + 1) != std::string_view::npos)
        return std::nullopt;
    long long h = 0, m = 0, s = 0;
    bool nh = false, nm = false, ns = false;
    if (!parseField(text.substr(0, c1), 2, 6, h, nh)
        || !parseField(text.substr(c1 + 1, c2 - c1 - 1), 2, 2, m, nm)
        || !parseField(text.substr(c2 + 1), 2, 2, s, ns))
        return std::nullopt;
    if (m >= 60 || s >= 60)
        return std::nullopt;
    return Clock{h * 3600 + m * 60 + s, nh || nm || ns};
}

long amrNbRate(long requested)
{
    long best = kAmrNbRates.front();
    for (long r : kAmrNbRates)
        if (r <= requested)
            best = r;
    return best;
}

std::string quoted(std::string_view text)
{
    std::string out = "'";
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '\'';
    return out;
}

std::variant<Job, ArgError> parseArgs(std::span<const std::string> args)
{
    if (args.empty())
        return usage(
            "no arguments; usage: av -i <source> -ss <hh:mm:ss> -t <hh:mm:ss> "
            "[-f mp3|amr|ipod|ogg] -acodec mp3|amr_nb|aac|vorbis -ab <kbit/s> [-ac <n>] [-ar <Hz>] <target>");

    Job job;
    job.target = args.back();
    if (job.target.empty())
        return usage("the target argument is empty");
    if (job.target.back() == '/')
        return usage("the target " + quoted(job.target) + " names a folder, not a file");

    std::optional<std::string> source, ss, t, format, acodec, ab, ac, ar;
    const std::array<std::pair<std::string_view, std::optional<std::string>*>, 8> known{{
        {"-i", &source},
        {"-ss", &ss},
        {"-t", &t},
        {"-f", &format},
        {"-acodec", &acodec},
        {"-ab", &ab},
        {"-ac", &ac},
        {"-ar", &ar},
    }};

    const auto options = args.first(args.size() - 1);
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& name = options[i];
        const auto it
            = std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.first == name; });
        if (it == known.end()) {
            if (!name.empty() && name.front() == '-')
                return usage("unknown option " + quoted(name));
            return usage("unexpected argument " + quoted(name) + " (the target must be the last argument)");
        }
        if (i + 1 >= options.size())
            return usage("option " + name + " needs a value");
        if (it->second->has_value())
            return usage("option " + name + " is given twice");
        *it->second = options[++i];
    }

    if (!source)
        return usage("no source given (option -i is missing)");
    if (source->empty())
        return ArgError{ExitSource, "the source argument (-i) is empty; no file to cut"};
    job.source = *source;

    if (ss) {
        const auto c = parseClock(*ss);
        if (!c)
            return usage("the start " + quoted(*ss) + " is not a time hh:mm:ss");
        if (c->negative)
            return ArgError{ExitTimeRange, "the start " + *ss + " lies before the beginning of the source"};
        job.startText = *ss;
        job.startSeconds = c->seconds;
    }
    if (t) {
        const auto c = parseClock(*t);
        if (!c)
            return usage("the length " + quoted(*t) + " is not a time hh:mm:ss");
        if (c->negative)
            return ArgError{
                ExitTimeRange, "the length " + *t + " is negative; the end lies before the start"};
        if (c->seconds == 0)
            return ArgError{ExitTimeRange, "the length " + *t + " is zero; there is nothing to cut"};
        job.lengthText = *t;
        job.lengthSeconds = c->seconds;
    }

    const Kind* fromFormat = nullptr;
    if (format) {
        fromFormat = findKind(&Kind::format, *format);
        if (!fromFormat)
            return usage("unknown output format " + quoted(*format) + " for -f (mp3, amr, ipod or ogg)");
    }
    const Kind* kind = nullptr;
    if (acodec) {
        kind = findKind(&Kind::encoder, *acodec);
        if (!kind)
            return usage(
                "unknown audio encoder " + quoted(*acodec) + " for -acodec (mp3, amr_nb, aac or vorbis)");
        if (fromFormat && fromFormat != kind)
            return usage("the output format " + *format + " cannot hold " + *acodec + " audio");
    } else if (fromFormat) {
        kind = fromFormat;
    } else if (!(kind = kindForExtension(job.target))) {
        return usage("no audio encoder chosen (option -acodec is missing)");
    }
    job.codec = kind->codec;
    const bool amr = job.codec == Codec::AmrNb;

    if (ab) {
        const auto kbit = parsePositive(*ab, kind->maxKbit);
        if (!kbit || *kbit < kind->minKbit)
            return usage("the bit rate " + quoted(*ab) + " of -ab is not a number of kbit/s"
                + (amr ? ""
                       : " from " + std::to_string(kind->minKbit) + " to " + std::to_string(kind->maxKbit)));
        job.bitRate = amr ? amrNbRate(*kbit * 1000) : *kbit * 1000;
    } else if (amr) {
        job.bitRate = kAmrNbRates.back();
    }

    if (ac) {
        const auto n = parsePositive(*ac, 2);
        if (!n || (amr && *n != 1))
            return usage("the channel count " + quoted(*ac) + " of -ac is not "
                + (amr ? "1 (AMR-NB is mono)" : "1 or 2"));
        job.channels = static_cast<int>(*n);
    } else if (amr) {
        job.channels = 1;
    }

    if (ar) {
        const auto hz = parsePositive(*ar, 1000000);
        if (!hz || std::find(kind->rates.begin(), kind->rates.end(), *hz) == kind->rates.end())
            return usage("the sample rate " + quoted(*ar) + " of -ar is not " + std::string(kind->rateText));
        job.sampleRate = static_cast<int>(*hz);
    } else if (amr) {
        job.sampleRate = 8000;
    }
    return job;
}

} // namespace av
