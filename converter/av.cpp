// av: the ringtone converter front end. It takes the converter command line
// the export job builds (see av_args.h, which also lists the exit codes) and
// runs the installed `ffmpeg` (found on PATH) with the same meaning in
// today's syntax: -ab in kbit/s, -acodec mp3 = LAME, amr_nb = OpenCORE AMR-NB
// at its highest mode not above the request, aac = ffmpeg's AAC-LC encoder in
// the iPod MP4 format (-f ipod, .m4r), vorbis = libvorbis in Ogg (-f ogg).
// The cut is exact to the sample and shaped by one filter chain (av_cut.h).
//
// It reads its input only where ffmpeg cannot (av_pcmfeed.h), never
// overwrites a file and never leaves a partial target: ffmpeg writes into
// the work area (av_workarea.h), its
// messages are read for write errors whatever its exit status, the finished
// file is checked (av_output.h: the container's signature and the length of
// the audio really in it) and flushed to the disk, then given the target's
// name by an operation that fails when the target exists. On failure it
// prints one line "av: ..." on stderr; lines meant for the user as they
// stand begin with a capital letter.
//
// ffmpeg dies with av, also when av is killed outright (parent-death signal),
// and is given up on when its progress has not advanced for 30 s (a stall,
// not a limit on the whole run); the environment variable AV_STALL_SECONDS
// sets another limit in seconds (fractions allowed).

#include "av_args.h"
#include "av_common.h"
#include "av_cut.h"
#include "av_ffmpeg.h"
#include "av_output.h"
#include "av_pcmfeed.h"
#include "av_workarea.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using namespace av;

void checkSource(const std::string& source)
{
    // O_NONBLOCK: a FIFO must not make us wait for a writer.
    UniqueFd fd(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        fail(ExitSource, "opening the source " + quoted(source) + " failed: " + errnoText(errno));
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0)
        fail(ExitSource, "reading the source " + quoted(source) + " failed: " + errnoText(errno));
    if (!S_ISREG(st.st_mode))
        fail(ExitSource, "the source " + quoted(source) + " is not a regular file");
    if (st.st_size == 0)
        fail(ExitSource, "the source " + quoted(source) + " is empty; there is no sound to cut");
}

void checkTargetAbsent(const std::string& target)
{
    struct stat st { };
    if (::lstat(target.c_str(), &st) == 0)
        fail(ExitTargetExists, "the target " + quoted(target) + " already exists; it was left as it is");
}

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// The last non-empty line of ffmpeg's messages, with our private names
// replaced by the user's.
std::string lastLine(std::string text, const Job& job, const std::string& work)
{
    replaceAll(text, "file:" + work, job.target);
    replaceAll(text, "file:" + job.source, job.source);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const auto nl = text.find_last_of("\r\n");
    if (nl != std::string::npos)
        text.erase(0, nl + 1);
    if (text.empty())
        return "no message";
    const std::string q = quoted(text);
    return q.substr(1, q.size() - 2);
}

// feed: the decoded source on ffmpeg's standard input, for a source ffmpeg
// cannot read itself; none: ffmpeg reads the source.
std::vector<std::string> ffmpegArgs(const Job& job, const WorkArea& work, const PcmFeed* feed)
{
    const ringtone::Type& type = ringtone::typeOf(job.codec);
    const CutPlan plan = feed ? feed->plan() : planCut(job);
    // "file:" keeps names like "-x.mp3", "pipe:0" or "a:b.mp3" plain files.
    // -y only for the unnamed file, which exists already and is ours alone.
    std::vector<std::string> a = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-nostats",
        "-progress", "pipe:1", work.unnamed() ? "-y" : "-n"};
    a.insert(a.end(), plan.inputOptions.begin(), plan.inputOptions.end());
    a.insert(a.end(), {"-i", feed ? "pipe:0" : "file:" + job.source, "-af", filterChain(job, plan)});
    a.insert(a.end(), {"-vn", "-sn", "-dn", "-c:a", std::string(type.ffmpegEncoder)});
    if (job.bitRate > 0) {
        a.push_back("-b:a");
        a.push_back(std::to_string(job.bitRate));
    }
    if (job.channels) {
        a.push_back("-ac");
        a.push_back(std::to_string(*job.channels));
    }
    if (job.sampleRate) {
        a.push_back("-ar");
        a.push_back(std::to_string(*job.sampleRate));
    }
    const std::vector<std::string> tags = tagOptions(job);
    a.insert(a.end(), tags.begin(), tags.end());
    a.insert(a.end(), {"-f", std::string(type.format), "file:" + work.output()});
    return a;
}

