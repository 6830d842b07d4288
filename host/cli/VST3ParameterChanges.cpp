#include "host/cli/VST3ParameterChanges.h"

#include <algorithm>

namespace tbhost {
namespace {

using Queue = VST3ParameterChanges::Queue;
using Changes = VST3ParameterChanges::Changes;

Queue& QueueOf(void* self) { return *static_cast<Queue*>(self); }
VST3ParameterChanges& OwnerOf(void* self) { return *static_cast<Changes*>(self)->owner; }

// Audio thread. Keeps the points in offset order; the newest point at an offset replaces the
// one there, and a full queue moves its last point.
v3_result AddPoint(Queue& q, int32_t offset, double value, int32_t* index) {
  if (offset < 0) return V3_INVALID_ARG;
  int32_t at = q.count;
  while (at > 0 && q.offsets[at - 1] > offset) --at;
  if (at > 0 && q.offsets[at - 1] == offset) {
    q.values[at - 1] = value;
    if (index) *index = at - 1;
    return V3_OK;
  }
  if (q.count == VST3ParameterChanges::kPointsPerQueue) {
    at = q.count - 1;
    q.offsets[at] = std::max(offset, q.offsets[at]);
    q.values[at] = value;
    if (index) *index = at;
    return V3_OK;
  }
  for (int32_t k = q.count; k > at; --k) {
    q.offsets[k] = q.offsets[k - 1];
    q.values[k] = q.values[k - 1];
  }
  q.offsets[at] = offset;
  q.values[at] = value;
  ++q.count;
  if (index) *index = at;
  return V3_OK;
}

v3_param_id V3_API GetParamId(void* self) { return QueueOf(self).id; }
int32_t V3_API GetPointCount(void* self) { return QueueOf(self).count; }
v3_result V3_API GetPoint(void* self, int32_t idx, int32_t* offset, double* value) {
  const Queue& q = QueueOf(self);
  if (idx < 0 || idx >= q.count) return V3_INVALID_ARG;
  if (offset) *offset = q.offsets[idx];
  if (value) *value = q.values[idx];
  return V3_OK;
}
v3_result V3_API AddPointCall(void* self, int32_t offset, double value, int32_t* idx) {
  return AddPoint(QueueOf(self), offset, value, idx);
}

int32_t V3_API GetParamCount(void* self) { return OwnerOf(self).Count(); }
v3_param_value_queue** V3_API GetParamData(void* self, int32_t idx) {
  return reinterpret_cast<v3_param_value_queue**>(OwnerOf(self).QueueAt(idx));
}
v3_param_value_queue** V3_API AddParamData(void* self, v3_param_id* id, int32_t* index) {
  if (!id) return nullptr;
  return reinterpret_cast<v3_param_value_queue**>(OwnerOf(self).QueueFor(*id, index));
}

}  // namespace

const VST3ParameterChanges::ChangesTable VST3ParameterChanges::kChangesTable{
    VST3HostObject<Changes>::kUnknown, {&GetParamCount, &GetParamData, &AddParamData}};
const VST3ParameterChanges::QueueTable VST3ParameterChanges::kQueueTable{
    VST3HostObject<Queue>::kUnknown, {&GetParamId, &GetPointCount, &GetPoint, &AddPointCall}};

VST3ParameterChanges::VST3ParameterChanges(int maxQueues)
    : mQueues(new Queue[static_cast<size_t>(maxQueues > 0 ? maxQueues : 1)]), mCapacity(maxQueues > 0 ? maxQueues : 1) {
  mChanges.table = &kChangesTable;
  mChanges.owner = this;
  for (int k = 0; k < mCapacity; ++k) mQueues[static_cast<size_t>(k)].table = &kQueueTable;
}

VST3ParameterChanges::Queue* VST3ParameterChanges::QueueFor(v3_param_id id, int32_t* index) {
  for (int k = 0; k < mUsed; ++k) {
    if (mQueues[static_cast<size_t>(k)].id != id) continue;
    if (index) *index = k;
    return &mQueues[static_cast<size_t>(k)];
  }
  if (mUsed == mCapacity) return nullptr;
  Queue& q = mQueues[static_cast<size_t>(mUsed)];
  q.id = id;
  q.count = 0;
  if (index) *index = mUsed;
  ++mUsed;
  return &q;
}

bool VST3ParameterChanges::Add(v3_param_id id, int32_t offset, double value) {
  Queue* q = QueueFor(id, nullptr);
  return q && AddPoint(*q, offset, value, nullptr) == V3_OK;
}

}  // namespace tbhost
