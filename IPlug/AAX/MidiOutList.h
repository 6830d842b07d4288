#pragma once
#include <vector>

#include "IPlug/MidiMessage.h"

namespace iplug {

// The MIDI messages a block emits, kept in time order (messages at the same offset in the
// order they came) until the render path posts them to the host. Room is made once, at
// construction; a full list drops the newest message, so the audio thread never allocates.
class MidiOutList {
public:
  static constexpr int kInitialCapacity = 512;

  explicit MidiOutList(int capacity = kInitialCapacity) { mMessages.reserve(static_cast<size_t>(capacity)); }

  // Audio thread. False when the list is full.
  bool Add(const MidiMessage& msg) {
    if (mMessages.size() == mMessages.capacity()) return false;
    auto at = mMessages.end();
    while (at != mMessages.begin() && (at - 1)->mOffset > msg.mOffset) --at;
    mMessages.insert(at, msg);
    return true;
  }

  void Clear() { mMessages.clear(); }
  int Size() const { return static_cast<int>(mMessages.size()); }
  int Capacity() const { return static_cast<int>(mMessages.capacity()); }
  const MidiMessage* begin() const { return mMessages.data(); }
  const MidiMessage* end() const { return mMessages.data() + mMessages.size(); }

private:
  std::vector<MidiMessage> mMessages;
};

}  // namespace iplug
