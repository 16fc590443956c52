#pragma once
// Finds and loads the sound module (libvelumo-media.so) on a thread of its
// own. The window starts it when the user starts to open a file (Open
// clicked, a drag entering, a song on the command line), so the media
// libraries load while the user picks the file and an idle window holds
// none of them. Looked
// for at $VELUMO_MEDIA_MODULE (a full path), then beside the program, then in
// the installed program folder.

#include "MediaModuleApi.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TMediaLoader {
public:
    ~TMediaLoader();

    // Begins loading in the background and returns at once; only the first
    // call does anything.
    void Start();
    // Whether Start (or Entries) has been called.
    bool Started() const { return started_.load(); }
    // The module's entries, once loaded (starting the load if nobody has):
    // waits for it. Throws EMCIDeviceError naming the module and why it could
    // not be loaded; every later call gives the same answer.
    const TMediaModuleEntries& Entries();
    // The places looked at, in order.
    static std::vector<std::string> Candidates();

private:
    void Load();

    std::once_flag once_;
    std::atomic<bool> started_ = false;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false; // guarded by mutex_
    const TMediaModuleEntries* entries_ = nullptr;
    std::string error_;
};

// The program's one loader.
TMediaLoader& MediaLoader();
