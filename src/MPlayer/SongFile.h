// The analysis of a whole song file without a window: one decode through the
// device's decoder, every block handed to a TSongAnalysisSink.
#pragma once

#include "SongAnalysis.h"

#include <atomic>
#include <string>

namespace mplayer_detail {

// Throws std::runtime_error whose text names the step that failed: opening
// or decoding the file (the decoder's own messages), decoding stopped before
// the file's end, or the analysis cancelled through `cancel`.
TSongAnalysis AnalyseSongFile(const std::string& path, const std::atomic<bool>* cancel);

} // namespace mplayer_detail
