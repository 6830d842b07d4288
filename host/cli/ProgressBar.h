#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tbhost {

// A one-line progress bar on a terminal. It appears only once the work has taken a second
// (short renders stay quiet) and only when the stream is a terminal.
// Main thread.
class ProgressBar {
public:
  ProgressBar(std::FILE* stream, bool enabled, std::string label);
  ~ProgressBar() { Finish(false); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Update(int64_t done, int64_t total);
  // The text before the bar, from the next drawing on ("render 3/8").
  void SetLabel(std::string label) { mLabel = std::move(label); }
  // Ends the line if the bar was shown, drawn full when the work was completed.
  void Finish(bool completed = true);

  static bool IsTerminal(std::FILE* stream);

private:
  using Clock = std::chrono::steady_clock;
  void Draw(double fraction);

  std::FILE* mStream;
  bool mEnabled;
  std::string mLabel;
  Clock::time_point mStart;
  Clock::time_point mLastDraw;
  bool mShown = false;
};

}  // namespace tbhost
