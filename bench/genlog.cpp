// genlog: writes a realistic Notepad-style log for the benchmark, and the
// text logstamp must turn it into under a Japanese locale with the default
// settings.
//
//   genlog [--dense] MIB LOG [EXPECTED] [SEED]
//
// The log is the marker line, then entries until the next one would pass MIB
// MiB: a time stamp (H:MM or HH:MM, then YYYY/MM/DD, in increasing time), one
// to four lines of Japanese or English text, and an empty line after most
// entries; every line ends with CR LF. The same seed gives the same bytes.
// --dense: short entries of about 92 bytes (short lines, an empty line after
// seven entries in ten, stamps 1 to 200 minutes apart), so that stamps are
// a larger part of the log.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <span>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kTexts[] = {
    "Bought milk.",
    "牛乳を買った。",
    "Meeting with the design team about the new release schedule.",
    "朝から雨。傘を忘れて駅まで走った。",
    "Read two chapters of the novel before bed.",
    "会議: 来期の予算について。結論は来週に持ち越し。",
    "TODO: call the bank, renew the passport, water the plants",
    "今日は早めに帰宅。夕食はカレー。",
    "Fixed the build on the old laptop; the disk is almost full again.",
    "図書館で資料を探したが見つからなかった。",
    "Ran 5 km in 27 minutes.",
    "打ち合わせ 14:00〜15:30 (第二会議室)",
    "Note to self: the backup job failed twice this week, check the logs.",
    "久しぶりに友人と電話で話した。元気そうで安心した。",
    "- eggs, bread, coffee",
    "新しいキーボードが届いた。打ち心地が良い。",
    "Weather: clear, 24 C. Walked to the office.",
    "体調が少し悪い。早く寝ること。",
    "Reviewed the quarterly report; numbers look better than expected.",
    "駅前の本屋で雑誌を買った。",
    "Paid the rent.",
    "週末の予定: 掃除、洗濯、買い物、映画",
};

constexpr std::string_view kShortTexts[] = {
    "Bought milk and bread.",         "牛乳とパンを買った。",
    "Ran 5 km before work.",          "朝から雨。傘を忘れた。",
    "Paid the rent for May.",         "会議 14:00 第二会議室",
    "- eggs, bread, coffee, rice",    "今日は早く寝ること。",
    "Called mum in the evening.",     "駅前の本屋で雑誌を買う。",
    "Backup failed again, check it.", "晴れ、24度。散歩した。",
    "TODO: bank, passport, plants",   "夕食はカレー。おいしい。",
    "Read one chapter of the novel.", "久しぶりに友人と電話。",
};

// What logstamp takes for a time stamp: 15 or 16 bytes, first blank at the
// 5th or 6th byte. Text lines must not look like one, or their expected
// conversion would differ.
bool LooksLikeStamp(std::string_view line) {
  if (line.size() != 15 && line.size() != 16) return false;
  const std::size_t blank = line.find(' ');
  return blank == 4 || blank == 5;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// A wall clock that only moves forward.
struct Clock {
  int year = 1998, month = 1, day = 1, hour = 9, minute = 5;
  void Advance(int minutes) {
    minute += minutes;
    hour += minute / 60;
    minute %= 60;
    while (hour >= 24) {
      hour -= 24;
      if (++day > DaysIn(year, month)) {
        day = 1;
        if (++month > 12) month = 1, ++year;
      }
    }
  }
};

class Output {
 public:
  explicit Output(const char* path) : file_(path ? std::fopen(path, "wb") : nullptr) {
    if (path && !file_) {
      std::perror(path);
      std::exit(1);
    }
    if (file_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  }
  void Put(std::string_view bytes) {
    if (file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail();
  }
  void Close(const char* path) {
    if (file_ && std::fclose(file_) != 0) {
      std::perror(path);
      std::exit(1);
    }
  }

 private:
  [[noreturn]] void Fail() {
    std::perror("genlog: write");
    std::exit(1);
  }
  std::FILE* file_;
};

}  // namespace

int main(int argc, char** argv) {
  const bool dense = argc > 1 && std::string_view(argv[1]) == "--dense";
  if (dense) --argc, ++argv;
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: genlog [--dense] MIB LOG [EXPECTED] [SEED]\n");
    return 2;
  }
  const std::uint64_t limit = std::strtoull(argv[1], nullptr, 10) << 20;
  const char* expected_path = argc >= 4 ? argv[3] : nullptr;
  std::mt19937_64 rng(argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 20030619);
  for (std::string_view text : dense ? std::span<const std::string_view>(kShortTexts)
                                        : std::span<const std::string_view>(kTexts)) {
    if (LooksLikeStamp(text)) {
      std::fprintf(stderr, "genlog: a text line looks like a time stamp\n");
      return 1;
    }
  }

  Output log(argv[2]), expected(expected_path);
  std::string entry, converted;
  std::uint64_t size = 6, entries = 0, lines = 1;
  log.Put(".LOG\r\n");
  expected.Put(".LOG\r\n");
  Clock clock;
  char stamp[32], rewritten[32];
  std::string last_stamp;
  while (true) {
    clock.Advance(1 + static_cast<int>(rng() % (dense ? 200 : 180)));
    std::snprintf(stamp, sizeof stamp, "%d:%02d %04d/%02d/%02d", clock.hour, clock.minute,
                  clock.year, clock.month, clock.day);
    std::snprintf(rewritten, sizeof rewritten, "%04d/%02d/%02d %02d:%02d", clock.year,
                  clock.month, clock.day, clock.hour, clock.minute);
    entry.assign(stamp).append("\r\n");
    converted.assign(rewritten);
    const int texts = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < texts; ++i) {
      const std::string_view text =
          dense ? kShortTexts[rng() % std::size(kShortTexts)] : kTexts[rng() % std::size(kTexts)];
      entry.append(text).append("\r\n");
      converted.append(i == 0 ? "\t" : "").append(text).append("\r\n");
    }
    const bool blank_after = dense ? rng() % 10 < 7 : rng() % 8 != 0;
    if (blank_after) {
      entry.append("\r\n");
      converted.append("\r\n");
    }
    if (size + entry.size() > limit) break;
    log.Put(entry);
    expected.Put(converted);
    size += entry.size();
    last_stamp = stamp;
    ++entries;
    lines += 1 + static_cast<std::uint64_t>(texts) + (blank_after ? 1 : 0);
  }
  log.Close(argv[2]);
  expected.Close(expected_path);
  std::printf("%llu bytes, %llu lines, %llu entries, last stamp %s\n",
              static_cast<unsigned long long>(size), static_cast<unsigned long long>(lines),
              static_cast<unsigned long long>(entries), last_stamp.c_str());
  return 0;
}
