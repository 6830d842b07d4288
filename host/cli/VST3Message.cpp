#include "host/cli/VST3Message.h"

#include <algorithm>
#include <cstring>

namespace tbhost {
namespace {

using Attributes = VST3Message::Attributes;

Attributes& Of(void* self) { return *static_cast<Attributes*>(self); }

template <typename T>
v3_result Set(void* self, const char* id, T value) {
  if (!id) return V3_INVALID_ARG;
  Of(self).values[id] = std::move(value);
  return V3_OK;
}

template <typename T>
const T* Find(void* self, const char* id) {
  if (!id) return nullptr;
  const auto it = Of(self).values.find(id);
  return it == Of(self).values.end() ? nullptr : std::get_if<T>(&it->second);
}

v3_result V3_API SetInt(void* self, const char* id, int64_t value) { return Set(self, id, value); }
v3_result V3_API GetInt(void* self, const char* id, int64_t* value) {
  const int64_t* found = Find<int64_t>(self, id);
  if (!found || !value) return V3_FALSE;
  *value = *found;
  return V3_OK;
}
v3_result V3_API SetFloat(void* self, const char* id, double value) { return Set(self, id, value); }
v3_result V3_API GetFloat(void* self, const char* id, double* value) {
  const double* found = Find<double>(self, id);
  if (!found || !value) return V3_FALSE;
  *value = *found;
  return V3_OK;
}
v3_result V3_API SetString(void* self, const char* id, const int16_t* text) {
  if (!text) return V3_INVALID_ARG;
  size_t n = 0;
  while (text[n] != 0) ++n;
  return Set(self, id, std::vector<int16_t>(text, text + n + 1));
}
// `size` is in bytes, as the plug-in's buffer is; the text is cut short to fit, zero-ended.
v3_result V3_API GetString(void* self, const char* id, int16_t* text, uint32_t size) {
  const auto* found = Find<std::vector<int16_t>>(self, id);
  const size_t units = size / sizeof(int16_t);
  if (!found || !text || units == 0) return V3_FALSE;
  const size_t n = std::min(units, found->size());
  std::memcpy(text, found->data(), n * sizeof(int16_t));
  text[n - 1] = 0;
  return V3_OK;
}
v3_result V3_API SetBinary(void* self, const char* id, const void* data, uint32_t size) {
  if (!data && size > 0) return V3_INVALID_ARG;
  const auto* bytes = static_cast<const uint8_t*>(data);
  return Set(self, id, std::vector<uint8_t>(bytes, bytes + size));
}
v3_result V3_API GetBinary(void* self, const char* id, const void** data, uint32_t* size) {
  const auto* found = Find<std::vector<uint8_t>>(self, id);
  if (!found || !data || !size) return V3_FALSE;
  *data = found->data();
  *size = static_cast<uint32_t>(found->size());
  return V3_OK;
}

VST3Message& MessageOf(void* self) { return *static_cast<VST3Message*>(self); }
const char* V3_API GetMessageId(void* self) { return MessageOf(self).id.c_str(); }
void V3_API SetMessageId(void* self, const char* id) { MessageOf(self).id = id ? id : ""; }
v3_attribute_list** V3_API GetAttributes(void* self) {
  // The plug-in borrows the list; it goes with the message.
  return reinterpret_cast<v3_attribute_list**>(MessageOf(self).attributes);
}

}  // namespace

const VST3Message::AttributesTable VST3Message::kAttributesTable{
    VST3HostObject<Attributes>::kUnknown,
    {&SetInt, &GetInt, &SetFloat, &GetFloat, &SetString, &GetString, &SetBinary, &GetBinary}};
const VST3Message::MessageTable VST3Message::kMessageTable{VST3HostObject<VST3Message>::kUnknown,
                                                           {&GetMessageId, &SetMessageId, &GetAttributes}};

void* VST3Message::Create(const v3_tuid iid) {
  if (v3_tuid_match(iid, v3_message_iid)) return new VST3Message;
  if (v3_tuid_match(iid, v3_attribute_list_iid)) return new Attributes;
  return nullptr;
}

}  // namespace tbhost
