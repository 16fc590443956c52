// The transport rules take the device's mode as a plain number so that they
// build without the device; the window hands them TMediaPlayer::Mode() as it
// is. These checks keep the two lists of values one.

#include "MPlayer.h"
#include "TransportRules.h"

static_assert(Transport::NotReady == TMediaPlayer::mpNotReady);
static_assert(Transport::Stopped == TMediaPlayer::mpStopped);
static_assert(Transport::Playing == TMediaPlayer::mpPlaying);
static_assert(Transport::Recording == TMediaPlayer::mpRecording);
static_assert(Transport::Seeking == TMediaPlayer::mpSeeking);
static_assert(Transport::Paused == TMediaPlayer::mpPaused);
static_assert(Transport::Open == TMediaPlayer::mpOpen);
