#include "host/cli/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tbhost {

std::string JsonWriter::Escape(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;  // UTF-8 passes through: JSON text is UTF-8
        }
    }
  }
  return out + "\"";
}

void JsonWriter::NewLine() {
  mOut << '\n';
  for (size_t i = 0; i < mHasItems.size(); ++i) mOut << "  ";
}

void JsonWriter::BeforeValue() {
  if (mAfterKey) {
    mAfterKey = false;
    return;
  }
  if (mHasItems.empty()) return;
  if (mHasItems.back()) mOut << ',';
  mHasItems.back() = true;
  NewLine();
}

void JsonWriter::Key(const std::string& key) {
  BeforeValue();
  mOut << Escape(key) << ": ";
  mAfterKey = true;
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  mOut << bracket;
  mHasItems.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool hadItems = !mHasItems.empty() && mHasItems.back();
  if (!mHasItems.empty()) mHasItems.pop_back();
  if (hadItems) NewLine();
  mOut << bracket;
  if (mHasItems.empty()) mOut << '\n';
}

void JsonWriter::String(const std::string& value) {
  BeforeValue();
  mOut << Escape(value);
}

void JsonWriter::Number(double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    mOut << "null";
    return;
  }
  // The shortest text that reads back as the same double.
  char buf[32];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  mOut.write(buf, result.ptr - buf);
}

void JsonWriter::Integer(int64_t value) {
  BeforeValue();
  mOut << value;
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  mOut << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  mOut << "null";
}

}  // namespace tbhost
