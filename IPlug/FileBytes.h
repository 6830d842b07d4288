#pragma once
#include <cstdint>
#include <vector>

namespace iplug {

// Whole-file reads and writes for the framework's preset files. Paths are UTF-8 (opened
// through the wide-character calls on Windows, so any name reaches the file). Main thread.
class FileBytes {
public:
  // False for a null or empty path, a file that cannot be read, or one larger than maxSize
  // (which is refused before anything is read).
  static bool Read(const char* path, int maxSize, std::vector<uint8_t>& out);

  // Writes the bytes under a temporary name beside the file and renames it into place, so a
  // failed write leaves neither a partial file nor a damaged old one.
  static bool WriteReplacing(const char* path, const void* data, int size);

  // Appends text at the end of the file, creating it when needed.
  static bool AppendText(const char* path, const char* text);
};

}  // namespace iplug
