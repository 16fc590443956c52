#include "StartupStamp.h"

#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

int StampFd()
{
    static const int fd = [] {
        bool ok = false;
        const int value = qEnvironmentVariableIntValue("VELUMO_STARTUP_FD", &ok);
        return ok && value > 2 ? value : -1;
    }();
    return fd;
}

// Stamps "mapped" at the first expose of a window.
class TExposeFilter final : public QObject {
public:
    explicit TExposeFilter(QObject* window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose) {
            StampMilestone("mapped");
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

class TFirstPaintFilter final : public QObject {
public:
    TFirstPaintFilter(QObject* widget, std::function<void()> action)
        : QObject(widget)
        , action_(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The whole window is painted and flushed within this event; the
            // action runs when the loop is free again.
            QTimer::singleShot(0, this, [this] {
                action_();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

void StampMilestone(const char* name)
{
    const int fd = StampFd();
    if (fd < 0)
        return;
    timespec now { };
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    char line[96];
    const int length = std::snprintf(
        line, sizeof line, "%s %lld\n", name, static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (length > 0 && ::write(fd, line, static_cast<size_t>(length)) < 0) {
        // The benchmark has gone; nothing to tell.
    }
}

void AfterFirstPaint(QObject* widget, std::function<void()> action)
{
    if (widget)
        new TFirstPaintFilter(widget, std::move(action));
}

void StampStartup(QObject* widget, QObject* window)
{
    if (StampFd() < 0)
        return;
    if (window)
        new TExposeFilter(window);
    AfterFirstPaint(widget, [] { StampMilestone("painted"); });
}
