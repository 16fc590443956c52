#pragma once
// The timeline's scale, the one definition read by the renderer, its ruler, the
// keys and the transport rules: a column is 200 ms of the song.

inline constexpr int ColumnsPerSecond = 5;
