#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tbhost {

// Small files the host reads and writes whole: saved states, programs and banks. Paths are
// UTF-8. Main thread.
class WholeFile {
public:
  // `what` names the file in messages: "<what> PATH cannot be read: no such file". A file
  // larger than maxSize is refused before it is read.
  static bool Read(const std::string& path, const std::string& what, uint64_t maxSize, std::vector<uint8_t>& bytes,
                   std::string& error);
  // Writes under a temporary name and renames into place when complete: a failed write
  // leaves no file, and an existing one is kept until the new one is whole.
  static bool Write(const std::string& path, const uint8_t* data, size_t size, std::string& error);
};

}  // namespace tbhost
