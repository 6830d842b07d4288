#include "host/aax/CallLog.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace aaxhost {

std::string Call::ToString() const {
  std::string text = object + " " + name + "(";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i) text += ", ";
    text += args[i];
  }
  return text + ")";
}

void CallLog::Add(Call call) {
  std::lock_guard lock(mMutex);
  mCalls.push_back(std::move(call));
}

std::vector<Call> CallLog::Calls() const {
  std::lock_guard lock(mMutex);
  return mCalls;
}

std::vector<Call> CallLog::CallsOf(const std::string& object) const {
  std::lock_guard lock(mMutex);
  std::vector<Call> result;
  for (const Call& call : mCalls) {
    if (call.object == object) result.push_back(call);
  }
  return result;
}

std::vector<Call> CallLog::CallsNamed(const std::string& name) const {
  std::lock_guard lock(mMutex);
  std::vector<Call> result;
  for (const Call& call : mCalls) {
    if (call.name == name) result.push_back(call);
  }
  return result;
}

std::size_t CallLog::Count(const std::string& name) const { return CallsNamed(name).size(); }

std::size_t CallLog::Size() const {
  std::lock_guard lock(mMutex);
  return mCalls.size();
}

void CallLog::Clear() {
  std::lock_guard lock(mMutex);
  mCalls.clear();
}

std::string CallLog::ToString() const {
  std::string text;
  for (const Call& call : Calls()) text += call.ToString() + "\n";
  return text;
}

std::string Text(const char* text) { return text ? std::string(text) : std::string("(null)"); }

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string FourCC(uint32_t code) {
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((code >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return Hex(code);
    text += c;
  }
  return text + "'";
}

std::string Number(double value) {
  char text[40];
  for (int precision = 6; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

}  // namespace aaxhost
