// Command line of the ringtone converter `av`:
//   av -i <source> -ss <time> -t <time> [-f <format>] -acodec <encoder> -ab <kbit/s>
//      [-ac <channels>] [-ar <Hz>] [-fadein <s>] [-fadeout <s>] [-gain <dB>] [-limit]
//      [-title <text>] <target>
// A time is hh:mm:ss or hh:mm:ss.mmm (one to three decimals of the second).
// The options the export gives each ringtone type stand in ringtone_types.h.
// Options keep their historical meaning: -ab is in kbit/s, -ss/-t cut the
// decoded audio exactly. The target is always the last argument. Without -f
// and -acodec the target's extension (any letter case) decides.
//
// Shaping (every ringtone gets a 10 ms fade at each edge whatever is given):
//   -fadein, -fadeout  seconds, a decimal from 0 to 3600 with at most three
//                      decimals (0: only the edge fade); each fade is at least
//                      the edge fade and at most half the cut
//   -gain              dB, a decimal from -40 to 40 (sign allowed)
//   -limit             keep the true peak under the ringtone ceiling (-1 dBTP)
//   -title             the title tag (ID3v2.3 for MP3, the MP4 title, the
//                      Vorbis TITLE; AMR has none); UTF-8 without control
//                      characters; empty: no title
#pragma once

#include "ringtone_types.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace av {

// Exit status of av, one per class of failure. When an ending signal
// (SIGINT, SIGTERM, SIGHUP, SIGQUIT) arrives, av cleans up and dies of it.
enum Exit : int {
    ExitOk = 0,
    ExitInternal = 1, // pipe/poll/wait failure inside av itself
    ExitUsage = 2, // unknown option, missing or malformed value, empty target
    ExitTimeRange = 3, // start before 0, negative or zero length
    ExitSource = 4, // empty, missing, unreadable or non-regular source
    ExitTargetExists = 5, // target already there; it is never touched
    ExitTargetWrite = 6, // target folder unusable or gone, or giving the file its name failed
    ExitNoFfmpeg = 7, // ffmpeg not found on PATH or not runnable
    ExitNoEncoder = 8, // the installed ffmpeg lacks the requested encoder
    ExitConvert = 9, // ffmpeg failed (damaged source, write error) or its file lacks audio it claimed
    ExitNothingCut = 10, // the cut lies past the end of the source
    ExitStalled = 11, // ffmpeg made no progress for the stall limit; it was stopped
    ExitDiskFull = 12, // the target's disk is full; nothing was written
};

using ringtone::Codec;

struct Job {
    std::string source;
    std::string target;
    std::string startText = "00:00:00"; // as given, for messages
    double startSeconds = 0; // whole milliseconds
    std::optional<double> lengthSeconds; // whole milliseconds; none: to the end of the source
    std::string lengthText;
    Codec codec = Codec::Mp3;
    long bitRate = 0; // bit/s handed to the encoder; 0: encoder default
    std::optional<int> channels;
    std::optional<int> sampleRate; // Hz
    int fadeInMs = 0; // the chosen fades; 0: the edge fade only
    int fadeOutMs = 0;
    double gainDb = 0;
    bool limit = false;
    std::optional<std::string> title; // none: tags as ffmpeg copies them from the source
};

struct ArgError {
    Exit code;
    std::string message; // one line, without the "av: " prefix
};

// A clock text "hh:mm:ss" or "hh:mm:ss.mmm": hours at least two digits,
// minutes and seconds exactly two digits below 60, then one to three
// unsigned decimals; any of the three fields may carry a leading minus.
struct Clock {
    long long seconds = 0; // magnitude, whole seconds
    bool negative = false; // some field had a minus sign
    long long ms = 0; // magnitude with the decimals, milliseconds
};
std::optional<Clock> parseClock(std::string_view text);

// The highest AMR-NB mode rate (bit/s) not above the request; the lowest
// mode when the request is below all of them.
long amrNbRate(long requestedBitPerSecond);

// A decimal "[-|+]digits[.digits]" with at most maxDecimals decimals (and
// without a sign unless signed); none for anything else (exponents, nan, inf).
std::optional<double> parseDecimal(std::string_view text, int maxDecimals, bool allowSign);

std::variant<Job, ArgError> parseArgs(std::span<const std::string> args);

// Text safe to show on one line: quoted, control bytes escaped.
std::string quoted(std::string_view text);

} // namespace av
