// The conversion of a log as a stream: the log is read in chunks, converted
// top-down and written out as it goes, in memory bounded by the chunk (and by
// the longest run of failed stamps below a converted one), with the same
// bytes out as the bottom-up scan over the whole list followed by its save.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_io.h"

enum class StreamOutcome {
  kConverted,     // the whole text went to the sink
  kTooFewLines,   // fewer than two lines: the scan would not save the log
  kHoldsNul,      // a NUL byte: no text in the user's charset
  kTooManyLines,  // more lines than a line list can index
};

// Fills up to size bytes of data and returns how many; 0 at the end of the
// log. Raises on a failed read.
using ReadChunk = std::function<std::size_t(char* data, std::size_t size)>;

// Reads the log to its end through read and writes the converted text to
// out, every line followed by CR LF. The conversion errors are not shown:
// their texts are added to errors in the order the bottom-up scan would show
// them (from the last line up). Unless the outcome is kConverted, what was
// written to out must be thrown away. LineIndex and CurrentLine are used as
// the scan uses them.
StreamOutcome ConvertLogStream(const ReadChunk& read, BlockSink& out,
                               std::vector<std::string>& errors,
                               std::size_t chunkSize = std::size_t{1} << 20);
