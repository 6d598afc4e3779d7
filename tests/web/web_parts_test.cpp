// The server's parts that decide what reaches the device: recorded steps read back
// as they were meant, device paths that cannot leave the device, the request
// bounds, and the clock that follows real time.
#include <gtest/gtest.h>

#include "scenario/script.h"
#include "web/device_clock.h"
#include "web/device_path_check.h"
#include "web/json.h"
#include "web/recorder.h"
#include "web/request_limits.h"

namespace sim::web {
namespace {

std::vector<std::string> ReadBack(const std::string& line) {
  auto split = scenario::SplitLine(line);
  return std::get<std::vector<std::string>>(split);
}

TEST(StepLineTest, EveryWritableArgumentReadsBackUnchanged) {
  const std::vector<std::string> args = {"plain", "two words", "", "#1005", "#note", "say \"hi\"", "it's",
                                         "\\My Documents\\x.lnk", "ｼｮｰﾄｶｯﾄの貼り付け", "'quoted'"};
  for (const auto& arg : args) {
    auto line = StepLine("tap", {arg});
    ASSERT_TRUE(line) << arg;
    EXPECT_EQ(ReadBack(*line), (std::vector<std::string>{"tap", arg})) << *line;
  }
  EXPECT_FALSE(StepLine("type", {"both \" and '"}));
  EXPECT_FALSE(StepLine("type", {"two\nlines"}));
}

TEST(RecorderTest, TypingJoinsAndMenusBecomeOneStep) {
  Recorder recorder;
  recorder.addTyped("ab");
  recorder.addTyped(" c");
  recorder.add("key enter");
  recorder.addTyped("d");
  recorder.menuOpened("編集", "tap-at 20 310");
  recorder.menuOpened("ﾌｫﾙﾀﾞ移動", "tap-at 60 200");
  EXPECT_TRUE(recorder.menuOpen());
  EXPECT_TRUE(recorder.menuChosen("My Documents"));
  EXPECT_EQ(recorder.lines(), (std::vector<std::string>{"type \"ab c\"", "key enter", "type d",
                                                        "menu 編集 ﾌｫﾙﾀﾞ移動 \"My Documents\""}));
  // A menu left without a choice, or ended on an entry no script can name, is kept
  // as the taps that opened it.
  recorder.menuOpened("編集", "tap-at 20 310");
  EXPECT_FALSE(recorder.menuChosen("both \" and '"));
  EXPECT_EQ(recorder.menuDepth(), 1u);
  recorder.add("tap-at 120 100");
  EXPECT_EQ(recorder.lines().back(), "tap-at 120 100");
  EXPECT_EQ(recorder.lines()[recorder.lines().size() - 2], "tap-at 20 310");
  // The second tap of a double tap replaces the first.
  recorder.add("tap-item a.txt");
  recorder.replaceLastTap("double-tap-item a.txt");
  EXPECT_EQ(recorder.lines().back(), "double-tap-item a.txt");
  EXPECT_EQ(recorder.lines()[recorder.lines().size() - 2], "tap-at 120 100");
  auto parsed = scenario::ParseScript(recorder.script());
  ASSERT_TRUE(std::holds_alternative<std::vector<scenario::Step>>(parsed)) << recorder.script();
}

TEST(DevicePathTest, OnlyPathsInsideTheDevice) {
  EXPECT_EQ(CheckedDevicePath("\\Temp\\メモ.txt", false), u"\\Temp\\メモ.txt");
  EXPECT_EQ(CheckedDevicePath("\\Temp\\", true), u"\\Temp");
  EXPECT_EQ(CheckedDevicePath("\\", true), u"");
  for (const char* bad : {"\\", "", "Temp", "/etc/passwd", "\\..\\x", "\\Temp\\..\\..\\x", "\\Temp\\.", "\\a\\\\b",
                          "\\a/b", "\\a:b", "\\a\x01", "\\a\xff"})
    EXPECT_FALSE(CheckedDevicePath(bad, false)) << bad;
  EXPECT_FALSE(CheckedDevicePath("\\" + std::string(300, 'a'), false));
}

TEST(RequestLimitsTest, RateRecoversAndOriginsAreChecked) {
  RateLimit limit(10, 3);
  EXPECT_TRUE(limit.admit(1000));
  EXPECT_TRUE(limit.admit(1000));
  EXPECT_TRUE(limit.admit(1000));
  EXPECT_FALSE(limit.admit(1000));
  EXPECT_TRUE(limit.admit(1100));  // a tenth of a second gives one back
  EXPECT_FALSE(limit.admit(1100));

  EXPECT_TRUE(SameSite("127.0.0.1:8340", "", "127.0.0.1", 8340));
  EXPECT_TRUE(SameSite("localhost:8340", "http://localhost:8340", "127.0.0.1", 8340));
  EXPECT_FALSE(SameSite("evil.example:8340", "", "127.0.0.1", 8340));
  EXPECT_FALSE(SameSite("127.0.0.1:8340", "http://evil.example", "127.0.0.1", 8340));
  EXPECT_FALSE(SameSite("127.0.0.1:8340", "http://127.0.0.1:9999", "127.0.0.1", 8340));
  EXPECT_TRUE(SameSite("box:8340", "http://box:8340", "0.0.0.0", 8340));
  EXPECT_FALSE(SameSite("box:8340", "http://evil.example", "0.0.0.0", 8340));

  EXPECT_EQ(RequestNumber("120", 0, 4096), 120);
  EXPECT_FALSE(RequestNumber("-1", 0, 4096));
  EXPECT_FALSE(RequestNumber("12px", 0, 4096));
  EXPECT_FALSE(RequestNumber("99999999999999999999", 0, 4096));
}

TEST(DeviceClockTest, FollowsRealTimeUnlessPaused) {
  DeviceClock clock;
  clock.rebase(1000, 0);
  EXPECT_EQ(clock.deviceTimeAt(1500, 0), 500u);
  EXPECT_EQ(clock.realTimeOf(2000), 3000u);
  // A device already ahead (a settled step) is never taken back.
  EXPECT_EQ(clock.deviceTimeAt(1500, 9000), 9000u);
  clock.pause(1500, 500);
  EXPECT_EQ(clock.deviceTimeAt(99999, 500), 500u);
  EXPECT_FALSE(clock.realTimeOf(600));
  clock.resume(5000, 500);
  EXPECT_EQ(clock.deviceTimeAt(5250, 500), 750u);
}

TEST(JsonTest, EscapesAndBase64) {
  EXPECT_EQ(JsonString("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
}

}  // namespace
}  // namespace sim::web
