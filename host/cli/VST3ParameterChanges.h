#pragma once
#include <travesty/audio_processor.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "host/cli/VST3HostObject.h"

namespace tbhost {

// The parameter changes of one process call, in either direction: a queue per parameter, each
// holding points (frame offset in the block, normalised value) in offset order. Made with a
// fixed capacity (queues and points per queue); filling it in or reading it never allocates,
// so the plug-in may write into it on the audio thread. A queue that is full keeps its last
// point moving: the newest value wins at the latest offset.
//
// Owned by the host; used by one thread at a time (the one that calls process, or the host
// thread that fills it in before).
class VST3ParameterChanges {
public:
  static constexpr int kPointsPerQueue = 16;

  struct ChangesTable : v3_funknown {
    v3_param_changes changes;
  };
  struct QueueTable : v3_funknown {
    v3_param_value_queue queue;
  };
  struct Queue {
    static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_param_value_queue_iid); }
    const QueueTable* table = nullptr;  // first: see VST3HostObject
    std::atomic<uint32_t> refs{1};
    bool ownedByPlugin = false;
    v3_param_id id = 0;
    int32_t count = 0;
    int32_t offsets[kPointsPerQueue] = {};
    double values[kPointsPerQueue] = {};
  };
  struct Changes {
    static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_param_changes_iid); }
    const ChangesTable* table = nullptr;  // first: see VST3HostObject
    std::atomic<uint32_t> refs{1};
    bool ownedByPlugin = false;
    VST3ParameterChanges* owner = nullptr;
  };

  // Allocates room for `maxQueues` parameters.
  explicit VST3ParameterChanges(int maxQueues);
  VST3ParameterChanges(const VST3ParameterChanges&) = delete;
  VST3ParameterChanges& operator=(const VST3ParameterChanges&) = delete;

  v3_param_changes** Interface() { return reinterpret_cast<v3_param_changes**>(&mChanges); }
  // Empties every queue.
  void Clear() { mUsed = 0; }
  bool Empty() const { return mUsed == 0; }
  // Adds a point for `id` at `offset` (replacing one at the same offset); false when there is
  // no room for another parameter.
  bool Add(v3_param_id id, int32_t offset, double value);
  int Count() const { return mUsed; }
  const Queue& At(int index) const { return mQueues[static_cast<size_t>(index)]; }
  // The queue of `id`, made if need be; null when there is no room.
  Queue* QueueFor(v3_param_id id, int32_t* index);
  Queue* QueueAt(int index) { return index >= 0 && index < mUsed ? &mQueues[static_cast<size_t>(index)] : nullptr; }

private:
  static const ChangesTable kChangesTable;
  static const QueueTable kQueueTable;

  Changes mChanges;
  std::unique_ptr<Queue[]> mQueues;
  int mCapacity = 0;
  int mUsed = 0;
};

}  // namespace tbhost
