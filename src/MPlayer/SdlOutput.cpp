#include "SdlOutput.h"

#include "AudioDecoder.h"
#include "MPlayer.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <mutex>
#include <type_traits>

namespace mplayer_detail {

static_assert(std::is_same_v<TOutputId, SDL_AudioDeviceID>);

namespace {

// SDL's audio subsystem is process-wide and opening devices is not safe from
// two threads at once: everything here runs under this lock.
std::mutex& Lock()
{
    static std::mutex m;
    return m;
}
bool g_started = false;
int g_openDevices = 0;

bool UsingDummy()
{
    const char* name = SDL_GetCurrentAudioDriver();
    return name && std::strcmp(name, "dummy") == 0;
}

void StartDummy(std::string& why)
{
    if (g_started) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_started = false;
    }
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw TDecodeError(MCIERR_CANNOT_LOAD_DRIVER,
            "Cannot start the sound output (" + why + "), nor the silent one: " + SDL_GetError());
    g_started = true;
}

void Start()
{
    if (g_started)
        return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        g_started = true;
        return;
    }
    std::string why = SDL_GetError();
    StartDummy(why);
}

} // namespace

TOutputId OpenOutput(const SDL_AudioSpec& want)
{
    std::lock_guard<std::mutex> guard(Lock());
    Start();
    SDL_AudioSpec have{};
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0 && !UsingDummy() && g_openDevices == 0) {
        // No sound card, no sound server: play silently at real-time pace.
        std::string why = SDL_GetError();
        StartDummy(why);
        id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }
    if (id == 0)
        throw TDecodeError(MCIERR_HARDWARE, std::string("Cannot open the sound output: ") + SDL_GetError());
    ++g_openDevices;
    return id;
}

void CloseOutput(TOutputId id)
{
    if (id == 0)
        return;
    std::lock_guard<std::mutex> guard(Lock());
    SDL_CloseAudioDevice(id);
    --g_openDevices;
}

std::string OutputDriver()
{
    std::lock_guard<std::mutex> guard(Lock());
    const char* name = g_started ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? name : "";
}

} // namespace mplayer_detail
