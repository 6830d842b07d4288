#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tbhost {

// Writes one JSON document, indented two spaces a level, with the commas and escapes done
// here: callers say what comes next (a key, a value, the start or end of an object or array).
// Numbers that are not finite (a silent file's loudness) are written as null.
// One thread at a time.
class JsonWriter {
public:
  explicit JsonWriter(std::ostream& out) : mOut(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next value in the current object.
  void Key(const std::string& key);

  void String(const std::string& value);
  void Number(double value);
  void Integer(int64_t value);
  void Bool(bool value);
  void Null();

  // Key and value in one call.
  template <class T>
  void Field(const std::string& key, const T& value) {
    Key(key);
    Write(value);
  }

  static std::string Escape(const std::string& text);

private:
  void Write(const std::string& v) { String(v); }
  void Write(const char* v) { String(v); }
  void Write(double v) { Number(v); }
  void Write(int v) { Integer(v); }
  void Write(int64_t v) { Integer(v); }
  void Write(bool v) { Bool(v); }

  void Open(char bracket);
  void Close(char bracket);
  // Comma and line break before a value or key, unless a key has just been written.
  void BeforeValue();
  void NewLine();

  std::ostream& mOut;
  std::vector<bool> mHasItems;  // per open level: something was written in it
  bool mAfterKey = false;
};

}  // namespace tbhost
