// Running the built av as a child process, and looking at what it left.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace avtest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Options {
    std::map<std::string, std::string> env; // overrides
    std::string cwd;
    bool ownGroup = false; // the child leads a process group of its own
};

class Child {
public:
    // stdin is a pipe kept open until the child ends: a program waiting for
    // input would never see end of file.
    Child(const std::vector<std::string>& args, const Options& o = {})
    {
        int in[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        inWrite_ = in[1];
        errRead_ = err[0];
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&fa, err[1], 2);
        if (!o.cwd.empty())
            posix_spawn_file_actions_addchdir_np(&fa, o.cwd.c_str());

        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string kv = *e;
            if (!o.env.count(kv.substr(0, kv.find('='))))
                env.push_back(kv);
        }
        for (const auto& [k, v] : o.env)
            env.push_back(k + "=" + v);
        std::vector<char*> argv, envp;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        if (o.ownGroup) {
            posix_spawnattr_setpgroup(&attr, 0);
            posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        }
        const int rc = posix_spawn(&pid_, argv[0], &fa, &attr, argv.data(), envp.data());
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&fa);
        close(in[0]);
        close(err[1]);
        if (rc != 0)
            throw std::runtime_error("spawn " + args[0]);
    }
    ~Child()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(inWrite_);
        close(errRead_);
    }
    pid_t pid() const { return pid_; }

    // Collects stderr until the child ends; kills it after the deadline.
    int wait(std::chrono::seconds deadline = 60s)
    {
        const auto end = std::chrono::steady_clock::now() + deadline;
        char buf[4096];
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{errRead_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) == 0) {
                ADD_FAILURE() << "the child did not end within the deadline";
                kill(pid_, SIGKILL);
                break;
            }
            const ssize_t n = read(errRead_, buf, sizeof buf);
            if (n <= 0)
                break;
            errors.append(buf, static_cast<std::size_t>(n));
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

    std::string errors;

private:
    pid_t pid_ = -1;
    int inWrite_ = -1, errRead_ = -1;
};

struct Result {
    int status;
    std::string errors;
    int exitCode() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
};

inline Result run(const std::vector<std::string>& args, const Options& o = {})
{
    Child c(args, o);
    const int st = c.wait();
    return {st, c.errors};
}

inline std::string readAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

inline void writeFile(const fs::path& p, const std::string& bytes,
    fs::perms perms = fs::perms::owner_read | fs::perms::owner_write)
{
    std::ofstream(p, std::ios::binary) << bytes;
    fs::permissions(p, perms);
}

// ffprobe's key=value report of one file.
inline std::map<std::string, std::string> ffprobe(const fs::path& file, const std::vector<std::string>& extra)
{
    const fs::path out = file.string() + ".probe";
    std::vector<std::string> args
        = {"/bin/sh", "-c", "exec /usr/bin/ffprobe \"$@\" > \"$0\"", out.string(), "-v", "error"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-of", "default=nw=1", file.string()});
    const Result r = run(args);
    EXPECT_EQ(r.exitCode(), 0) << r.errors;
    std::map<std::string, std::string> kv;
    std::istringstream in(readAll(out));
    for (std::string line; std::getline(in, line);)
        if (const auto eq = line.find('='); eq != std::string::npos)
            kv[line.substr(0, eq)] = line.substr(eq + 1);
    fs::remove(out);
    return kv;
}

inline std::vector<std::string> listing(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline std::vector<std::string> mp3Line(
    const std::string& src, const std::string& ss, const std::string& t, const std::string& target)
{
    return {AV_PATH, "-i", src, "-ss", ss, "-t", t, "-acodec", "mp3", "-ab", "64", "-ac", "2", target};
}

inline std::vector<std::string> amrLine(
    const std::string& src, const std::string& ss, const std::string& t, const std::string& target)
{
    return {AV_PATH, "-i", src, "-ss", ss, "-t", t, "-f", "amr", "-acodec", "amr_nb", "-ab", "32", "-ac", "1",
        "-ar", "8000", target};
}

inline std::vector<std::string> m4rLine(
    const std::string& src, const std::string& ss, const std::string& t, const std::string& target)
{
    return {AV_PATH, "-i", src, "-ss", ss, "-t", t, "-f", "ipod", "-acodec", "aac", "-ab", "128", "-ac", "2",
        "-ar", "44100", target};
}

inline std::vector<std::string> oggLine(
    const std::string& src, const std::string& ss, const std::string& t, const std::string& target)
{
    return {AV_PATH, "-i", src, "-ss", ss, "-t", t, "-f", "ogg", "-acodec", "vorbis", "-ab", "128", "-ac",
        "2", "-ar", "44100", target};
}

// The export's line for a target, chosen by its extension.
inline std::vector<std::string> lineFor(
    const std::string& src, const std::string& ss, const std::string& t, const std::string& target)
{
    const std::string ext = fs::path(target).extension().string();
    if (ext == ".amr")
        return amrLine(src, ss, t, target);
    if (ext == ".m4r")
        return m4rLine(src, ss, t, target);
    if (ext == ".ogg")
        return oggLine(src, ss, t, target);
    return mp3Line(src, ss, t, target);
}

} // namespace avtest
