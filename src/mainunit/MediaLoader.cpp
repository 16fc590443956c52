#include "MediaLoader.h"

#include "MPlayer.h"
#include "StartupStamp.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

#ifndef VELUMO_INSTALL_MODULEDIR
#define VELUMO_INSTALL_MODULEDIR "/usr/libexec/velumo"
#endif

namespace {
constexpr const char* ModuleFile = "libvelumo-media.so";
}

TMediaLoader::~TMediaLoader()
{
    // A load under way ends by itself within moments; the module stays mapped
    // until the process ends.
    if (worker_.joinable())
        worker_.join();
}

std::vector<std::string> TMediaLoader::Candidates()
{
    std::vector<std::string> places;
    if (const char* chosen = std::getenv("VELUMO_MEDIA_MODULE"); chosen && *chosen)
        places.emplace_back(chosen);
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        places.push_back((program.parent_path() / ModuleFile).string());
    places.push_back(std::string(VELUMO_INSTALL_MODULEDIR) + "/" + ModuleFile);
    return places;
}

void TMediaLoader::Start()
{
    std::call_once(once_, [this] {
        started_ = true;
        worker_ = std::thread([this] { Load(); });
    });
}

void TMediaLoader::Load()
{
    const TMediaModuleEntries* entries = nullptr;
    std::string error;
    const std::vector<std::string> places = Candidates();
    for (const std::string& place : places) {
        std::error_code missing;
        if (!std::filesystem::exists(place, missing))
            continue;
        // Every symbol is bound now, on this thread, not at the first call.
        void* module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        const char* why = module ? nullptr : ::dlerror();
        using Entry = const TMediaModuleEntries* (*)();
        const auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, VELUMO_MEDIA_ENTRIES)) : nullptr;
        entries = entry ? entry() : nullptr;
        if (entries && entries->Version == TMediaModuleEntries::CurrentVersion)
            break;
        error = "The sound module " + place + " could not be loaded: "
            + (why ? std::string(why)
                   : entries ? "it is of another version of this program"
                             : std::string("it has no entry ") + VELUMO_MEDIA_ENTRIES);
        entries = nullptr;
        break;
    }
    if (!entries && error.empty()) {
        error = std::string("The sound module ") + ModuleFile + " could not be loaded: it is in none of";
        for (const std::string& place : places)
            error += " " + std::filesystem::path(place).parent_path().string();
    }
    if (entries) {
        entries->Warm();
        StampMilestone("media");
    }
    {
        const std::lock_guard lock(mutex_);
        entries_ = entries;
        error_ = error;
        finished_ = true;
    }
    done_.notify_all();
}

const TMediaModuleEntries& TMediaLoader::Entries()
{
    Start();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return finished_; });
    if (!entries_)
        throw EMCIDeviceError(error_);
    return *entries_;
}

TMediaLoader& MediaLoader()
{
    static TMediaLoader loader;
    return loader;
}
