#include "host/cli/WholeFile.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "host/cli/TempOutputFile.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {

bool WholeFile::Read(const std::string& path, const std::string& what, uint64_t maxSize, std::vector<uint8_t>& bytes,
                     std::string& error) {
  std::error_code ec;
  const auto file = PathFromUtf8(path);
  if (!std::filesystem::is_regular_file(file, ec)) {
    error = what + " " + path + " cannot be read: " + (std::filesystem::exists(file, ec) ? "not a file" : "no such file");
    return false;
  }
  const uint64_t size = std::filesystem::file_size(file, ec);
  if (ec || size > maxSize) {
    error = what + " " + path + (ec ? " cannot be read" : " is far too large to be a plug-in " + what);
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    error = what + " " + path + " cannot be read";
    return false;
  }
  bytes = std::move(read);
  return true;
}

bool WholeFile::Write(const std::string& path, const uint8_t* data, size_t size, std::string& error) {
  TempOutputFile temp(path);
  {
    std::ofstream out(PathFromUtf8(temp.Path()), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
      error = "cannot write " + path;
      return false;
    }
  }
  return temp.Commit(error);
}

}  // namespace tbhost
