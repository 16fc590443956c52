// Internal to the playback device: process-wide access to SDL's audio output.
#pragma once

#include <cstdint>
#include <string>

struct SDL_AudioSpec;

namespace mplayer_detail {

// An SDL audio device (SDL_AudioDeviceID); 0 is none.
using TOutputId = uint32_t;

// Opens an output device with exactly the format of `want` (SDL converts to
// whatever the sound device takes). SDL's audio subsystem is started on first
// use, honouring SDL_AUDIODRIVER; when no device can be opened the silent
// "dummy" driver takes over. Throws TDecodeError naming the failed step.
TOutputId OpenOutput(const SDL_AudioSpec& want);
void CloseOutput(TOutputId id);

// Name of the SDL audio driver in use, empty before the first OpenOutput.
std::string OutputDriver();

} // namespace mplayer_detail
