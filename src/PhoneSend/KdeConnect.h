#pragma once
// The phone service of KDE Connect's daemon, reached over D-Bus (name
// org.kde.kdeconnect on the session bus). Every call blocks its thread for a
// bounded time: use it from a worker, or from the command line.

#include "PhoneSend.h"

class TKdeConnect final : public TPhoneService {
public:
    // busAddress: a D-Bus address ("unix:path=..."); empty: the session bus.
    explicit TKdeConnect(QString busAddress = {});
    ~TKdeConnect() override;
    TKdeConnect(const TKdeConnect&) = delete;
    TKdeConnect& operator=(const TKdeConnect&) = delete;

    TPhoneListing Phones(int waitMs, const std::atomic<bool>& stop) override;
    QString Share(const TPhone& phone, const QString& url) override;

private:
    QString address_;
    QString connectionName_; // ours to close
};
