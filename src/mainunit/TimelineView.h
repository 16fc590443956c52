#pragma once
// Which part of a zoomed-in timeline is drawn and where the view goes:
// decided from columns alone, without a window. A zoomed timeline is never
// drawn whole (an hour at 250 columns a second is 900 000 columns): only a
// window of it round the visible part.

#include "TimelineScale.h"

#include <cstdint>

namespace TimelineView {

// Columns drawn either side of the visible part.
inline constexpr int WindowMargin = 480;

// The drawn window, in timeline columns.
struct Window {
    int64_t First = 0;
    int Width = 0;
    friend bool operator==(const Window&, const Window&) = default;
};

// The window for a view of viewWidth columns from viewLeft on, over a
// timeline of `total` columns: the current one while it still holds the
// whole view, else a new one centred on the view (and kept inside the
// timeline).
Window WindowFor(int64_t viewLeft, int viewWidth, int64_t total, Window current);

// The view's left column after a zoom that keeps the time anchorMs at
// anchorViewX columns from the view's left edge, at the new scale.
int64_t ZoomedViewLeft(int64_t anchorMs, int anchorViewX, int newScale);

// Where the view goes to keep a playing cursor in sight: nowhere while the
// cursor is inside it; else the cursor a quarter of the view from its left.
int64_t FollowViewLeft(int64_t cursorColumn, int64_t viewLeft, int viewWidth);

} // namespace TimelineView
