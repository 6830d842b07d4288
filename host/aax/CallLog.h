#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace aaxhost {

// One call a module made on a host object: which object, which operation, its arguments as
// text (integers in decimal, texts as given, null texts as "(null)").
struct Call {
  std::string object;  // e.g. "collection#1", "component#2"
  std::string name;    // e.g. "AddProperty"
  std::vector<std::string> args;

  std::string ToString() const;  // "component#2 AddProperty(116, 1)"
  bool Is(const std::string& callName, const std::vector<std::string>& callArgs) const {
    return name == callName && args == callArgs;
  }
};

// Every call on every host object, in the order made. Any thread.
class CallLog {
public:
  void Add(Call call);
  std::vector<Call> Calls() const;
  std::vector<Call> CallsOf(const std::string& object) const;
  std::vector<Call> CallsNamed(const std::string& name) const;
  std::size_t Count(const std::string& name) const;
  std::size_t Size() const;
  void Clear();
  std::string ToString() const;  // one call per line

private:
  mutable std::mutex mMutex;
  std::vector<Call> mCalls;
};

// Argument formatting shared by the recording objects.
std::string Text(const char* text);
std::string Hex(uint32_t value);     // "0x0000FFFF"
std::string FourCC(uint32_t code);   // "'TLK1'" when printable, else Hex
std::string Number(double value);    // shortest text that reads back the same double

}  // namespace aaxhost
