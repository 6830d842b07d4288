#pragma once
#include <filesystem>
#include <string>

namespace tbhost {

// The host keeps every path as UTF-8 text (Windows command lines are converted on entry), so
// names outside the system code page reach the files unchanged.
std::filesystem::path PathFromUtf8(const std::string& text);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace tbhost
