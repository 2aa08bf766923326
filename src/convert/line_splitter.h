// The line splitter: finds the line breaks of a text (CR LF, a lone CR, a
// lone LF) and its NUL bytes in one pass, 64 bytes at a time with SSE2
// where the processor has it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace line_splitter_internal {

// Where the 64 bytes at p hold CR, LF and NUL: bit i stands for p[i].
struct ByteMasks {
  uint64_t cr = 0, lf = 0, nul = 0;
};

inline ByteMasks FindSpecialBytes(const char* p) {
  ByteMasks m;
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
  for (int i = 0; i < 4; ++i) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    const auto bits = [&](__m128i c) {
      return uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c)))} << (16 * i);
    };
    m.cr |= bits(cr);
    m.lf |= bits(lf);
    m.nul |= bits(nul);
  }
#else
  for (int i = 0; i < 64; ++i) {
    m.cr |= uint64_t{p[i] == '\r'} << i;
    m.lf |= uint64_t{p[i] == '\n'} << i;
    m.nul |= uint64_t{p[i] == '\0'} << i;
  }
#endif
  return m;
}

}  // namespace line_splitter_internal

// Calls found(end, next) for every line break of the size bytes at text, in
// order: end is the offset of the break's first byte, next the offset just
// after the break (end + 2 for CR LF, else end + 1). Returns whether the text
// holds a NUL byte.
template <typename Found>
bool SplitLines(const char* text, std::size_t size, Found found) {
  using line_splitter_internal::ByteMasks;
  uint64_t nuls = 0;
  uint64_t carry_cr = 0;  // the last byte of the previous block was a CR
  for (std::size_t base = 0; base < size; base += 64) {
    const char* p = text + base;
    char tail[64];
    if (size - base < 64) {  // the last, short block, padded with bytes that are no break
      std::memset(tail, 'x', sizeof tail);
      std::memcpy(tail, p, size - base);
      p = tail;
    }
    const ByteMasks m = line_splitter_internal::FindSpecialBytes(p);
    const uint64_t next_lf = base + 64 < size && text[base + 64] == '\n';
    // The first byte of every break (a CR, or an LF that follows no CR), and
    // every CR that an LF follows.
    uint64_t starts = m.cr | (m.lf & ~((m.cr << 1) | carry_cr));
    const uint64_t pairs = m.cr & ((m.lf >> 1) | (next_lf << 63));
    carry_cr = m.cr >> 63;
    nuls |= m.nul;
    while (starts) {
      const int bit = std::countr_zero(starts);
      starts &= starts - 1;
      const std::size_t end = base + static_cast<std::size_t>(bit);
      found(end, end + 1 + ((pairs >> bit) & 1));
    }
  }
  return nuls != 0;
}
