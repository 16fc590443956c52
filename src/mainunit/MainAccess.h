#pragma once
// The main window for screen-reader and keyboard users: every control named,
// the timeline a focusable control whose value is read out, a Tab order, and
// a frame round the control that has the keyboard focus.

#include <QString>

#include <cstdint>

class TMainForm;

// Called once, by the window's constructor.
void InstallAccessibility(TMainForm& form);

// What a screen reader reads as the timeline's value; whole seconds.
QString TimelineValueText(int startSeconds, int endSeconds, int cursorSeconds);
// The same from times in ms, read as the position labels show them (a whole
// second as above, any other with its hundredths).
QString TimelineValueTextMs(int64_t startMs, int64_t endMs, int64_t cursorMs);
