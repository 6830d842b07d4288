#include "IPlug/AAX/AAX_CIPlugParameters.h"

#include <cstring>
#include <exception>

#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_Callbacks.h"
#include "aax-library/AAX_IParameter.h"

namespace {

using TParamValPair = AAX_CIPlugParameters::TParamValPair;
using TNumberedStateList = AAX_CIPlugParameters::TNumberedStateList;

void FreePair(TParamValPair* pair) {
  delete pair->second;
  delete pair;
}

void FreeState(TNumberedStateList* state) {
  for (TParamValPair* pair : state->second) FreePair(pair);
  delete state;
}

// The values handed to one block, on the stack: a fixed array, so delivering them allocates
// nothing. A value beyond its capacity is reported and set aside as spent, unused.
class BlockValues {
public:
  static constexpr int64_t sCap = AAX_CIPlugParameters::kMaxValuesPerBlock;
  using SpentQueue = AAX_CAtomicQueue<TParamValPair, AAX_CIPlugParameters::kValueQueueSize>;

  void Append(const std::vector<TParamValPair*>& inOther, SpentQueue& spent) {
    AAX_ASSERT(sCap >= mSize + (int64_t)inOther.size());
    for (TParamValPair* pair : inOther) {
      AAX_ASSERT(sCap > mSize);
      if (mSize < sCap) {
        mItems[mSize++] = pair;
      } else if (spent.Push(pair) != AAX_IContainer::eStatus_Success) {
        FreePair(pair);
      }
    }
  }

  TParamValPair* const* Items() const { return mItems; }
  int64_t Size() const { return mSize; }

private:
  int64_t mSize = 0;
  TParamValPair* mItems[sCap];
};

// Whether a queued state is due in a block for which the host gave this newest state number.
// Numbers compare plainly except across the counter's wrap, when the newest is far below zero
// and the queued one far above.
bool StateIsDue(int64_t queued, int64_t newest) {
  const bool wrapped = newest < -65535 && queued > 65535;
  return queued <= newest || wrapped;
}

}  // namespace

AAX_CIPlugParameters::AAX_CIPlugParameters() = default;

AAX_CIPlugParameters::~AAX_CIPlugParameters() {
  FreeSpentStatesAndValues();
  // States the audio thread never took are freed too: nothing reads them any more.
  while (TNumberedStateList* state = mStateQueue.Pop()) FreeState(state);
}

AAX_Result AAX_CIPlugParameters::Uninitialize() {
  {
    std::lock_guard lock(mDirtyMutex);
    mDirtyParameters.clear();
  }
  return AAX_CEffectParameters::Uninitialize();
}

// ---- synchronized parameters --------------------------------------------------------------

void AAX_CIPlugParameters::AddSynchronizedParameter(const AAX_IParameter& inParameter) {
  AAX_ASSERT(inParameter.Automatable());
  mSynchronizedParameters.insert(inParameter.Identifier());
  AAX_ASSERT(kSynchronizedParameterQueueSize >= mSynchronizedParameters.size());
}

bool AAX_CIPlugParameters::IsSynchronized(AAX_CParamID id) const {
  return id && mSynchronizedParameters.find(std::string_view(id)) != mSynchronizedParameters.end();
}

AAX_Result AAX_CIPlugParameters::UpdateParameterNormalizedValue(AAX_CParamID id, double value,
                                                                AAX_EUpdateSource source) {
  const AAX_Result result = AAX_CEffectParameters::UpdateParameterNormalizedValue(id, value, source);
  if (result == AAX_SUCCESS && IsSynchronized(id)) {
    if (const AAX_IParameter* parameter = FindParameter(id)) {
      std::lock_guard lock(mDirtyMutex);
      mDirtyParameters.insert(parameter);
    }
  }
  return result;
}

AAX_Result AAX_CIPlugParameters::GenerateCoefficients() {
  if (const AAX_Result result = AAX_CEffectParameters::GenerateCoefficients(); result != AAX_SUCCESS) return result;

  const int64_t number = mStateCounter.fetch_add(1, std::memory_order_acq_rel);
  std::vector<TParamValPair*> changed;
  {
    std::lock_guard lock(mDirtyMutex);
    for (const AAX_IParameter* parameter : mDirtyParameters) {
      const AAX_IParameterValue* copy = parameter->CloneValue();
      if (copy) changed.push_back(new TParamValPair(copy->Identifier(), copy));
    }
    mDirtyParameters.clear();
  }
  if (!changed.empty()) {
    auto* numberedStateList = new TNumberedStateList(number, std::move(changed));
    const AAX_IContainer::EStatus pushResult = mStateQueue.Push(numberedStateList);
    AAX_ASSERT(AAX_IContainer::eStatus_Success == pushResult);
    if (pushResult != AAX_IContainer::eStatus_Success) FreeState(numberedStateList);
  }

  AAX_IController* controller = Controller();
  if (!controller) return AAX_ERROR_NULL_OBJECT;
  return controller->PostPacket(kIPlugAAXField_StateNumber, &number, sizeof number);
}

