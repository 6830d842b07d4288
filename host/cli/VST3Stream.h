#pragma once
#include <travesty/bstream.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "host/cli/VST3HostObject.h"

namespace tbhost {

// A stream of bytes held by the host, as a VST3 plug-in reads its state from and writes it
// into: reads stop at the end, writes grow it, seeks stay within it. The host owns it and
// hands it to one call at a time. The owning thread.
struct VST3Stream {
  struct Table : v3_funknown {
    v3_bstream stream;
  };

  VST3Stream() = default;
  explicit VST3Stream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
  VST3Stream(const VST3Stream&) = delete;
  VST3Stream& operator=(const VST3Stream&) = delete;

  v3_bstream** Interface() { return reinterpret_cast<v3_bstream**>(this); }
  static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_bstream_iid); }

  const Table* table = &kTable;  // first: see VST3HostObject
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = false;
  std::vector<uint8_t> data;
  int64_t position = 0;

private:
  static const Table kTable;
};

}  // namespace tbhost
