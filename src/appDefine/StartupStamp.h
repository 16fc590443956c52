#pragma once
// Start-up time stamps for the start-up benchmark. When VELUMO_STARTUP_FD
// names an open file descriptor, the program writes one line to it at each
// milestone: "<name> <CLOCK_MONOTONIC nanoseconds>". Otherwise nothing is
// watched or written.

#include <QObject>

#include <functional>

// Watches a shown top-level window: "mapped" at the window system's first
// expose of `window` (its QWindow), "painted" once the first paint of
// `widget` has been drawn and handed to the window system.
void StampStartup(QObject* widget, QObject* window);

// Runs `action` once, from the event loop, after the first paint of `widget`
// has been drawn and handed to the window system.
void AfterFirstPaint(QObject* widget, std::function<void()> action);

// Writes one milestone line now (no-op without VELUMO_STARTUP_FD).
void StampMilestone(const char* name);
