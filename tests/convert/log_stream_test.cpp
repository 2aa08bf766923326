#include "convert/log_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "convert/format_log_lines.h"
#include "convert/globals.h"
#include "convert/string_list.h"
#include "support/capture.h"
#include "support/scoped_env.h"

namespace {

class StringSink : public BlockSink {
 public:
  void Write(const char* data, std::size_t size) override { text.append(data, size); }
  std::string text;
};

struct Result {
  bool saved = false;
  std::string bytes;                // what was saved
  std::vector<std::string> errors;  // the conversion errors' texts, in the order shown
  bool operator==(const Result&) const = default;
};

// The whole-list way: the bottom-up scan over FileList, then its save.
Result ThroughTheList(const std::string& log) {
  TStringList list;
  std::unique_ptr<char[]> data(new char[log.size()]);
  std::memcpy(data.get(), log.data(), log.size());
  list.SetText(std::move(data), log.size());
  FileList = &list;
  Result result;
  {
    CapturedOutput shown;
    result.saved = FormatLogLines();
    for (const ShownBox& box : shown.boxes) result.errors.push_back(box.text);
  }
  FileList = nullptr;
  if (result.saved) {  // the text SaveToFile writes
    for (int32_t i = 0; i < list.Count(); ++i) result.bytes.append(list.Strings(i)).append("\r\n");
  }
  return result;
}

// The stream, read in chunks of the given size.
Result ThroughTheStream(const std::string& log, std::size_t chunk) {
  std::size_t at = 0;
  const ReadChunk read = [&](char* data, std::size_t size) {
    const std::size_t n = std::min({size, chunk, log.size() - at});
    std::memcpy(data, log.data() + at, n);
    at += n;
    return n;
  };
  StringSink sink;
  Result result;
  CapturedOutput shown;
  const StreamOutcome outcome = ConvertLogStream(read, sink, result.errors, chunk);
  EXPECT_TRUE(shown.boxes.empty()) << "the stream shows no box itself";
  EXPECT_NE(outcome, StreamOutcome::kHoldsNul);
  result.saved = outcome == StreamOutcome::kConverted;
  if (result.saved) result.bytes = sink.text;
  if (!result.saved) result.errors.clear();  // the list's scan shows none then either
  return result;
}

class LogStream : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(locale_.Use("ja_JP.UTF-8"));
    DateTimeFormat = "yyyy/mm/dd hh:nn";
    Separator = '\t';
    CurrentFileName = "diary.log";
  }
  void ExpectSame(const std::string& log) {
    const Result expected = ThroughTheList(log);
    for (const std::size_t chunk : {64, 65, 80, 1000, 1 << 20}) {
      EXPECT_EQ(ThroughTheStream(log, chunk), expected) << "chunk " << chunk << ", log:\n" << log;
    }
  }
  ScopedLocale locale_;
};

TEST_F(LogStream, JoinsAsTheBottomUpScanDoes) {
  const char* const logs[] = {
      "",
      ".LOG",
      ".LOG\r\n",
      ".LOG\r\n9:05 2003/06/19",                       // a stamp as the last line
      ".LOG\r\n9:05 2003/06/19\r\nBought milk.\r\n",    // the worked example
      ".LOG\n9:05 2003/06/19\n\nno entry text\n",      // an empty line blocks the join
      ".LOG\n9:05 2003/06/19\n10:30 2003/06/20\nx\n",  // stamps in a row
      // Failed stamps below a converted one: the join looks past them.
      ".LOG\n9:05 2003/06/19\n99:99 2003/99/99\ntext\n",
      ".LOG\n9:05 2003/06/19\n99:99 2003/99/99\n88:88 2003/88/88\n\n",
      ".LOG\n9:05 2003/06/19\n99:99 2003/99/99\n10:30 2003/06/20\nx",
      ".LOG\n9:05 2003/06/19\n99:99 2003/99/99\n88:88 2003/88/88",  // failed ones up to the end
      ".LOG\n99:99 2003/99/99\n9:05 2003/06/19\n",                  // a failed one first
      "9:05 2003/06/19\n9:05 2003/06/19\n",  // the first line is never converted
      ".LOG\r\r\n\n\r9:05 2003/06/19\rentry\r",  // every kind of break
  };
  for (const char* log : logs) ExpectSame(log);
}

TEST_F(LogStream, LongLinesAndBreaksAcrossChunks) {
  const std::string long_line(300, 'x');
  ExpectSame(".LOG\n9:05 2003/06/19\n" + long_line + "\n" + long_line);
  ExpectSame(long_line + "\r\n9:05 2003/06/19\r\n" + long_line + "\r\n");
  // A CR LF split by the chunk edge at every offset.
  for (std::size_t pad = 0; pad < 70; ++pad) {
    ExpectSame(".LOG\r\n" + std::string(pad, 'a') + "\r\n9:05 2003/06/19\r\n" +
               std::string(pad, 'b') + "\r\n");
  }
}

TEST_F(LogStream, RandomLogsUnderEverySeparator) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {
      "9:05 2003/06/19", "10:30 2003/06/20", "99:99 2003/99/99", "1:00 2003/02/30",
      "", "Bought milk.", "牛乳を買った。", "12:00 2003/6/1 ", "x", std::string(40, 'y')};
  const char* const breaks[] = {"\r\n", "\n", "\r"};
  for (const char separator : {'\t', ' ', ','}) {
    Separator = separator;
    for (int round = 0; round < 150; ++round) {
      std::string log = ".LOG\r\n";
      const int lines = static_cast<int>(random() % 12);
      for (int i = 0; i < lines; ++i) {
        log += pieces[random() % pieces.size()];
        if (i + 1 < lines || random() % 2) log += breaks[random() % 3];
      }
      ExpectSame(log);
    }
  }
}

TEST_F(LogStream, RefusesANulAndDeclinesFewerThanTwoLines) {
  std::vector<std::string> errors;
  StringSink sink;
  const auto reader = [](std::string text) {
    return [text, at = std::size_t{0}](char* data, std::size_t size) mutable {
      const std::size_t n = std::min(size, text.size() - at);
      std::memcpy(data, text.data() + at, n);
      at += n;
      return n;
    };
  };
  EXPECT_EQ(ConvertLogStream(reader(std::string(".LOG\n9:05 2003/06/19\nx\0y\n", 24)), sink, errors),
            StreamOutcome::kHoldsNul);
  EXPECT_EQ(ConvertLogStream(reader(".LOG\r\n"), sink, errors), StreamOutcome::kTooFewLines);
  EXPECT_EQ(ConvertLogStream(reader(""), sink, errors), StreamOutcome::kTooFewLines);
}

}  // namespace
