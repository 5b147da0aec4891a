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

#include <cstddef>
#include <cstring>

namespace tabulon {

class LineScanner {
  public:
    template <class Segment>
    void feed(const char* data, size_t size, Segment&& segment) {
        if (size == 0) return;
        sawInput_ = true;
        size_t i = 0;
        if (skipLf_) {
            skipLf_ = false;
            if (data[0] == '\n') i = 1;
        }
        // Next CR and LF at or after i, found lazily and reused until passed, so
        // a block with only one kind of line end is still scanned once.
        size_t nextCr = 0, nextLf = 0;
        bool crKnown = false, lfKnown = false;
        while (i < size) {
            if (!lfKnown || nextLf < i) {
                nextLf = find(data, i, size, '\n');
                lfKnown = true;
            }
            if (!crKnown || nextCr < i) {
                nextCr = find(data, i, size, '\r');
                crKnown = true;
            }
            size_t end = nextLf < nextCr ? nextLf : nextCr;
            if (end == size) {
                segment(data + i, size - i, false);
                inLine_ = true;
                return;
            }
            segment(data + i, end - i, true);
            inLine_ = false;
            i = end + 1;
            if (data[end] == '\r') {
                if (i == size) {
                    skipLf_ = true;
                } else if (data[i] == '\n') {
                    ++i;
                }
            }
        }
    }

    template <class Segment>
    void finish(Segment&& segment) {
        if (inLine_ || !sawInput_) segment(static_cast<const char*>(""), 0, true);
        inLine_ = false;
        sawInput_ = true;
    }

  private:
    static size_t find(const char* data, size_t from, size_t size, char c) {
        const void* hit = std::memchr(data + from, c, size - from);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : size;
    }

    bool skipLf_ = false;  // the previous block ended with CR
    bool inLine_ = false;  // bytes of an unfinished line have been passed on
    bool sawInput_ = false;
};

}  // namespace tabulon
