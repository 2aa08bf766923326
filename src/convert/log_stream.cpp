#include "convert/log_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "convert/globals.h"
#include "convert/line_splitter.h"
#include "convert/time_stamp_shape.h"
#include "convert/timestamp_rewriting.h"

namespace {

constexpr std::size_t kOutputBlock = std::size_t{1} << 20;
// A line longer than this can be no time stamp, so it can be written out
// before its end is read.
constexpr std::size_t kLongestStamp = 16;

// The bottom-up rule, read top-down: a converted stamp joins the line below
// it unless the nearest line below that is no failed stamp is empty or
// another converted stamp; at the end of the log it joins when a failed
// stamp follows it. Until that line is read, the stamp and the failed stamps
// after it wait here.
class Converter {
 public:
  Converter(BlockSink& out) : out_(out) { buffer_.reserve(kOutputBlock + 64); }

  // One whole line, without its break.
  void Line(std::string_view line) {
    if (index_ > 0) Classify(line);
    else Put(line), Put("\r\n");
    ++index_;
  }

  // The first bytes of a line longer than any stamp; the rest follows
  // through MoreOfLine and EndOfLine.
  void BeginLongLine(std::string_view start) {
    if (index_ > 0) Resolve(true);
    Put(start);
  }
  void MoreOfLine(std::string_view bytes) { Put(bytes); }
  void EndOfLine(std::string_view rest) {
    Put(rest);
    Put("\r\n");
    ++index_;
  }

  void Finish() {
    Resolve(failed_count_ > 0);
    Flush();
  }
  int64_t Lines() const { return index_; }

 private:
  void Classify(std::string_view line) {
    if (!HasTimeStampShape(line)) {
      Resolve(!line.empty());
      Put(line);
      Put("\r\n");
      return;
    }
    LineIndex = static_cast<int32_t>(index_);
    TimeDateStringToDateTimeString(line, CurrentLine);
    if (DateTimeStringToFormatedDateTimeString(CurrentLine)) {
      Resolve(false);
      pending_ = true;
      stamp_ = CurrentLine;
      return;
    }
    if (!pending_) {
      Put(line);
      Put("\r\n");
    } else if (failed_count_++ == 0) {
      first_failed_.assign(line);
    } else {
      more_failed_.append(line).append("\r\n");
    }
  }

  // Writes the waiting stamp, joined or not, and the failed stamps after it;
  // with join, the joined line's rest follows.
  void Resolve(bool join) {
    if (!pending_) return;
    pending_ = false;
    Put(stamp_);
    if (join) {
      Put(std::string_view(&Separator, 1));
    } else {
      Put("\r\n");
    }
    if (failed_count_ == 0) return;
    Put(first_failed_);
    Put("\r\n");
    Put(more_failed_);
    failed_count_ = 0;
    more_failed_.clear();
  }

  void Put(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kOutputBlock) {
      Flush();
      if (bytes.size() >= kOutputBlock) {
        out_.Write(bytes.data(), bytes.size());
        return;
      }
    }
    buffer_.append(bytes);
  }
  void Flush() {
    if (!buffer_.empty()) out_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

  BlockSink& out_;
  std::string buffer_;
  int64_t index_ = 0;  // of the next line
  bool pending_ = false;
  std::string stamp_;
  std::size_t failed_count_ = 0;
  std::string first_failed_;
  std::string more_failed_;  // the failed stamps after the first, each with CR LF
};

}  // namespace

StreamOutcome ConvertLogStream(const ReadChunk& read, BlockSink& out,
                               std::vector<std::string>& errors, std::size_t chunkSize) {
  chunkSize = std::max<std::size_t>(chunkSize, 64);
  std::vector<std::string> found;
  std::vector<std::string>* const outer = DeferredConversionErrors;
  DeferredConversionErrors = &found;
  struct Restore {
    std::vector<std::string>* outer;
    ~Restore() { DeferredConversionErrors = outer; }
  } restore{outer};

  Converter converter(out);
  std::string buffer(chunkSize + kLongestStamp + 1, '\0');
  std::size_t have = 0;    // bytes carried over: the start of an unfinished line
  bool in_line = false;    // the unfinished line's start was already written
  while (true) {
    const std::size_t n = read(buffer.data() + have, chunkSize);
    const bool end = n == 0;
    const std::size_t size = have + n;
    // A CR at the end may be the first half of a CR LF: it waits for the
    // next chunk.
    const std::size_t limit = !end && size > 0 && buffer[size - 1] == '\r' ? size - 1 : size;
    std::size_t start = 0;
    const bool nul = SplitLines(buffer.data(), limit, [&](std::size_t line_end, std::size_t next) {
      const std::string_view line(buffer.data() + start, line_end - start);
      if (in_line) {
        converter.EndOfLine(line);
        in_line = false;
      } else {
        converter.Line(line);
      }
      start = next;
    });
    if (nul) return StreamOutcome::kHoldsNul;
    if (converter.Lines() > std::numeric_limits<int32_t>::max()) {
      return StreamOutcome::kTooManyLines;
    }
    const std::string_view tail(buffer.data() + start, limit - start);
    if (end) {
      if (in_line) {
        converter.EndOfLine(tail);
      } else if (!tail.empty()) {
        converter.Line(tail);
      }
      break;
    }
    std::size_t keep = size - start;  // the tail and a waiting CR
    if (in_line || tail.size() > kLongestStamp) {
      if (in_line) {
        converter.MoreOfLine(tail);
      } else {
        converter.BeginLongLine(tail);
        in_line = true;
      }
      keep = size - limit;
    }
    std::memmove(buffer.data(), buffer.data() + size - keep, keep);
    have = keep;
  }
  if (converter.Lines() < 2) return StreamOutcome::kTooFewLines;
  if (converter.Lines() > std::numeric_limits<int32_t>::max()) return StreamOutcome::kTooManyLines;
  converter.Finish();
  errors.assign(found.rbegin(), found.rend());
  return StreamOutcome::kConverted;
}
