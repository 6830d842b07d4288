#include "aax-library/AAX_CString.h"

#include <cstring>

void AAX_CString::Set(const char* text) {
  if (!text) {
    mString.clear();
    return;
  }
  mString.assign(text, strnlen(text, kMaxStringLength));
}

void AAX_CString::Append(std::string_view text) {
  const std::size_t room = kMaxStringLength - mString.size();
  mString.append(text.substr(0, room));
}

void AAX_CString::Erase(uint32_t position, uint32_t count) {
  if (position >= mString.size()) return;
  mString.erase(position, count);
}

AAX_CString AAX_CString::SubString(uint32_t position, uint32_t count) const {
  if (position >= mString.size()) return AAX_CString();
  return AAX_CString(std::string_view(mString).substr(position, count));
}

bool AAX_CString::EndsWith(std::string_view ending) const {
  return mString.size() >= ending.size() &&
         std::string_view(mString).substr(mString.size() - ending.size()) == ending;
}
