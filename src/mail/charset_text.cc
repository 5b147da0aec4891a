#include "mail/charset_text.h"

#include <gmime/gmime.h>
#include <uchardet.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "platform/text.h"
#include "platform/utf8.h"

namespace tabulon {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool isUtf8Name(std::string_view charset) {
    for (std::string_view name : {"utf-8", "utf8", "us-ascii", "ascii"}) {
        if (equalsIgnoringCase(charset, name)) return true;
    }
    return false;
}

// Latin-1 and Windows-1252 by their usual names.
bool isLatin1Name(std::string_view charset) {
    for (std::string_view name :
         {"iso-8859-1", "iso8859-1", "iso_8859-1", "iso_8859-1:1987", "latin1", "l1", "iso-ir-100",
          "cp819", "ibm819", "csisolatin1", "latin-1", "windows-1252", "cp1252", "x-cp1252"}) {
        if (equalsIgnoringCase(charset, name)) return true;
    }
    return false;
}

// Mail named Shift_JIS is read as browsers read it: 0x5C is the backslash and
// 0x7E the tilde (not the yen sign and the overline of JIS X 0201), the
// circled numbers and other marks of Windows' code page 932 are there, and the
// rest is JIS X 0208 (0x8160 the wave dash "〜").
bool isShiftJisName(std::string_view charset) {
    for (std::string_view name :
         {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis", "windows-31j"}) {
        if (equalsIgnoringCase(charset, name)) return true;
    }
    return false;
}

// Converters to UTF-8 that a thread keeps open for the charsets it met last:
// opening one through GMime costs more than converting a form's body.
class Converters {
  public:
    Converters() = default;
    ~Converters() {
        for (Entry& entry : entries_) {
            if (entry.open) g_mime_iconv_close(entry.cd);
        }
    }
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;

    // A converter from `from` in its initial state; (iconv_t)-1 when unknown.
    iconv_t get(const char* from) {
        for (Entry& entry : entries_) {
            if (entry.open && entry.name == from) {
                iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);
                return entry.cd;
            }
        }
        iconv_t cd = g_mime_iconv_open("UTF-8", from);
        if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
        Entry& slot = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        if (slot.open) g_mime_iconv_close(slot.cd);
        slot = Entry{from, cd, true};
        return cd;
    }

  private:
    struct Entry {
        std::string name;
        iconv_t cd = nullptr;
        bool open = false;
    };
    std::array<Entry, 4> entries_;
    size_t next_ = 0;
};

// Converts with iconv, replacing each byte it refuses; false when `from` is unknown.
bool convertWith(std::string_view bytes, const char* from, std::string* out, bool* clean) {
    initGMime();
    static thread_local Converters converters;
    iconv_t cd = converters.get(from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    const size_t start = out->size();
    char buffer[4096];
    // Some converters hold a character back until they know no mark follows to
    // join it (Windows-1255's and -1258's letters): it is asked for at the end
    // of the text and before a refused byte.
    auto flush = [&] {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        out->append(buffer, static_cast<size_t>(outPtr - buffer));
    };
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out->append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: a byte this charset does not have, or a cut sequence.
        flush();
        out->append(kReplacement);
        ++in;
        --inLeft;
        *clean = false;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Only a letter is held back (a Hebrew one, a Latin one under Windows-1258).
    if (!bytes.empty() && (static_cast<unsigned char>(bytes.back()) >= 0x80 ||
                           std::isalpha(static_cast<unsigned char>(bytes.back()))))
        flush();
    // Some converters let through what is not UTF-8 (a lead byte past U+10FFFF
    // under a misspelt "utf-8", say); what comes out must be UTF-8 all the same.
    std::string_view added(out->data() + start, out->size() - start);
    if (!isValidUtf8(added)) {
        gchar* valid = g_utf8_make_valid(added.data(), static_cast<gssize>(added.size()));
        out->resize(start);
        out->append(valid);
        g_free(valid);
        *clean = false;
    }
    return true;
}

}  // namespace

// Text in another charset makes a UTF-8 character now and then by chance (the
// Thai "\xD2\xA1" of Windows-874).
size_t bytesBeyondAscii(std::string_view bytes) {
    size_t other = 0, utf8 = 0;
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
        } else if (size_t length = utf8SequenceLength(bytes, i); length > 1) {
            utf8 += length;
            i += length;
        } else {
            ++other;
            ++i;
        }
    }
    return utf8 >= other ? 0 : other + utf8;
}