AAX_Result AAX_CIPlugParameters::ResetFieldData(AAX_CFieldIndex index, void* data, uint32_t size) const {
  if (index == kIPlugAAXField_PrivateData && data && size >= sizeof(AAX_SIPlugPrivateData)) {
    std::memset(data, 0, size);
    // The host asks through the const interface; the render callback needs the object itself.
    static_cast<AAX_SIPlugPrivateData*>(data)->mPlug = const_cast<AAX_CIPlugParameters*>(this);
    return AAX_SUCCESS;
  }
  return AAX_CEffectParameters::ResetFieldData(index, data, size);
}

AAX_Result AAX_CIPlugParameters::TimerWakeup() {
  FreeSpentStatesAndValues();
  return AAX_CEffectParameters::TimerWakeup();
}

void AAX_CIPlugParameters::FreeSpentStatesAndValues() {
  while (TNumberedStateList* state = mSpentStateQueue.Pop()) FreeState(state);
  while (TParamValPair* pair = mSpentValueQueue.Pop()) FreePair(pair);
}

// ---- render path --------------------------------------------------------------------------

void AAX_CIPlugParameters::RenderContext(const void* /*context*/, TParamValPair* const /*values*/[],
                                         int32_t /*count*/) {}

void AAX_CIPlugParameters::AlgorithmCallback(void* const contextsBegin[], const void* contextsEnd) {
  if (!contextsBegin || !contextsEnd) return;
  const auto* contextsLast = static_cast<void* const*>(contextsEnd);
  for (void* const* context = contextsBegin; context < contextsLast; ++context) {
    if (!*context) continue;
    const auto* privateData =
        static_cast<const AAX_SIPlugPrivateData*>(AAX_ContextField(*context, kIPlugAAXField_PrivateData));
    if (!privateData || !privateData->mPlug) continue;
    // Nothing may unwind into the host's real-time thread.
    try {
      privateData->mPlug->RenderWithStates(*context);
    } catch (...) {
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__, "render without exception");
    }
  }
}

void AAX_CIPlugParameters::RenderWithStates(const void* context) {
  int64_t newest = 0;
  bool haveNewest = false;
  if (const void* port = AAX_ContextField(context, kIPlugAAXField_StateNumber)) {
    std::memcpy(&newest, port, sizeof newest);
    haveNewest = true;
  }

  // The render thread's own list, kept between blocks so no block clears an array on the stack.
  TParamValPair** values = mBlockValues.data();
  const int32_t count = haveNewest ? TakeCurrentValues(newest, values) : 0;
  RenderContext(context, values, count);

  for (int32_t i = 0; i < count; ++i) {
    const AAX_IContainer::EStatus pushResult = mSpentValueQueue.Push(values[i]);
    AAX_ASSERT(AAX_IContainer::eStatus_Success == pushResult);
    // Only when the host's timer has not run for a long time; freeing here beats losing it.
    if (pushResult != AAX_IContainer::eStatus_Success) FreePair(values[i]);
  }
}

int32_t AAX_CIPlugParameters::TakeCurrentValues(int64_t newestState, TParamValPair* values[]) {
  TNumberedStateList* due[kStateQueueSize];
  int32_t nDue = 0;
  while (TNumberedStateList* numberedStateList = mStateQueue.Peek()) {
    if (!StateIsDue(numberedStateList->first, newestState)) break;
    TNumberedStateList* poppedPair = mStateQueue.Pop();
    AAX_ASSERT(poppedPair == numberedStateList);
    if (!poppedPair) break;
    const AAX_IContainer::EStatus pushResult =
        nDue < kStateQueueSize ? AAX_IContainer::eStatus_Success : AAX_IContainer::eStatus_Overflow;
    AAX_ASSERT(AAX_IContainer::eStatus_Success == pushResult);
    if (pushResult != AAX_IContainer::eStatus_Success) {
      FreeState(poppedPair);
      continue;
    }
    due[nDue++] = poppedPair;
  }

  BlockValues block;
  for (int32_t i = 0; i < nDue; ++i) {
    TNumberedStateList* state = due[i];
    block.Append(state->second, mSpentValueQueue);
    state->second.clear();
    const AAX_IContainer::EStatus pushResult = mSpentStateQueue.Push(state);
    AAX_ASSERT(AAX_IContainer::eStatus_Success == pushResult);
    if (pushResult != AAX_IContainer::eStatus_Success) delete state;
  }

  for (int64_t i = 0; i < block.Size(); ++i) values[i] = block.Items()[i];
  return static_cast<int32_t>(block.Size());
}
