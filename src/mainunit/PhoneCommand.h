#pragma once
// The worker of one step of sending to a phone: it runs the step on a thread
// of its own and hands the result to the window's thread by a queued call,
// which is dropped when the window is gone. The window never waits for it,
// except when it closes: the destructor stops the wait and joins.

#include <atomic>
#include <functional>
#include <thread>

class TPhoneSendJob {
public:
    // step runs on the worker; stop is set once the window no longer wants
    // its result.
    explicit TPhoneSendJob(std::function<void(const std::atomic<bool>& stop)> step);
    ~TPhoneSendJob();
    TPhoneSendJob(const TPhoneSendJob&) = delete;
    TPhoneSendJob& operator=(const TPhoneSendJob&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
