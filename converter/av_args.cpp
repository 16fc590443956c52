#include "av_args.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
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

using ringtone::kTypes;
using ringtone::Type;

template <typename Field> const Type* findType(Field field, std::string_view name)
{
    for (const Type& t : kTypes)
        if (t.*field == name)
            return &t;
    return nullptr;
}

const Type* typeForExtension(std::string_view target)
{
    const auto slash = target.rfind('/');
    const auto name = slash == std::string_view::npos ? target : target.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return nullptr;
    std::string ext(name.substr(dot));
    std::transform(ext.begin(), ext.end(), ext.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return findType(&Type::extension, ext);
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
    long long h = 0, m = 0, s = 0, ms = 0;
    bool nh = false, nm = false, ns = false;
    std::string_view seconds = text.substr(c2 + 1);
    // ".mmm": one to three decimals of the second.
    const auto dot = seconds.find('.');
    if (dot != std::string_view::npos) {
        const std::string_view fraction = seconds.substr(dot + 1);
        bool signedFraction = false;
        if (fraction.empty() || fraction.size() > 3 || !parseField(fraction, 1, 3, ms, signedFraction)
            || signedFraction)
            return std::nullopt;
        for (std::size_t k = fraction.size(); k < 3; ++k)
            ms *= 10;
        seconds = seconds.substr(0, dot);
    }
    if (!parseField(text.substr(0, c1), 2, 6, h, nh)
        || !parseField(text.substr(c1 + 1, c2 - c1 - 1), 2, 2, m, nm) || !parseField(seconds, 2, 2, s, ns))
        return std::nullopt;
    if (m >= 60 || s >= 60)
        return std::nullopt;
    const long long whole = h * 3600 + m * 60 + s;
    return Clock{whole, nh || nm || ns, whole * 1000 + ms};
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

std::optional<double> parseDecimal(std::string_view text, int maxDecimals, bool allowSign)
{
    std::string_view digits = text;
    if (allowSign && !digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    const auto dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    const std::string_view fraction
        = dot == std::string_view::npos ? std::string_view{} : digits.substr(dot + 1);
    auto allDigits = [](std::string_view f) {
        return std::all_of(f.begin(), f.end(), [](unsigned char c) { return std::isdigit(c); });
    };
    if (whole.empty() || whole.size() > 9 || !allDigits(whole) || !allDigits(fraction)
        || (dot != std::string_view::npos && fraction.empty())
        || fraction.size() > static_cast<std::size_t>(maxDecimals))
        return std::nullopt;
    double v = 0;
    const std::string plain(digits);
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(v))
        return std::nullopt;
    return !text.empty() && text.front() == '-' ? -v : v;
}

namespace {

// The values of the options given, each at most once.
struct Given {
    std::optional<std::string> source, ss, t, format, acodec, ab, ac, ar, fadeIn, fadeOut, gain, title;
    bool limit = false;
};

// Well-formed UTF-8 without control characters (C0, DEL, C1).
bool plainText(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int more = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xe ? 2 : (c >> 3) == 0x1e ? 3 : -1;
        if (more < 0 || i + static_cast<std::size_t>(more) >= text.size())
            return false;
        char32_t cp = more == 0 ? c : c & (0x3f >> more);
        for (int k = 1; k <= more; ++k) {
            const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((b & 0xc0) != 0x80)
                return false;
            cp = (cp << 6) | (b & 0x3f);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[more] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff) || cp < 0x20
            || (cp >= 0x7f && cp < 0xa0))
            return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

std::optional<ArgError> readOptions(std::span<const std::string> options, Given& g)
{
    const std::array<std::pair<std::string_view, std::optional<std::string>*>, 12> known{{
        {"-i", &g.source},
        {"-ss", &g.ss},
        {"-t", &g.t},
        {"-f", &g.format},
        {"-acodec", &g.acodec},
        {"-ab", &g.ab},
        {"-ac", &g.ac},
        {"-ar", &g.ar},
        {"-fadein", &g.fadeIn},
        {"-fadeout", &g.fadeOut},
        {"-gain", &g.gain},
        {"-title", &g.title},
    }};
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& name = options[i];
        if (name == "-limit") {
            if (g.limit)
                return usage("option -limit is given twice");
            g.limit = true;
            continue;
        }
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
    return std::nullopt;
}

std::optional<ArgError> readTimes(const Given& g, Job& job)
{
    if (g.ss) {
        const auto c = parseClock(*g.ss);
        if (!c)
            return usage("the start " + quoted(*g.ss) + " is not a time hh:mm:ss or hh:mm:ss.mmm");
        if (c->negative)
            return ArgError{ExitTimeRange, "the start " + *g.ss + " lies before the beginning of the source"};
        job.startText = *g.ss;
        job.startSeconds = static_cast<double>(c->ms) / 1000.0;
    }
    if (g.t) {
        const auto c = parseClock(*g.t);
        if (!c)
            return usage("the length " + quoted(*g.t) + " is not a time hh:mm:ss or hh:mm:ss.mmm");
        if (c->negative)
            return ArgError{
                ExitTimeRange, "the length " + *g.t + " is negative; the end lies before the start"};
        if (c->ms == 0)
            return ArgError{ExitTimeRange, "the length " + *g.t + " is zero; there is nothing to cut"};
        job.lengthText = *g.t;
        job.lengthSeconds = static_cast<double>(c->ms) / 1000.0;
    }
    return std::nullopt;
}

// "a, b, c or d", or with sep and last "|": "a|b|c|d".
std::string namesOf(
    std::string_view Type::*field, std::string_view sep = ", ", std::string_view last = " or ")
{
    std::string names;
    for (std::size_t i = 0; i < kTypes.size(); ++i)
        names.append(i == 0 ? "" : i + 1 == kTypes.size() ? last : sep).append(kTypes[i].*field);
    return names;
}

// -f, -acodec or else the target's extension.
std::variant<const Type*, ArgError> chooseType(const Given& g, const std::string& target)
{
    const Type* fromFormat = nullptr;
    if (g.format && !(fromFormat = findType(&Type::format, *g.format)))
        return usage(
            "unknown output format " + quoted(*g.format) + " for -f (" + namesOf(&Type::format) + ")");
    if (g.acodec) {
        const Type* type = findType(&Type::encoder, *g.acodec);
        if (!type)
            return usage("unknown audio encoder " + quoted(*g.acodec) + " for -acodec ("
                + namesOf(&Type::encoder) + ")");
        if (fromFormat && fromFormat != type)
            return usage("the output format " + *g.format + " cannot hold " + *g.acodec + " audio");
        return type;
    }
    if (fromFormat)
        return fromFormat;
    if (const Type* type = typeForExtension(target))
        return type;
    return usage("no audio encoder chosen (option -acodec is missing)");
}

std::optional<ArgError> readRates(const Given& g, const Type& type, Job& job)
{
    const bool amr = type.codec == Codec::AmrNb;
    if (g.ab) {
        const auto kbit = parsePositive(*g.ab, type.maxKbit);
        if (!kbit || *kbit < type.minKbit)
            return usage("the bit rate " + quoted(*g.ab) + " of -ab is not a number of kbit/s"
                + (amr ? ""
                       : " from " + std::to_string(type.minKbit) + " to " + std::to_string(type.maxKbit)));
        job.bitRate = amr ? amrNbRate(*kbit * 1000) : *kbit * 1000;
    } else if (amr) {
        job.bitRate = kAmrNbRates.back();
    }
    if (g.ac) {
        const auto n = parsePositive(*g.ac, 2);
        if (!n || (amr && *n != 1))
            return usage("the channel count " + quoted(*g.ac) + " of -ac is not "
                + (amr ? "1 (AMR-NB is mono)" : "1 or 2"));
        job.channels = static_cast<int>(*n);
    } else if (amr) {
        job.channels = 1;
    }
    if (g.ar) {
        const auto hz = parsePositive(*g.ar, 1000000);
        if (!hz || std::find(type.rates.begin(), type.rates.end(), *hz) == type.rates.end())
            return usage("the sample rate " + quoted(*g.ar) + " of -ar is not " + std::string(type.rateText));
        job.sampleRate = static_cast<int>(*hz);
    } else if (amr) {
        job.sampleRate = 8000;
    }
    return std::nullopt;
}

std::optional<ArgError> readShape(const Given& g, Job& job)
{
    const std::pair<const std::optional<std::string>*, int*> fades[]
        = {{&g.fadeIn, &job.fadeInMs}, {&g.fadeOut, &job.fadeOutMs}};
    for (const auto& [text, ms] : fades) {
        if (!*text)
            continue;
        const auto s = parseDecimal(**text, 3, false);
        if (!s || *s > 3600)
            return usage("the fade " + quoted(**text) + " of "
                + (ms == &job.fadeInMs ? "-fadein" : "-fadeout")
                + " is not a number of seconds from 0 to 3600 with at most three decimals");
        *ms = static_cast<int>(std::lround(*s * 1000));
    }
    if (g.gain) {
        const auto db = parseDecimal(*g.gain, 6, true);
        if (!db || std::fabs(*db) > 40)
            return usage("the gain " + quoted(*g.gain) + " of -gain is not a number of dB from -40 to 40");
        job.gainDb = *db;
    }
    job.limit = g.limit;
    if (g.title) {
        if (!plainText(*g.title))
            return usage(
                "the title " + quoted(*g.title) + " of -title is not UTF-8 text without control characters");
        job.title = *g.title;
    }
    return std::nullopt;
}

} // namespace

std::variant<Job, ArgError> parseArgs(std::span<const std::string> args)
{
    if (args.empty())
        return usage("no arguments; usage: av -i <source> -ss <hh:mm:ss> -t <hh:mm:ss> [-f "
            + namesOf(&Type::format, "|", "|") + "] -acodec " + namesOf(&Type::encoder, "|", "|")
            + " -ab <kbit/s> [-ac <n>] [-ar <Hz>] [-fadein <s>] [-fadeout <s>] [-gain <dB>] [-limit]"
              " [-title <text>] <target>");
    Job job;
    job.target = args.back();
    if (job.target.empty())
        return usage("the target argument is empty");
    if (job.target.back() == '/')
        return usage("the target " + quoted(job.target) + " names a folder, not a file");

    Given g;
    if (auto e = readOptions(args.first(args.size() - 1), g))
        return *e;
    if (!g.source)
        return usage("no source given (option -i is missing)");
    if (g.source->empty())
        return ArgError{ExitSource, "the source argument (-i) is empty; no file to cut"};
    job.source = *g.source;
    if (auto e = readTimes(g, job))
        return *e;
    const auto chosen = chooseType(g, job.target);
    if (auto* e = std::get_if<ArgError>(&chosen))
        return *e;
    const Type& type = *std::get<const Type*>(chosen);
    job.codec = type.codec;
    if (auto e = readRates(g, type, job))
        return *e;
    if (auto e = readShape(g, job))
        return *e;
    return job;
}

} // namespace av
