#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/RiffWaveParser.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
Bytes Chunk(const char* id, const Bytes& data, uint32_t declared = UINT32_MAX) {
  Bytes out(id, id + 4);
  Put32(out, declared == UINT32_MAX ? static_cast<uint32_t>(data.size()) : declared);
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2) out.push_back(0);  // pad byte
  return out;
}
Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
// 16-bit stereo PCM at 48 kHz.
Bytes Fmt() { return {1, 0, 2, 0, 0x80, 0xBB, 0, 0, 0, 0xEE, 2, 0, 4, 0, 16, 0}; }
Bytes Riff(const Bytes& content, const char* form = "WAVE") {
  Bytes body(form, form + 4);
  body.insert(body.end(), content.begin(), content.end());
  return Chunk("RIFF", body);
}

struct Case {
  const char* name;
  Bytes file;
  bool ok;
  int64_t frames;          // when ok
  const char* error;       // when not
};

// The layouts the system's multimedia functions accept, and the damaged ones they refuse.
TEST(RiffWaveParser, FindsTheChunksAsTheMultimediaFunctionsDo) {
  const Bytes samples(40, 0x11);  // 10 frames
  const Bytes odd(5, 0);
  const std::vector<Case> cases = {
      {"plain", Riff(Concat({Chunk("fmt ", Fmt()), Chunk("data", samples)})), true, 10, ""},
      {"odd chunks are padded", Riff(Concat({Chunk("JUNK", odd), Chunk("fmt ", Fmt()), Chunk("LIST", odd),
                                              Chunk("data", samples)})), true, 10, ""},
      {"a later RIFF form", Concat({Riff(Bytes(8, 0), "AVI "), Riff(Concat({Chunk("fmt ", Fmt()), Chunk("data", samples)}))}),
       true, 10, ""},
      {"data cut short by the file", Riff(Concat({Chunk("fmt ", Fmt()), Chunk("data", Bytes(22, 0), 4000)})), true, 5, ""},
      {"not RIFF", Concat({Chunk("FORM", Bytes(12, 0))}), false, 0, "not a RIFF WAVE file"},
      {"empty", Bytes{}, false, 0, "not a RIFF WAVE file"},
      {"no fmt", Riff(Chunk("data", samples)), false, 0, "no format chunk"},
      {"data before fmt", Riff(Concat({Chunk("data", samples), Chunk("fmt ", Fmt())})), false, 0, "no data chunk"},
      {"fmt runs past the file", Riff(Chunk("fmt ", Bytes(8, 1), 200)), false, 0, "truncated format chunk"},
      {"fmt too short", Riff(Concat({Chunk("fmt ", Bytes(6, 1)), Chunk("data", samples)})), false, 0, "too short"},
      {"a chunk size that points far away",
       Riff(Concat({Chunk("JUNK", odd, 0xFFFFFFF0u), Chunk("fmt ", Fmt())})), false, 0, "no format chunk"},
  };
  for (const Case& c : cases) {
    tbhost::RiffWaveLayout layout;
    std::string error;
    EXPECT_EQ(tbhost::RiffWaveParser::Parse(c.file.data(), static_cast<int64_t>(c.file.size()), layout, error), c.ok)
        << c.name << ": " << error;
    if (c.ok) {
      EXPECT_EQ(layout.frames, c.frames) << c.name;
      EXPECT_EQ(layout.format.mChannels, 2) << c.name;
      EXPECT_EQ(c.file[static_cast<size_t>(layout.dataOffset) - 8], 'd') << c.name;
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
  }
}

}  // namespace