namespace {

// Bytes 0x80 to 0x9F are control codes in the ISO charsets (unused in Thai
// TIS-620), letters and marks in the Windows charset of the same script ("Š" in
// Windows-1250): a text in an ISO charset that holds them was written in the
// Windows one.
//
// Romanian text is guessed ISO-8859-16, whose s and t take a comma below where
// Windows-1250 (and ISO-8859-2) give them a cedilla at the same bytes; text that
// names no charset came from the program of a Windows system far more often.
void preferWindowsCharset(std::string_view bytes, std::string* charset) {
    if (*charset == "ISO-8859-16") {
        charset->assign("WINDOWS-1250");
        return;
    }
    constexpr std::pair<std::string_view, std::string_view> kWindowsOfIso[] = {
        {"ISO-8859-2", "WINDOWS-1250"},  {"ISO-8859-7", "WINDOWS-1253"},
        {"ISO-8859-8", "WINDOWS-1255"},  {"ISO-8859-9", "WINDOWS-1254"},
        {"ISO-8859-13", "WINDOWS-1257"}, {"TIS-620", "WINDOWS-874"},
        {"ISO-8859-11", "WINDOWS-874"}};
    for (auto [iso, windows] : kWindowsOfIso) {
        if (*charset != iso) continue;
        if (std::any_of(bytes.begin(), bytes.end(), [](char c) {
                return static_cast<unsigned char>(c) >= 0x80 &&
                       static_cast<unsigned char>(c) < 0xA0;
            }))
            charset->assign(windows);
        return;
    }
}

// The charset of another script or region than Windows-1252's that a text with
// no UTF-8 in it reads best in, as its bytes as a whole tell (Windows-1250 for
// Czech, KOI8-R for Russian), into `charset`; false when none is clear.
bool guessCharset(std::string_view bytes, std::string* charset) {
    if (bytesBeyondAscii(bytes) < kFewestGuessedBytes) return false;
    uchardet_t detector = uchardet_new();
    if (uchardet_handle_data(detector, bytes.data(), bytes.size()) == 0) {
        uchardet_data_end(detector);
        charset->assign(uchardet_get_charset(detector));
    }
    uchardet_delete(detector);
    preferWindowsCharset(bytes, charset);
    std::string_view guess = *charset;
    // The charsets of Chinese, Japanese and Korean take two bytes a letter, which
    // text in another script seldom pairs as they would.
    bool wide = guess == "BIG5" || guess == "GB18030" || guess == "EUC-TW" ||
                guess == "SHIFT_JIS" || guess == "EUC-JP" || guess == "EUC-KR" || guess == "UHC" ||
                guess.starts_with("ISO-2022-");
    bool other = guess.starts_with("WINDOWS-125") || guess.starts_with("ISO-8859-") ||
                 guess.starts_with("KOI8-") || guess == "IBM866" || guess == "MAC-CYRILLIC" ||
                 guess == "TIS-620" || guess == "WINDOWS-874" || wide;
    return other && guess != "WINDOWS-1252" && guess != "ISO-8859-1" && guess != "ISO-8859-15";
}

}  // namespace

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

void appendUndeclaredText(std::string_view bytes, std::string* out) {
    std::string charset;
    const size_t start = out->size();
    bool clean = true;
    if (guessCharset(bytes, &charset) && convertWith(bytes, charset.c_str(), out, &clean) && clean)
        return;
    out->resize(start);
    appendUtf8(bytes, "", out);
}

bool guessFileCharset(std::string_view text, std::string* charset) {
    if (guessCharset(text, charset)) return true;
    charset->clear();
    return false;
}

void readInFileCharset(std::string* text, std::string* fileCharset) {
    if (fileCharset->empty() && !guessCharset(*text, fileCharset)) {
        fileCharset->clear();
        return;
    }
    if (bytesBeyondAscii(*text) == 0) return;
    preferWindowsCharset(*text, fileCharset);
    std::string read;
    bool clean = true;
    if (convertWith(*text, fileCharset->c_str(), &read, &clean) && clean) text->swap(read);
}

