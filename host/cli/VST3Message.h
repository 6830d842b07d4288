#pragma once
#include <travesty/message.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "host/cli/VST3HostObject.h"

namespace tbhost {

// The message a VST3 plug-in's component and controller send each other through their
// connection points, made by the host on the plug-in's request: an identifier and a list of
// attributes (integers, floats, texts, bytes) by name. Owned by the plug-in (freed with its
// last reference). The threads the plug-in sends messages on; one at a time per message.
struct VST3Message {
  using Value = std::variant<int64_t, double, std::vector<int16_t>, std::vector<uint8_t>>;

  struct AttributesTable : v3_funknown {
    v3_attribute_list attributes;
  };
  struct Attributes {
    static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_attribute_list_iid); }
    const AttributesTable* table = &kAttributesTable;  // first: see VST3HostObject
    std::atomic<uint32_t> refs{1};
    bool ownedByPlugin = true;
    std::map<std::string, Value> values;
  };
  struct MessageTable : v3_funknown {
    v3_message message;
  };

  static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_message_iid); }
  // A fresh object for the plug-in's create_instance: a message or an attribute list (one
  // reference, the caller's), or null for any other interface.
  static void* Create(const v3_tuid iid);

  const MessageTable* table = &kMessageTable;  // first: see VST3HostObject
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = true;
  std::string id;
  Attributes* attributes = new Attributes;  // released with the message

  ~VST3Message() { VST3HostObject<Attributes>::Unref(attributes); }

private:
  static const MessageTable kMessageTable;
  static const AttributesTable kAttributesTable;
};

}  // namespace tbhost
