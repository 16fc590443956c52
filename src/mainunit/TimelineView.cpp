#include "TimelineView.h"

#include <algorithm>

namespace TimelineView {

Window WindowFor(int64_t viewLeft, int viewWidth, int64_t total, Window current)
{
    const int width = static_cast<int>(std::clamp<int64_t>(total, 0, viewWidth + 2 * int64_t{WindowMargin}));
    if (current.Width == width && viewLeft >= current.First
        && viewLeft + viewWidth <= current.First + current.Width)
        return current;
    const int64_t first
        = std::clamp<int64_t>(viewLeft - (width - viewWidth) / 2, 0, std::max<int64_t>(total - width, 0));
    return {first, width};
}

int64_t ZoomedViewLeft(int64_t anchorMs, int anchorViewX, int newScale)
{
    return ColumnOfMs(anchorMs, newScale) - anchorViewX;
}

int64_t FollowViewLeft(int64_t cursorColumn, int64_t viewLeft, int viewWidth)
{
    if (cursorColumn >= viewLeft && cursorColumn < viewLeft + viewWidth)
        return viewLeft;
    return cursorColumn - viewWidth / 4;
}

} // namespace TimelineView
