#include "host/cli/ProgressBar.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tbhost {
namespace {

constexpr int kWidth = 40;
constexpr auto kDelay = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(100);

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, bool enabled, std::string label)
: mStream(stream), mEnabled(enabled && stream), mLabel(std::move(label)), mStart(Clock::now()), mLastDraw(mStart) {}

bool ProgressBar::IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  return stream && _isatty(_fileno(stream));
#else
  return stream && isatty(fileno(stream));
#endif
}

void ProgressBar::Update(int64_t done, int64_t total) {
  if (!mEnabled || total <= 0) return;
  const auto now = Clock::now();
  if (now - mStart < kDelay || (mShown && now - mLastDraw < kRedraw)) return;
  mLastDraw = now;
  Draw(std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0));
}

void ProgressBar::Finish(bool completed) {
  if (!mShown) return;
  if (completed) Draw(1.0);
  std::fputc('\n', mStream);
  std::fflush(mStream);
  mShown = false;
  mEnabled = false;
}

void ProgressBar::Draw(double fraction) {
  const int filled = static_cast<int>(fraction * kWidth);
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kWidth - filled), '-');
  const double seconds = std::chrono::duration<double>(Clock::now() - mStart).count();
  std::fprintf(mStream, "\r%s [%s] %3d%%  %.1f s", mLabel.c_str(), bar.c_str(), static_cast<int>(fraction * 100.0),
               seconds);
  std::fflush(mStream);
  mShown = true;
}

}  // namespace tbhost
