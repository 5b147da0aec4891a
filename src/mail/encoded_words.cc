#include "mail/encoded_words.h"

#include <gmime/gmime.h>

#include "mail/charset_text.h"

namespace tabulon {
namespace {

struct EncodedWord {
    size_t end = 0;  // just past its "?="
    std::string_view charset;
    char encoding = 0;  // 'B' or 'Q'
    std::string_view text;
};

// The encoded word that begins at `at` ("=?charset?B?text?="), if there is one.
bool readWord(std::string_view raw, size_t at, EncodedWord* word) {
    size_t charsetEnd = raw.find('?', at + 2);
    if (charsetEnd == std::string_view::npos || charsetEnd == at + 2) return false;
    if (charsetEnd + 3 > raw.size() || raw[charsetEnd + 2] != '?') return false;
    char encoding = static_cast<char>(raw[charsetEnd + 1] & ~0x20);
    if (encoding != 'B' && encoding != 'Q') return false;
    size_t textEnd = raw.find("?=", charsetEnd + 3);
    if (textEnd == std::string_view::npos) return false;
    word->text = raw.substr(charsetEnd + 3, textEnd - charsetEnd - 3);
    if (word->text.find_first_of(" \t") != std::string_view::npos) return false;
    word->charset = raw.substr(at + 2, charsetEnd - at - 2);
    word->charset = word->charset.substr(0, word->charset.find('*'));  // RFC 2231 language
    word->encoding = encoding;
    word->end = textEnd + 2;
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(c & ~0x20);
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

void appendWordBytes(const EncodedWord& word, std::string* bytes) {
    if (word.encoding == 'B') {
        size_t start = bytes->size();
        bytes->resize(start + word.text.size());
        int state = 0;
        guint32 save = 0;
        size_t n = g_mime_encoding_base64_decode_step(
            reinterpret_cast<const unsigned char*>(word.text.data()), word.text.size(),
            reinterpret_cast<unsigned char*>(bytes->data() + start), &state, &save);
        bytes->resize(start + n);
        return;
    }
    for (size_t i = 0; i < word.text.size(); ++i) {
        char c = word.text[i];
        int high = 0, low = 0;
        if (c == '=' && i + 2 < word.text.size() && (high = hexValue(word.text[i + 1])) >= 0 &&
            (low = hexValue(word.text[i + 2])) >= 0) {
            *bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            *bytes += c == '_' ? ' ' : c;
        }
    }
}

bool isBlanks(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// appendHeaderText(), and quoteEncodedWords() when `quoteWords`: then each run
// of words goes out quoted.
bool decodeHeader(std::string_view raw, std::string* out, bool quoteWords) {
    bool clean = true;
    bool inQuotes = false;  // within a quoted string of `raw`
    std::string utf8;
    auto appendText = [&](std::string_view raw) {
        if (!quoteWords) {
            appendUtf8(raw, "", out);
            return;
        }
        utf8.clear();
        appendUtf8(raw, "", &utf8);
        std::string_view text = utf8;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) {
                *out += text[i++];
            } else if (text[i] == '"') {
                inQuotes = !inQuotes;
            }
            *out += text[i];
        }
    };
    // Words in a row of one charset are read together: a character may be split
    // between two of them.
    std::string bytes;
    std::string_view charset;
    std::string decoded;
    auto flush = [&] {
        if (bytes.empty()) return;
        decoded.clear();
        if (!appendUtf8(bytes, charset, quoteWords ? &decoded : out)) clean = false;
        bytes.clear();
        if (!quoteWords) return;
        if (!inQuotes) *out += '"';
        for (char c : decoded) {
            if (c == '"' || c == '\\') *out += '\\';
            *out += c;
        }
        if (!inQuotes) *out += '"';
    };
    bool afterWord = false;
    size_t done = 0;
    for (size_t at = raw.find("=?"); at != std::string_view::npos; at = raw.find("=?", at + 1)) {
        EncodedWord word;
        if (!readWord(raw, at, &word)) continue;
        std::string_view between = raw.substr(done, at - done);
        if (!afterWord || !isBlanks(between) || word.charset != charset) {
            flush();
            if (!afterWord || !isBlanks(between)) appendText(between);
        }
        charset = word.charset;
        appendWordBytes(word, &bytes);
        afterWord = true;
        done = word.end;
        at = word.end - 1;
    }
    flush();
    appendText(raw.substr(done));
    return clean;
}

}  // namespace

bool appendHeaderText(std::string_view raw, std::string* out) {
    return decodeHeader(raw, out, false);
}

std::string quoteEncodedWords(std::string_view raw) {
    std::string out;
    decodeHeader(raw, &out, true);
    return out;
}

}  // namespace tabulon
