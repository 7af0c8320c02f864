#pragma once

// The process-wide pointer counter shared by the desktop icon, the board, the
// note headers and the preview: above 0 while the pointer is over one of them.
// It is deliberately not guarded against going negative; the auto-hide timer
// treats every value of 0 or less as "the pointer is away".
inline int HoverCount = 0;