// ffmpeg exited non-zero or said it could not write its file.
[[noreturn]] void failConversion(const Job& job, const FfmpegRun& run, const WorkArea& work)
{
    if (work.folderGone())
        work.failFolderGone();
    if (run.diskFull || (run.writeFailed && work.folderFull()))
        work.failDiskFull();
    const std::string why = lastLine(run.errors, job, work.output());
    if (run.errors.find("Unknown encoder") != std::string::npos
        || run.errors.find("Encoder not found") != std::string::npos) {
        const ringtone::Type& type = ringtone::typeOf(job.codec);
        fail(ExitNoEncoder,
            "the installed ffmpeg has no " + std::string(type.name) + " encoder (install "
                + std::string(type.missing) + "): " + why);
    }
    if (run.writeFailed)
        fail(ExitConvert, "writing the ringtone " + quoted(job.target) + " failed: " + why);
    const std::string how = WIFEXITED(run.status) ? "exit status " + std::to_string(WEXITSTATUS(run.status))
                                                  : "signal " + std::to_string(WTERMSIG(run.status));
    fail(ExitConvert, "converting " + quoted(job.source) + " with ffmpeg failed (" + how + "): " + why);
}

void convert(const Job& job)
{
    checkSource(job.source);
    checkTargetAbsent(job.target);

    SignalWatch signals;
    WorkArea work(job.target);
    FfmpegRun run = runFfmpeg(ffmpegArgs(job, work, nullptr), signals, work.inheritedFd());
    // ffmpeg refused to read an Ogg Vorbis source: once more, fed the samples
    // libvorbisfile decodes. Every other source takes the first run as it ended.
    std::optional<PcmFeed> feed;
    if (!run.writeFailed && WIFEXITED(run.status) && WEXITSTATUS(run.status) != 0
        && ffmpegRefusedSource(run.errors, job.source) && isOggVorbis(job.source)) {
        feed.emplace(job);
        const std::vector<std::string> args = ffmpegArgs(job, work, &*feed);
        feed->start();
        run = runFfmpeg(args, signals, work.inheritedFd(), feed->inputFd());
        feed.reset(); // the writer ends once ffmpeg has stopped reading
    }
    if (run.writeFailed || !WIFEXITED(run.status) || WEXITSTATUS(run.status) != 0)
        failConversion(job, run, work);
    if (work.folderGone())
        work.failFolderGone();
    try {
        checkOutput(job, work.openResult().get(), run.progress);
    } catch (const Failure&) {
        if (work.folderFull())
            work.failDiskFull(); // a file cut short by a full disk
        throw;
    }
    work.publish();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int interrupted = 0;
    try {
        auto parsed = parseArgs(args);
        if (auto* e = std::get_if<ArgError>(&parsed)) {
            std::fprintf(stderr, "av: %s\n", e->message.c_str());
            return e->code;
        }
        convert(std::get<Job>(parsed));
        return ExitOk;
    } catch (const Failure& f) {
        std::fprintf(stderr, "av: %s\n", f.message.c_str());
        return f.code;
    } catch (const Interrupted& i) {
        interrupted = i.signal; // the work area is gone by now
    } catch (const std::exception& e) {
        std::fprintf(stderr, "av: internal failure: %s\n", e.what());
        return ExitInternal;
    }
    std::fprintf(stderr, "av: interrupted by signal %d; nothing was written\n", interrupted);
    std::signal(interrupted, SIG_DFL);
    std::raise(interrupted);
    return 128 + interrupted;
}
