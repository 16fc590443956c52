#pragma once
// Root reads and searches every folder whatever its mode. While a
// TWithoutFileOverride lives, the calling thread, and the threads it starts,
// lose that override (not their user), so a folder of mode 000 stops them as
// it stops any user. For anyone else it changes nothing.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class TWithoutFileOverride {
public:
    TWithoutFileOverride()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        lowered_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~TWithoutFileOverride()
    {
        if (lowered_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    TWithoutFileOverride(const TWithoutFileOverride&) = delete;
    TWithoutFileOverride& operator=(const TWithoutFileOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};
