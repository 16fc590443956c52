// Where the chorus finder suggests a ringtone: a plain result that the
// window reads without linking the analysis.
#pragma once

namespace music {

struct TChorusSuggestion {
    double StartSeconds = 0; // on a beat; a bar start when one is near
    double EndSeconds = 0; // StartSeconds + the length, cut at the song's end
    // True: the start is that of a repeated section (the chorus). False:
    // nothing repeats, and the suggestion is the loudest stretch instead.
    bool Repeated = false;
};

} // namespace music
