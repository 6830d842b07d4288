#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "aax-library/AAX_CMutex.h"
#include "aax-library/AAX_Types.h"

class AAX_IController;
class AAX_IEffectParameters;

// One packet bound to a context field: the bytes a handler produced for it.
class AAX_CPacket {
public:
  explicit AAX_CPacket(AAX_CFieldIndex fieldIndex) : mFieldIndex(fieldIndex) {}
  AAX_CFieldIndex FieldIndex() const { return mFieldIndex; }
  template <typename T>
  void Set(const T& value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    mData.assign(bytes, bytes + sizeof(T));
  }
  void SetBytes(const void* data, uint32_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    mData.assign(bytes, bytes + size);
  }
  const unsigned char* Data() const { return mData.data(); }
  uint32_t Size() const { return static_cast<uint32_t>(mData.size()); }

private:
  AAX_CFieldIndex mFieldIndex;
  std::vector<unsigned char> mData;
};

// Turns parameter changes into packets for context fields: a parameter registered with a
// field and a handler is marked dirty when it changes, and Dispatch lets the handler fill the
// packet and posts it through the controller. Guarded by its mutex (host non-real-time threads).
class AAX_CPacketDispatcher {
public:
  using Handler = std::function<AAX_Result(AAX_CParamID, AAX_CPacket&)>;

  AAX_CPacketDispatcher() = default;
  AAX_CPacketDispatcher(const AAX_CPacketDispatcher&) = delete;
  AAX_CPacketDispatcher& operator=(const AAX_CPacketDispatcher&) = delete;

  void Initialize(AAX_IController* controller, AAX_IEffectParameters* owner);
  AAX_Result RegisterPacket(AAX_CParamID identifier, AAX_CFieldIndex fieldIndex, Handler handler);
  // Marks the packets of a parameter; unknown identifiers are fine (nothing to post).
  AAX_Result SetDirty(AAX_CParamID identifier, bool dirty = true);
  // Posts every dirty packet; the first failing result is returned after all were tried.
  AAX_Result Dispatch();

  AAX_IEffectParameters* Owner() const { return mOwner; }

private:
  struct Entry {
    AAX_CPacket packet;
    Handler handler;
    bool dirty = false;
  };

  std::multimap<std::string, Entry, std::less<>> mPackets;
  AAX_IController* mController = nullptr;
  AAX_IEffectParameters* mOwner = nullptr;
  AAX_CMutex mLock;
};
