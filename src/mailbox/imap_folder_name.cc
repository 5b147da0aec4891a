#include "mailbox/imap_folder_name.h"

#include <cstdint>
#include <vector>

#include "platform/utf8.h"

namespace tabulon {
namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+,";

bool printable(unsigned char c) {
    return c >= 0x20 && c <= 0x7e;
}

int digitValue(char c) {
    for (int i = 0; i < 64; ++i) {
        if (kDigits[i] == c) return i;
    }
    return -1;
}

// The code point of the well-formed sequence `text[i..i+length)`.
uint32_t codePoint(std::string_view text, size_t i, size_t length) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    if (length == 1) return byte(0);
    uint32_t point = byte(0) & (0xff >> (length + 1));
    for (size_t k = 1; k < length; ++k)
        point = (point << 6) | (byte(k) & 0x3f);
    return point;
}

void appendUtf8(uint32_t point, std::string* out) {
    if (point < 0x80) {
        *out += static_cast<char>(point);
    } else if (point < 0x800) {
        *out += static_cast<char>(0xc0 | (point >> 6));
        *out += static_cast<char>(0x80 | (point & 0x3f));
    } else if (point < 0x10000) {
        *out += static_cast<char>(0xe0 | (point >> 12));
        *out += static_cast<char>(0x80 | ((point >> 6) & 0x3f));
        *out += static_cast<char>(0x80 | (point & 0x3f));
    } else {
        *out += static_cast<char>(0xf0 | (point >> 18));
        *out += static_cast<char>(0x80 | ((point >> 12) & 0x3f));
        *out += static_cast<char>(0x80 | ((point >> 6) & 0x3f));
        *out += static_cast<char>(0x80 | (point & 0x3f));
    }
}

// UTF-16 units as modified base64, without padding.
void appendBase64(const std::vector<uint16_t>& units, std::string* out) {
    uint32_t bits = 0;
    int count = 0;
    for (uint16_t unit : units) {
        bits = (bits << 16) | unit;
        count += 16;
        while (count >= 6) {
            count -= 6;
            *out += kDigits[(bits >> count) & 0x3f];
        }
    }
    if (count > 0) *out += kDigits[(bits << (6 - count)) & 0x3f];
}

// The UTF-8 of UTF-16 units; false on a lone surrogate.
bool appendUnits(const std::vector<uint16_t>& units, std::string* out) {
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t unit = units[i];
        if (unit >= 0xdc00 && unit <= 0xdfff) return false;
        if (unit >= 0xd800 && unit <= 0xdbff) {
            if (i + 1 >= units.size() || units[i + 1] < 0xdc00 || units[i + 1] > 0xdfff)
                return false;
            unit = 0x10000 + ((unit - 0xd800) << 10) + (units[++i] - 0xdc00);
        }
        appendUtf8(unit, out);
    }
    return true;
}

}  // namespace

std::string encodeImapFolder(std::string_view name) {
    std::string out;
    std::vector<uint16_t> run;
    for (size_t i = 0; i < name.size();) {
        auto c = static_cast<unsigned char>(name[i]);
        if (printable(c)) {
            if (!run.empty()) {
                out += '&';
                appendBase64(run, &out);
                out += '-';
                run.clear();
            }
            out += c == '&' ? "&-" : std::string(1, static_cast<char>(c));
            ++i;
            continue;
        }
        size_t length = utf8SequenceLength(name, i);
        if (length == 0) length = 1;  // not reached for valid UTF-8
        uint32_t point = codePoint(name, i, length);
        if (point >= 0x10000) {
            point -= 0x10000;
            run.push_back(static_cast<uint16_t>(0xd800 + (point >> 10)));
            run.push_back(static_cast<uint16_t>(0xdc00 + (point & 0x3ff)));
        } else {
            run.push_back(static_cast<uint16_t>(point));
        }
        i += length;
    }
    if (!run.empty()) {
        out += '&';
        appendBase64(run, &out);
        out += '-';
    }
    return out;
}

bool decodeImapFolder(std::string_view encoded, std::string* name) {
    name->clear();
    for (size_t i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (!printable(static_cast<unsigned char>(c))) return false;
        if (c != '&') {
            *name += c;
            continue;
        }
        size_t end = encoded.find('-', i + 1);
        if (end == std::string_view::npos) return false;
        if (end == i + 1) {
            *name += '&';
            i = end;
            continue;
        }
        std::vector<uint16_t> units;
        uint32_t bits = 0;
        int count = 0;
        for (size_t k = i + 1; k < end; ++k) {
            int value = digitValue(encoded[k]);
            if (value < 0) return false;
            bits = (bits << 6) | static_cast<uint32_t>(value);
            count += 6;
            if (count >= 16) {
                count -= 16;
                units.push_back(static_cast<uint16_t>(bits >> count));
                bits &= (1u << count) - 1;
            }
        }
        // What is left over is padding: fewer than six bits, all zero.
        if (count >= 6 || bits != 0 || units.empty() || !appendUnits(units, name)) return false;
        i = end;
    }
    return true;
}

}  // namespace tabulon
