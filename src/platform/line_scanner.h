// Splits a byte stream into lines at CR, LF and CR LF, one block at a time, without
// copying. A line may span any number of blocks, and a CR LF whose two bytes fall
// in different blocks is still one line end.
//
// The caller's `segment(data, size, endsLine)` receives the bytes of the current
// line piece by piece; `endsLine` is true on the last piece of each line (an empty
// line is one empty piece that ends it). Line ends are never part of a piece.
// After the last block, finish() ends an unterminated last line; an input with no
// bytes at all yields one empty line, and an input ending in a line end yields no
// extra empty line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tabulon {

class LineScanner {
  public:
    template <class Segment>
    void feed(const char* data, size_t size, Segment&& segment) {
        if (size == 0) return;
        sawInput_ = true;
        size_t start = 0;  // where the current line begins in this block
        if (skipLf_ && data[0] == '\n') start = 1;
        // Line ends are found 64 bytes at a time as a bit mask, so a line costs
        // one step of the bit loop rather than a search of its own.
        for (size_t base = 0; base < size; base += 64) {
            uint64_t ends = lineEndMask(data + base, std::min<size_t>(64, size - base));
            while (ends != 0) {
                size_t end = base + static_cast<size_t>(__builtin_ctzll(ends));
                ends &= ends - 1;
                if (end < start) continue;  // the LF of a CR LF
                segment(data + start, end - start, true);
                start = end + 1;
                if (data[end] == '\r' && start < size && data[start] == '\n') ++start;
            }
        }
        inLine_ = start < size;
        if (inLine_) segment(data + start, size - start, false);
        skipLf_ = !inLine_ && data[size - 1] == '\r';
    }

    template <class Segment>
    void finish(Segment&& segment) {
        if (inLine_ || !sawInput_) segment(static_cast<const char*>(""), 0, true);
        inLine_ = false;
        sawInput_ = true;
    }

  private:
    // Bit i is set when byte i of the `size` (at most 64) bytes is CR or LF.
    static uint64_t lineEndMask(const char* data, size_t size) {
#ifdef __SSE2__
        if (size == 64) {
            const __m128i cr = _mm_set1_epi8('\r');
            const __m128i lf = _mm_set1_epi8('\n');
            uint64_t mask = 0;
            for (int part = 0; part < 4; ++part) {
                __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * part));
                __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
                mask |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(ends)))
                        << (16 * part);
            }
            return mask;
        }
#endif
        uint64_t mask = 0;
        for (size_t i = 0; i < size; ++i) {
            if (data[i] == '\r' || data[i] == '\n') mask |= uint64_t{1} << i;
        }
        return mask;
    }

    bool skipLf_ = false;  // the previous block ended with CR
    bool inLine_ = false;  // bytes of an unfinished line have been passed on
    bool sawInput_ = false;
};

}  // namespace tabulon