std::string charsetOfHtml(std::string_view html) {
    html = html.substr(0, 4096);
    for (std::string_view word : {"charset=", "CHARSET=", "Charset="}) {
        for (size_t at = html.find(word); at != html.npos; at = html.find(word, at + 1)) {
            // Inside a <meta> tag: the last tag opened before it.
            size_t open = html.rfind('<', at);
            if (open == html.npos || !equalsIgnoringCase(html.substr(open, 5), "<meta") ||
                html.find('>', open) < at)
                continue;
            std::string_view name = html.substr(at + word.size());
            while (!name.empty() && (name[0] == '"' || name[0] == '\'' || name[0] == ' '))
                name.remove_prefix(1);
            size_t stop = 0;
            while (stop < name.size() &&
                   (std::isalnum(static_cast<unsigned char>(name[stop])) || name[stop] == '-' ||
                    name[stop] == '_' || name[stop] == ':' || name[stop] == '.'))
                ++stop;
            if (stop > 0 && stop <= 40) return std::string(name.substr(0, stop));
        }
    }
    return {};
}

bool appendUtf8(std::string_view bytes, std::string_view charset, std::string* out) {
    if (charset.empty()) {
        appendValidUtf8(bytes, out);
        return true;
    }
    if (isUtf8Name(charset)) {
        if (isValidUtf8(bytes)) {
            out->append(bytes);
            return true;
        }
        appendValidUtf8(bytes, out);  // mislabelled: most often Latin-1 text
        return false;
    }
    if (isLatin1Name(charset)) {
        // A form script that labels its mail Latin-1 often sends the UTF-8 of its web
        // page: 8-bit text that is well-formed UTF-8 is hardly ever Latin-1.
        if (isValidUtf8(bytes)) {
            out->append(bytes);
            return true;
        }
        // Text labelled Latin-1 is most often Windows-1252 (curly quotes, the euro
        // sign), as mail clients and browsers read it; only the bytes 0x80 to 0x9F
        // differ. Text with a byte Windows-1252 lacks is read in its own charset.
        const size_t start = out->size();
        bool clean = true;
        convertWith(bytes, "CP1252", out, &clean);
        if (clean) return true;
        out->resize(start);
    }
    if (isShiftJisName(charset)) {
        const size_t start = out->size();
        bool clean = true;
        convertWith(bytes, "CP932", out, &clean);
        // Where code page 932 reads a JIS X 0208 character as another one.
        static constexpr std::pair<std::string_view, std::string_view> kJisOfWindows[] = {
            {"\uFF5E", "\u301C"}, {"\u2225", "\u2016"}, {"\uFF0D", "\u2212"},
            {"\uFFE0", "\u00A2"}, {"\uFFE1", "\u00A3"}, {"\uFFE2", "\u00AC"}};
        for (size_t at = out->find_first_of("\xE2\xEF", start); at < out->size();
             at = out->find_first_of("\xE2\xEF", at + 1)) {
            for (auto [windows, jis] : kJisOfWindows) {
                if (out->compare(at, windows.size(), windows) == 0) {
                    out->replace(at, windows.size(), jis);
                    break;
                }
            }
        }
        return clean;
    }
    std::string name(charset);
    bool clean = true;
    if (!convertWith(bytes, name.c_str(), out, &clean)) {
        appendValidUtf8(bytes, out);
        return false;
    }
    return clean;
}

void normalizeLineEnds(std::string* text, char breakMark) {
    if (text->find('\r') == std::string::npos) return;
    size_t marks = 0;
    if (breakMark != '\0') {
        // Marked only where LF alone ends the first line and four line ends in
        // five.
        size_t first = text->find('\n');
        size_t lf = 0;
        if (first != std::string::npos && first > 0 && (*text)[first - 1] != '\r') {
            for (size_t i = first; i != std::string::npos; i = text->find('\n', i + 1))
                ++((*text)[i - 1] == '\r' ? marks : lf);
        }
        if (marks * 4 > lf) marks = 0;
    }
    if (marks == 0) {
        size_t w = 0;
        const size_t n = text->size();
        for (size_t r = 0; r < n; ++r) {
            char c = (*text)[r];
            if (c == '\r') {
                if (r + 1 < n && (*text)[r + 1] == '\n') ++r;
                c = '\n';
            }
            (*text)[w++] = c;
        }
        text->resize(w);
        return;
    }
    // The text grows by the marks: written anew.
    std::string marked;
    marked.reserve(text->size() + marks);
    const size_t n = text->size();
    for (size_t r = 0; r < n; ++r) {
        char c = (*text)[r];
        if (c != '\r') {
            marked += c;
            continue;
        }
        bool pair = r + 1 < n && (*text)[r + 1] == '\n';
        if (pair) ++r;
        marked += '\n';
        if (pair && r + 1 < n && (*text)[r + 1] != '\n') marked += breakMark;
    }
    *text = std::move(marked);
}

}  // namespace tabulon
