#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "host/cli/VST3Message.h"
#include "host/cli/VST3ParameterChanges.h"
#include "host/cli/VST3RunLoop.h"
#include "host/cli/VST3Stream.h"
#include "host/cli/VST3Text.h"
#include "host/TestFiles.h"

#ifndef _WIN32
#include <unistd.h>
#endif

// The objects the host hands to a VST3 plug-in, called through their tables as a plug-in calls
// them.
namespace {

using namespace tbhost;

TEST(VST3Stream, ReadsStopAtTheEndAndSeeksStayWithin) {
  VST3Stream s(std::vector<uint8_t>{1, 2, 3, 4, 5});
  v3_bstream** i = s.Interface();
  auto* t = v3_cpp_obj(i);
  uint8_t buf[8] = {};
  int32_t got = -1;
  ASSERT_EQ(t->read(i, buf, 3, &got), V3_OK);
  EXPECT_EQ(got, 3);
  ASSERT_EQ(t->read(i, buf, 8, &got), V3_OK);
  EXPECT_EQ(got, 2) << "only what is left";
  EXPECT_EQ(buf[0], 4);
  ASSERT_EQ(t->read(i, buf, 8, &got), V3_OK);
  EXPECT_EQ(got, 0);
  int64_t at = -1;
  EXPECT_NE(t->seek(i, 6, V3_SEEK_SET, &at), V3_OK) << "past the end";
  EXPECT_NE(t->seek(i, -1, V3_SEEK_SET, &at), V3_OK);
  EXPECT_NE(t->seek(i, 0, 7, &at), V3_OK) << "no such mode";
  ASSERT_EQ(t->seek(i, -2, V3_SEEK_END, &at), V3_OK);
  EXPECT_EQ(at, 3);
  uint8_t more[3] = {9, 9, 9};
  ASSERT_EQ(t->write(i, more, 3, &got), V3_OK);
  EXPECT_EQ(s.data, (std::vector<uint8_t>{1, 2, 3, 9, 9, 9}));
  EXPECT_EQ(t->tell(i, &at), V3_OK);
  EXPECT_EQ(at, 6);
  EXPECT_NE(t->read(i, nullptr, 4, &got), V3_OK);
}

TEST(VST3ParameterChanges, PointsStayInOrderAndAFullQueueKeepsTheNewestValue) {
  VST3ParameterChanges changes(2);
  v3_param_changes** c = changes.Interface();
  auto* t = v3_cpp_obj(c);
  v3_param_id ids[3] = {7, 9, 11};
  int32_t index = -1;
  v3_param_value_queue** q = t->add_param_data(c, &ids[0], &index);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(t->add_param_data(c, &ids[0], &index), q) << "one queue per parameter";
  ASSERT_NE(t->add_param_data(c, &ids[1], &index), nullptr);
  EXPECT_EQ(t->add_param_data(c, &ids[2], &index), nullptr) << "no room for a third";
  auto* qt = v3_cpp_obj(q);
  for (int32_t offset : {30, 10, 20, 10}) qt->add_point(q, offset, offset / 100.0 + (offset == 10 ? 0.5 : 0.0), &index);
  EXPECT_EQ(qt->add_point(q, -1, 0.0, &index), V3_INVALID_ARG);
  ASSERT_EQ(qt->get_point_count(q), 3) << "the same offset twice is one point";
  int32_t offset = 0;
  double value = 0.0;
  for (int32_t k = 0; k < 3; ++k) {
    ASSERT_EQ(qt->get_point(q, k, &offset, &value), V3_OK);
    EXPECT_EQ(offset, 10 * (k + 1));
  }
  qt->get_point(q, 0, &offset, &value);
  EXPECT_DOUBLE_EQ(value, 0.6);
  for (int32_t k = 0; k < 2 * VST3ParameterChanges::kPointsPerQueue; ++k) qt->add_point(q, 100 + k, k, &index);
  ASSERT_EQ(qt->get_point_count(q), VST3ParameterChanges::kPointsPerQueue);
  qt->get_point(q, VST3ParameterChanges::kPointsPerQueue - 1, &offset, &value);
  EXPECT_EQ(offset, 100 + 2 * VST3ParameterChanges::kPointsPerQueue - 1);
  EXPECT_EQ(value, 2 * VST3ParameterChanges::kPointsPerQueue - 1);
  EXPECT_EQ(qt->get_point(q, VST3ParameterChanges::kPointsPerQueue, &offset, &value), V3_INVALID_ARG);
  changes.Clear();
  EXPECT_EQ(t->get_param_count(c), 0);
  EXPECT_EQ(t->get_param_data(c, 0), nullptr);
}

TEST(VST3Text, TextsRoundTripThroughUtf16AndAreCutToFit) {
  for (const std::string text : {"", "Compressor Threshold", "Ø 4:1 — ±6 dB", "𝄞 clef"}) {
    int16_t units[128];
    VST3FromUtf8(text, units, 128);
    EXPECT_EQ(Utf8FromVST3(units, 128), text);
  }
  int16_t small[4];
  VST3FromUtf8("abcdef", small, 4);
  EXPECT_EQ(Utf8FromVST3(small, 4), "abc");
  VST3FromUtf8("ab𝄞", small, 4);
  EXPECT_EQ(Utf8FromVST3(small, 4), "ab") << "a pair that does not fit is left out whole";
  const int16_t lone[] = {0x41, static_cast<int16_t>(0xD834), 0x42, 0};
  EXPECT_EQ(Utf8FromVST3(lone, 4), "A\xEF\xBF\xBD" "B");
}

TEST(VST3Message, AttributesKeepWhatWasSetByName) {
  auto** message = static_cast<v3_message**>(VST3Message::Create(v3_message_iid));
  ASSERT_NE(message, nullptr);
  v3_cpp_obj(message)->set_message_id(message, "state");
  EXPECT_STREQ(v3_cpp_obj(message)->get_message_id(message), "state");
  v3_attribute_list** list = v3_cpp_obj(message)->get_attributes(message);
  auto* a = v3_cpp_obj(list);
  a->set_int(list, "n", -5);
  const uint8_t bytes[3] = {1, 2, 3};
  a->set_binary(list, "b", bytes, 3);
  int64_t n = 0;
  EXPECT_EQ(a->get_int(list, "n", &n), V3_OK);
  EXPECT_EQ(n, -5);
  double f = 0;
  EXPECT_NE(a->get_float(list, "n", &f), V3_OK) << "an integer is no float";
  const void* data = nullptr;
  uint32_t size = 0;
  ASSERT_EQ(a->get_binary(list, "b", &data, &size), V3_OK);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(static_cast<const uint8_t*>(data)[2], 3);
  EXPECT_EQ(v3_cpp_obj_unref(message), 0u);
}

#ifndef _WIN32
// A handler the test registers: counts its calls, and may unregister itself from within.
struct CountingHandler {
  struct TimerTable : v3_funknown {
    v3_timer_handler timer;
  };
  struct EventTable : v3_funknown {
    v3_event_handler event;
  };
  static bool Answers(const v3_tuid) { return true; }
  const void* table;
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = false;
  int calls = 0;
  VST3RunLoop* unregisterFrom = nullptr;
};

TEST(VST3RunLoop, RunsTimersAndDescriptorHandlersOnlyWhenPumped) {
  static const CountingHandler::TimerTable timerTable{
      VST3HostObject<CountingHandler>::kUnknown, {[](void* self) {
        auto* h = static_cast<CountingHandler*>(self);
        ++h->calls;
        if (h->unregisterFrom) {
          auto** me = reinterpret_cast<v3_timer_handler**>(h);
          v3_cpp_obj(h->unregisterFrom->Interface())->unregister_timer(h->unregisterFrom->Interface(), me);
        }
      }}};
  static const CountingHandler::EventTable eventTable{
      VST3HostObject<CountingHandler>::kUnknown, {[](void* self, int fd) {
        ++static_cast<CountingHandler*>(self)->calls;
        char c;
        EXPECT_EQ(read(fd, &c, 1), 1);
      }}};
  CountingHandler fast{&timerTable}, once{&timerTable}, reader{&eventTable};
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  {
    VST3RunLoop loop;
    once.unregisterFrom = &loop;
    auto** l = loop.Interface();
    auto* t = v3_cpp_obj(l);
    ASSERT_EQ(t->register_timer(l, reinterpret_cast<v3_timer_handler**>(&fast), 10), V3_OK);
    ASSERT_EQ(t->register_timer(l, reinterpret_cast<v3_timer_handler**>(&once), 5), V3_OK);
    ASSERT_EQ(t->register_event_handler(l, reinterpret_cast<v3_event_handler**>(&reader), pipeFds[0]), V3_OK);
    EXPECT_EQ(fast.refs.load(), 2u) << "held while registered";
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(fast.calls + once.calls + reader.calls, 0) << "nothing runs between pumps";
    ASSERT_EQ(write(pipeFds[1], "x", 1), 1);
    loop.Pump(105);
    EXPECT_GE(fast.calls, 2) << "a 10 ms timer over about 100 ms";
    EXPECT_LE(fast.calls, 12);
    EXPECT_EQ(once.calls, 1) << "it unregistered itself";
    EXPECT_EQ(once.refs.load(), 1u);
    EXPECT_EQ(reader.calls, 1) << "one byte to read, one call";
    EXPECT_EQ(t->unregister_timer(l, reinterpret_cast<v3_timer_handler**>(&once)), V3_INVALID_ARG);
  }
  EXPECT_EQ(fast.refs.load(), 1u) << "what stays registered is given back with the loop";
  EXPECT_EQ(reader.refs.load(), 1u);
  close(pipeFds[0]);
  close(pipeFds[1]);
}
#endif

}  // namespace
