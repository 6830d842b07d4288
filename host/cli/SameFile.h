#pragma once
#include <string>

namespace tbhost {

// True when two UTF-8 names lead to one file however they are spelt: "..", ".", symbolic
// links (of the file or of a folder on its way) and hard links of one file all count. Names
// that do not exist (yet) are compared as absolute paths with links resolved as far as they
// exist.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace tbhost
