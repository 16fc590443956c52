#pragma once
// What the timeline's columns show: the loudness of the real sound (the
// default) or the decorative random walk. Plain functions, no widgets.

#include <QSettings>

#include <vector>

class TSoundEnvelope;

// The user's settings file, ~/.config/velumo/velumo.conf (XDG_CONFIG_HOME):
// the timeline choice here, the ringtone choices in Options.cpp.
QSettings UserSettings();

enum class TWaveKind { Sound, Decorative };

// The user's choice as kept in their settings; the real sound when nothing
// (or something unknown) is kept.
TWaveKind ReadWaveKind();
// Keeps the choice; throws, naming the settings file, when it cannot be written.
void KeepWaveKind(TWaveKind kind);

// Writes the half-heights of the envelope's columns `shown` .. Filled() - 1
// into `samples` (a picture `pictureHeight` pixels high) and returns the
// number of columns now shown. Columns beyond `samples` are left out.
int CopyEnvelopeColumns(
    const TSoundEnvelope& envelope, int shown, std::vector<int>& samples, int pictureHeight);
