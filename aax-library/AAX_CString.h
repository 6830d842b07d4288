#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "aax-library/AAX_IString.h"

// The library's text: an AAX_IString over std::string.
class AAX_CString : public AAX_IString {
public:
  static constexpr uint32_t kMaxStringLength = 65535;

  AAX_CString() = default;
  AAX_CString(const char* text) { Set(text); }  // NOLINT: texts convert freely
  AAX_CString(std::string_view text) : mString(text.substr(0, kMaxStringLength)) {}
  AAX_CString(const AAX_IString& other) { Set(other.Get()); }
  AAX_CString(const AAX_CString& other) = default;
  AAX_CString& operator=(const AAX_CString& other) = default;
  AAX_CString& operator=(const char* text) { Set(text); return *this; }

  uint32_t Length() const override { return static_cast<uint32_t>(mString.size()); }
  uint32_t MaxLength() const override { return kMaxStringLength; }
  const char* Get() const override { return mString.c_str(); }
  void Set(const char* text) override;

  const std::string& StdString() const { return mString; }
  std::string& StdString() { return mString; }
  bool Empty() const { return mString.empty(); }
  void Clear() { mString.clear(); }
  void Append(std::string_view text);
  void Erase(uint32_t position, uint32_t count);
  AAX_CString SubString(uint32_t position, uint32_t count) const;
  bool EndsWith(std::string_view ending) const;

  bool operator==(const AAX_CString& other) const { return mString == other.mString; }
  bool operator==(const char* other) const { return other && mString == other; }
  bool operator<(const AAX_CString& other) const { return mString < other.mString; }

private:
  std::string mString;
};
