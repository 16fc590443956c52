#pragma once
// A phone service without a daemon: it answers with a set listing and
// records what was shared. Thread-safe: the window calls it from a worker.

#include "PhoneSend.h"

#include <mutex>
#include <utility>

class FakePhones final : public TPhoneService {
public:
    explicit FakePhones(TPhoneListing listing, QString refusal = {})
        : listing_(std::move(listing))
        , refusal_(std::move(refusal))
    {
    }
    TPhoneListing Phones(int, const std::atomic<bool>&) override
    {
        std::lock_guard lock(mutex_);
        ++listed_;
        return listing_;
    }
    QString Share(const TPhone& phone, const QString& url) override
    {
        std::lock_guard lock(mutex_);
        shared_ << phone.Id + ' ' + url;
        return refusal_;
    }
    // "<id> <url>" for each share, in order.
    QStringList Shared() const
    {
        std::lock_guard lock(mutex_);
        return shared_;
    }
    int Listed() const
    {
        std::lock_guard lock(mutex_);
        return listed_;
    }

private:
    mutable std::mutex mutex_;
    TPhoneListing listing_;
    QString refusal_;
    QStringList shared_;
    int listed_ = 0;
};
