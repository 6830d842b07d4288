#include "IPlug/TraceTimestamp.h"

#include <cstdlib>

namespace iplug {

int UtcOffsetMinutes(const std::tm& local, const std::tm& utc) {
  constexpr int kMinutesPerDay = 24 * 60;
  int offset = (local.tm_hour * 60 + local.tm_min) - (utc.tm_hour * 60 + utc.tm_min);
  const int dayDiff = local.tm_yday - utc.tm_yday;
  if (dayDiff == 1 || dayDiff == -1)
    offset += dayDiff * kMinutesPerDay;
  else if (dayDiff > 1)  // local still in the old year, UTC already in the new one
    offset -= kMinutesPerDay;
  else if (dayDiff < -1)  // local already in the new year
    offset += kMinutesPerDay;
  return offset;
}

void FormatTraceTimestamp(TextBuffer& out, const std::tm& local, const std::tm& utc) {
  char date[32];
  if (std::strftime(date, sizeof date, "%Y%m%d %H:%M ", &local) == 0) date[0] = '\0';
  const int offset = UtcOffsetMinutes(local, utc);
  const int magnitude = std::abs(offset);
  out.SetFormatted(64, "%s%c%02d%02d", date, offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
}

void CurrentTraceTimestamp(TextBuffer& out) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  std::tm utc{};
#ifdef _WIN32
  localtime_s(&local, &now);
  gmtime_s(&utc, &now);
#else
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
#endif
  FormatTraceTimestamp(out, local, utc);
}

}  // namespace iplug
