#pragma once
#include <ctime>

#include "IPlug/TextBuffer.h"

namespace iplug {

// Minutes by which local time is ahead of UTC, from the two broken-down times of one
// instant. Across midnight the day of the year differs by one; across New Year it jumps
// by a whole year, which still means one day.
int UtcOffsetMinutes(const std::tm& local, const std::tm& utc);

// "YYYYmmdd HH:MM +hhmm": the local time and its offset from UTC, for trace lines.
void FormatTraceTimestamp(TextBuffer& out, const std::tm& local, const std::tm& utc);

// The same for the current time.
void CurrentTraceTimestamp(TextBuffer& out);

}  // namespace iplug
