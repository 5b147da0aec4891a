#include "mail/label_shape.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdint>

#include "mail/charset_text.h"
#include "platform/text.h"
#include "platform/utf8.h"

namespace tabulon {
namespace {

constexpr std::string_view kFullWidthColon = "\xEF\xBC\x9A";
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

bool isLabelByte(unsigned char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == ' ' || c == '-' || c == '_' || c == '.' ||
           c == '\'' || c == '(' || c == ')' || c == '/' || c == '&' || c == '?' || c == '#' ||
           c == '*' || c == ',' || c == '+' || c == '"';
}

// The words of `text` when every byte may be in a label (and, in a question,
// "!": "Nice to meet you, Lena! Which course?") and single blanks part them;
// -1 when not.
int labelWords(std::string_view text, bool question = false) {
    if (!text.empty() && text[0] >= '0' && text[0] <= '9') text = withoutListNumber(text);
    if (text.empty() || !(isLetter(static_cast<unsigned char>(text[0])) || text[0] == '_'))
        return -1;
    int words = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        // A question may hold "!" ("Hello! Your name?"), and end in Greek's ";".
        if (!isLabelByte(static_cast<unsigned char>(text[i])) &&
            !(question && (text[i] == '!' || (text[i] == ';' && i + 1 == text.size()))))
            return -1;
        if (text[i] == ' ') {
            if (text[i - 1] == ' ') return -1;
            ++words;
        }
    }
    return text.back() == ' ' ? -1 : words;
}

// `label` without the blanks, dot leaders ("Name.......") and underscores that pad
// it to its colon.
[[gnu::noinline]] std::string_view withoutPaddingMarks(std::string_view label) {
    for (;;) {
        size_t before = label.size();
        if (label.ends_with(kNoBreakSpace)) label.remove_suffix(kNoBreakSpace.size());
        while (!label.empty() && (label.back() == ' ' || label.back() == '\t'))
            label.remove_suffix(1);
        if (label.ends_with("..") || label.ends_with("__")) {
            while (!label.empty() && (label.back() == '.' || label.back() == '_'))
                label.remove_suffix(1);
        }
        if (label.size() == before) return label;
    }
}

// Most labels end with a letter: only the others are looked at further.
inline std::string_view withoutPadding(std::string_view label) {
    if (label.empty()) return label;
    char last = label.back();
    if (last != ' ' && last != '\t' && last != '.' && last != '_' && last != '\xA0') return label;
    return withoutPaddingMarks(label);
}

// Marks that set a label apart: "**Name**", "--- Name ---", "Name*" (required).
bool isMark(char c) {
    return c == '*' || c == '_' || c == '-' || c == '=' || c == '#' || c == '~';
}

bool startsBlank(std::string_view text) {
    return text.empty() || text[0] == ' ' || text[0] == '\t' || text.starts_with(kNoBreakSpace);
}

bool mayBeBlank(char c) {
    return c == ' ' || c == '\t' || c == '\xC2' || c == '\xA0';
}

[[gnu::noinline]] std::string_view trimAllBlanks(std::string_view text) {
    for (;;) {
        std::string_view trimmed = trimBlanks(text);
        if (trimmed.starts_with(kNoBreakSpace)) trimmed.remove_prefix(kNoBreakSpace.size());
        if (trimmed.ends_with(kNoBreakSpace)) trimmed.remove_suffix(kNoBreakSpace.size());
        if (trimmed.size() == text.size()) return text;
        text = trimmed;
    }
}

// Most texts have no blank at either end: only those are looked at further.
inline std::string_view trimAll(std::string_view text) {
    if (text.empty() || (!mayBeBlank(text.front()) && !mayBeBlank(text.back()))) return text;
    return trimAllBlanks(text);
}

}  // namespace

bool colonLabelOf(std::string_view line, LabelLine* out, int maxWords) {
    // A label's colon comes within its first 120 bytes; in a script of two or
    // three bytes to a letter, within its first 120 letters.
    bool wideScript = !line.empty() && static_cast<unsigned char>(line[0]) >= 0xC0;
    size_t reach = (wideScript ? 3 : 1) * kMaxLabelBytes;
    std::string_view head = line.substr(0, reach + kFullWidthColon.size() + 1);
    size_t ascii = head.find(':');
    size_t wide = head.find('\xEF') == head.npos ? head.npos : head.find(kFullWidthColon);
    size_t colon = std::min(ascii, wide);
    if (colon == std::string_view::npos || colon == 0 || colon > reach) return false;
    if (colon > kMaxLabelBytes && charsIn(line.substr(0, colon)) > kMaxLabelBytes) return false;
    size_t after = colon + (colon == wide ? kFullWidthColon.size() : 1);
    std::string_view rest = line.substr(after);
    if (colon == ascii && !startsBlank(rest)) {
        if (rest[0] == '-' && startsBlank(rest.substr(1))) {
            // ":-" parts them as a colon does ("Name :- Ann", as Indian English
            // writes it).
            ++after;
            rest.remove_prefix(1);
        } else if (line[colon - 1] != ' ' || rest.size() < 2 ||
                   !(std::isalnum(static_cast<unsigned char>(rest[0])) ||
                     static_cast<unsigned char>(rest[0]) >= 0xC0 || rest[0] == '+')) {
            // A colon with a blank before it may have none after ("Last Name
            // :Berg", as a hand-typed mapping writes it); one inside a word
            // ("10:30") opens nothing.
            return false;
        }
    }
    // French typography sets a blank (often a no-break one) before the colon;
    // forms that align their values pad the label with blanks or dot leaders.
    std::string_view name = withoutPadding(line.substr(0, colon));
    int words = labelWords(name);
    if (words < 0) return false;
    // A question mark ends a question; one inside the name ends a sentence
    // ("Where is my parcel? Tracking: none").
    if (size_t mark = name.find("? "); mark != name.npos) return false;
    bool question = name.back() == '?' && words <= kMaxLabelWords;
    if (words > maxWords && !question) return false;
    out->label = line.substr(0, after);
    out->value = trimAll(rest);
    out->isShort = words <= kShortLabelWords || question;
    return true;
}

namespace {

// A pair on one line whose label `name` is of at most kMaxLabelWords words.
bool shortPair(std::string_view name, std::string_view label, std::string_view value, bool question,
               LabelLine* out) {
    int words = labelWords(name, question);
    if (words <= 0 || words > kMaxLabelWords || value.empty()) return false;
    out->label = label;
    out->value = value;
    out->isShort = true;
    return true;
}

}  // namespace

bool withoutEmphasis(std::string_view line, std::string* out) {
    for (std::string_view mark : {"**", "__", "*"}) {
        if (!line.starts_with(mark) || line.size() <= mark.size() * 2) continue;
        size_t close = line.find(mark, mark.size());
        if (close == line.npos || close == mark.size()) return false;
        std::string_view inner = trimBlanks(line.substr(mark.size(), close - mark.size()));
        std::string_view after = line.substr(close + mark.size());
        if (mark == "*" && after.starts_with('*')) return false;
        if (inner.empty()) return false;
        std::string_view rest = trimBlanks(after);
        *out = inner;
        if (rest.empty()) return true;
        if (!inner.ends_with(':') && !rest.starts_with(':') && !rest.starts_with("\xEF\xBC\x9A")) {
            out->clear();
            return false;
        }
        if (!rest.starts_with(':') || after.starts_with(' ')) *out += ' ';
        *out += rest;
        return true;
    }
    return false;
}

bool isLabelAlone(std::string_view line) {
    line = trimAll(line);
    std::string plain;
    if (withoutEmphasis(line, &plain)) {
        // "**Name**": a label in emphasis needs no colon.
        if (!plain.ends_with(':') && !plain.ends_with(kFullWidthColon))
            return !bareLabelOf(plain).empty();
        line = plain;
    }
    LabelLine label;
    return colonLabelOf(line, &label, kShortLabelWords) && label.value.empty();
}

bool questionPairOf(std::string_view line, LabelLine* out) {
    std::string_view head = line.substr(0, kMaxLabelBytes + 1);
    size_t mark = head.find('?');
    size_t after = mark + 1;
    if (size_t wide = head.find("\xEF\xBC\x9F"); wide < mark) {
        mark = wide;
        after = wide + 3;
    }
    if (mark == std::string_view::npos || mark == 0 || after >= line.size() ||
        (line[after] != ' ' && line[after] != '\t'))
        return false;
    return shortPair(line.substr(0, mark), line.substr(0, after), trimAll(line.substr(after)), true,
                     out);
}

bool leaderPairOf(std::string_view line, LabelLine* out) {
    std::string_view head = line.substr(0, kMaxLabelBytes + 1);
    size_t leader = std::min(head.find("..."), head.find("\xE2\x80\xA6"));
    if (leader == std::string_view::npos || leader == 0) return false;
    size_t after = line.find_first_not_of(". ", leader);
    while (after != std::string_view::npos && line.substr(after).starts_with("\xE2\x80\xA6"))
        after = line.find_first_not_of(". ", after + 3);
    if (after == std::string_view::npos) return false;
    std::string_view value = trimAll(line.substr(after));
    if (value.starts_with(':')) value = trimAll(value.substr(1));
    return shortPair(trimAll(line.substr(0, leader)), line.substr(0, leader), value, false, out);
}

bool tableRowOf(std::string_view line, LabelLine* out) {
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    // Three cells of text or more make a row of columns (a pasted log, a
    // spreadsheet's lines), no label and its value.
    size_t cells = 0;
    for (size_t from = 0; from <= line.size() && cells < 3;) {
        size_t end = std::min(line.find('\t', from), line.size());
        cells += !trimAll(line.substr(from, end - from)).empty();
        from = end + 1;
    }
    if (cells >= 3) return false;
    std::string_view cell = trimAll(line.substr(0, tab));
    std::string_view name = cell;
    if (name.ends_with(':')) name.remove_suffix(1);
    if (name.ends_with(kFullWidthColon)) name.remove_suffix(kFullWidthColon.size());
    name = trimAll(name);
    int words = labelWords(name, endsQuestion(name));
    if (words < 0 || words > kMaxLabelWords || cell.size() > 200) return false;
    out->label = cell;
    // A cell that holds only the colon may stand between label and value.
    std::string_view value = trimAll(line.substr(tab + 1));
    if (value.starts_with(':')) value = trimAll(value.substr(1));
    if (value.starts_with(kFullWidthColon)) value = trimAll(value.substr(kFullWidthColon.size()));
    out->value = value;
    return true;
}

std::string_view bareLabelOf(std::string_view line) {
    if (line.size() > kMaxLabelBytes || line.empty()) return {};
    char last = line.back();
    if (last == '.' || last == ',' || (last == ';' && !endsQuestion(line))) return {};
    // The ideographic full stop and comma, and the full-width comma.
    if (static_cast<unsigned char>(last) >= 0x80 &&
        (line.ends_with("\xE3\x80\x82") || line.ends_with("\xE3\x80\x81") ||
         line.ends_with("\xEF\xBC\x8C")))
        return {};
    if (line.find(kFullWidthColon) != std::string_view::npos) return {};
    bool question = endsQuestion(line);
    int words = labelWords(line, question);
    if (words < 0) return {};
    // A survey's question may be long: "Which of the following have you used in
    // the past 12 months? (Select all that apply)".
    bool asks = question && words <= kMaxLabelWords + 4;
    return words > kBareLabelWords && !asks ? std::string_view() : line;
}

bool endsQuestion(std::string_view text) {
    if (text.ends_with(')') && text.rfind(" (") != text.npos)
        text = text.substr(0, text.rfind(" ("));
    // "?", the full-width "？" of Chinese and Japanese, the Arabic "؟", and
    // Greek's ";" (U+037E, or the semicolon after a Greek letter).
    if (text.ends_with(';') && text.size() >= 3) {
        auto lead = static_cast<unsigned char>(text[text.size() - 3]);
        if (lead == 0xCE || lead == 0xCF) return true;
    }
    return text.ends_with('?') || text.ends_with("\xEF\xBC\x9F") || text.ends_with("\xD8\x9F") ||
           text.ends_with("\xCD\xBE");
}

std::string_view headingLabelOf(std::string_view line) {
    auto isMark = [](char c) { return c == '-' || c == '=' || c == '*' || c == '#' || c == '~'; };
    if (line.size() < 6 || !isMark(line[0]) || line[1] != line[0] || line.back() != line[0])
        return {};
    size_t start = line.find_first_not_of(line[0]);
    size_t end = line.find_last_not_of(line[0]);
    if (start == line.npos || line[start] != ' ' || line[end] != ' ') return {};
    std::string_view name = trimAll(line.substr(start, end - start + 1));
    // A step of the form may be named after its number ("=== Step 2: Event ===").
    int words = 0;
    for (size_t from = 0; from <= name.size() && words >= 0;) {
        size_t colon = std::min(name.find(':', from), name.size());
        int part = labelWords(trimAll(name.substr(from, colon - from)));
        words = part < 0 ? -1 : words + part;
        from = colon + 1;
    }
    return words < 1 || words > kMaxLabelWords ? std::string_view() : name;
}

LabelKind labelOf(std::string_view line, LabelLine* out) {
    if (std::string_view heading = headingLabelOf(line); !heading.empty()) {
        *out = {heading, {}};
        return LabelKind::kHeading;
    }
    if (colonLabelOf(line, out, kMaxLabelWords)) return LabelKind::kColon;
    if (tableRowOf(line, out)) return LabelKind::kTableRow;
    if (!bareLabelOf(line).empty()) {
        *out = {line, {}};
        return LabelKind::kBare;
    }
    return LabelKind::kNone;
}

size_t otherDigitLength(std::string_view text, size_t at) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0xC0) return 0;
    size_t length = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (at + length > text.size()) return 0;
    gunichar letter = g_utf8_get_char_validated(text.data() + at, static_cast<gssize>(length));
    return letter < 0x110000 && g_unichar_isdigit(letter) ? length : 0;
}

bool isSentence(std::string_view text) {
    text = trimAll(text);
    if (text.empty()) return false;
    char last = text.back();
    if (last != '.' && last != '!' && last != '?') {
        // The full stops and question marks of other scripts: the danda of
        // Devanagari and Bengali, Arabic's "؟", Urdu's "۔", Armenian's "։",
        // Ethiopic's "።", Burmese's "။"; with three words, as above.
        static constexpr std::string_view kEnds[] = {"\xE0\xA5\xA4", "\xE0\xA5\xA5", "\xD8\x9F",
                                                     "\xDB\x94",     "\xD6\x89",     "\xE1\x8D\xA2",
                                                     "\xE1\x81\x8B"};
        if (static_cast<unsigned char>(last) < 0x80 ||
            std::none_of(std::begin(kEnds), std::end(kEnds),
                         [&](std::string_view end) { return text.ends_with(end); }))
            return false;
    }
    // A time of day's "p. m." ends no sentence ("19/01/2026 6:54 p. m.").
    for (std::string_view meridiem : {" a. m.", " p. m.", " a.m.", " p.m."}) {
        if (text.size() > meridiem.size() &&
            equalsIgnoringCase(text.substr(text.size() - meridiem.size()), meridiem) &&
            text[text.size() - meridiem.size() - 1] >= '0' &&
            text[text.size() - meridiem.size() - 1] <= '9')
            return false;
    }
    int words = 1;
    for (size_t i = 1; i < text.size(); ++i)
        words += text[i] == ' ' && text[i - 1] != ' ';
    return words >= 3;
}

bool isMarkShaped(std::string_view line) {
    if (line.size() < 3 || line.size() > 40) return false;
    char first = line.front(), last = line.back();
    return ((first == '(' && last == ')') || (first == '[' && last == ']') ||
            (first == '{' && last == '}') || (first == '_' && last == '_') ||
            (first == '*' && last == '*')) &&
           line.find('\n') == line.npos && std::count(line.begin(), line.end(), ' ') <= 2;
}

bool isRuleLine(std::string_view line) {
    line = trimAll(line);
    size_t marks = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        // Lines drawn with the dashes and box-drawing bars of other scripts:
        // U+2014, U+2015, U+2500, U+2501, U+2550.
        std::string_view rest = line.substr(i);
        if (rest.starts_with("\xE2\x80\x94") || rest.starts_with("\xE2\x80\x95") ||
            rest.starts_with("\xE2\x94\x80") || rest.starts_with("\xE2\x94\x81") ||
            rest.starts_with("\xE2\x95\x90")) {
            ++marks;
            i += 2;
        } else if (c == '-' || c == '_' || c == '=' || c == '*' || c == '~' || c == '#') {
            ++marks;
        } else if (c != ' ' && c != '+') {  // "-----+-----": where columns meet
            return false;
        }
    }
    return marks >= 3;
}

bool isFooterLine(std::string_view line) {
    static constexpr std::string_view kOpenings[] = {
        "sent via ",
        "sent by ",
        "sent from ",
        "sent using ",
        "this e-mail was ",
        "this email was ",
        "this message was ",
        "this mail was ",
        "this notification ",
        "powered by",
        "view all responses",
        "edit this form",
        "view response",
        "view submission",
        "view the submission",
        "edit submission",
        "you received this ",
        "you are receiving ",
        "to unsubscribe",
        "unsubscribe",
        "manage notifications",
        "mark as spam",
        "please do not reply",
        "do not reply to this",
        // "Sent via", "sent from" in other languages, a blank after each so
        // that a label ("Enviado por: Ann") is none
        "sendt via ",
        "sendt fra ",
        "skickat via ",
        "skickat fr\xc3\xa5n ",
        "gesendet \xc3\xbc"
        "ber ",
        "gesendet mit ",
        "envoy\xc3\xa9 via ",
        "envoy\xc3\xa9 depuis ",
        "enviado desde ",
        "enviado via ",
        "inviato da ",
        "inviato tramite ",
        "verzonden via ",
        "verstuurd via ",
        "wys\xc5\x82"
        "ano z ",
        "wys\xc5\x82"
        "ano przez ",
        "odesl\xc3\xa1no z ",
        "poslano iz ",
        "poslano z ",
        "poslato sa ",
        "trimis din ",
    };
    static_assert(std::ranges::none_of(kOpenings, [](std::string_view o) { return o.empty(); }),
                  "each opening is compared by its first character");
    static_assert(std::size(kOpenings) <= 64);
    // The openings by their first letter: most lines begin with none of them.
    static const std::array<uint64_t, 256> kByFirst = [] {
        std::array<uint64_t, 256> byFirst{};
        for (size_t o = 0; o < std::size(kOpenings); ++o)
            byFirst[static_cast<unsigned char>(kOpenings[o][0])] |= uint64_t{1} << o;
        return byFirst;
    }();
    line = trimAll(line);
    // Marks around the line: "(Sent from ...)", "_Sent via ..._" (Markdown's italics).
    while (!line.empty() && (line[0] == '(' || line[0] == '[' || line[0] == '_' || line[0] == '*'))
        line.remove_prefix(1);
    if (line.empty()) return false;
    for (uint64_t openings = kByFirst[static_cast<unsigned char>(asciiLower(line[0]))];
         openings != 0; openings &= openings - 1) {
        std::string_view opening = kOpenings[std::countr_zero(openings)];
        if (line.size() >= opening.size() &&
            equalsIgnoringCase(line.substr(0, opening.size()), opening))
            return true;
    }
    return false;
}

std::string tidyLabel(std::string_view label) {
    std::string_view colon;
    if (label.ends_with(':')) colon = ":";
    if (label.ends_with(kFullWidthColon)) colon = kFullWidthColon;
    std::string_view name = label.substr(0, label.size() - colon.size());
    std::string_view tidy = withoutPadding(name);
    if (name.size() - tidy.size() <= 1 && !name.ends_with('\t')) return std::string(label);
    if (name.size() - tidy.size() == kNoBreakSpace.size() && name.ends_with(kNoBreakSpace))
        return std::string(label);
    return std::string(tidy) + std::string(colon);
}

std::string_view withoutListNumber(std::string_view label) {
    size_t digits = 0;
    while (digits < label.size() && digits < 3 && label[digits] >= '0' && label[digits] <= '9')
        ++digits;
    if (digits > 0 && digits + 1 < label.size() && (label[digits] == '.' || label[digits] == ')') &&
        label[digits + 1] == ' ')
        label.remove_prefix(digits + 2);
    // An arrow after the number: "1 → Your name?".
    else if (digits > 0 && label.substr(digits).starts_with(" \xE2\x86\x92 "))
        label.remove_prefix(digits + 5);
    // A survey's place in its questions: "2/4 What did you like best?".
    else if (digits > 0 && digits + 2 < label.size() && label[digits] == '/') {
        size_t end = digits + 1;
        while (end < label.size() && end < digits + 4 && label[end] >= '0' && label[end] <= '9')
            ++end;
        if (end > digits + 1 && end < label.size() && label[end] == ' ')
            label.remove_prefix(end + 1);
    }
    return label;
}

std::string_view withoutLabelMark(std::string_view line) {
    // Every mark below begins with one of these bytes; most lines begin with none.
    if (line.empty() || static_cast<unsigned char>(line[0]) < 0xE2) return line;
    // A pictograph before the label, as chat relays write it: "👤 *Name:* Ann",
    // "☎️ Phone: ..." (U+1F000 to U+1FFFF, U+2600 to U+27BF, a variation selector).
    auto byte = [&](size_t i) { return static_cast<unsigned char>(line[i]); };
    // Check marks and ballot boxes (U+2713, U+2714, U+2610 to U+2612) mark
    // chosen answers, not labels.
    bool ticks = line.size() >= 3 && byte(0) == 0xE2 &&
                 ((byte(1) == 0x9C && (byte(2) == 0x93 || byte(2) == 0x94)) ||
                  (byte(1) == 0x98 && byte(2) >= 0x90 && byte(2) <= 0x92));
    if (line.size() > 5 && !ticks &&
        (line.starts_with("\xF0\x9F") || (byte(0) == 0xE2 && byte(1) >= 0x98 && byte(1) <= 0x9E))) {
        std::string_view rest = line.substr(line[0] == '\xE2' ? 3 : 4);
        if (rest.starts_with("\xEF\xB8\x8F")) rest.remove_prefix(3);
        if (rest.starts_with(' ')) return trimAll(rest);
    }
    // 【Label】
    if (line.starts_with("\xE3\x80\x90") && line.ends_with("\xE3\x80\x91") && line.size() > 6)
        return trimAll(line.substr(3, line.size() - 6));
    // U+25A0, U+25A1, U+25CF, U+25C6, U+25C7, U+25B6, U+25BC, U+25B8, U+25BA, U+203B
    for (std::string_view mark :
         {"\xE2\x96\xA0", "\xE2\x96\xA1", "\xE2\x97\x8F", "\xE2\x97\x86", "\xE2\x97\x87",
          "\xE2\x96\xB6", "\xE2\x96\xBC", "\xE2\x96\xB8", "\xE2\x96\xBA"}) {
        if (line.starts_with(mark) && line.size() > mark.size()) {
            line.remove_prefix(mark.size());
            // and the same mark closing it: "◆Label◆"
            if (line.ends_with(mark) && line.size() > mark.size()) line.remove_suffix(mark.size());
            while (line.starts_with("\xE3\x80\x80"))
                line.remove_prefix(3);
            return trimAll(line);
        }
    }
    return line;
}

std::vector<std::string_view> labelWordsOf(std::string_view label) {
    std::vector<std::string_view> words;
    auto isPunctuation = [](std::string_view rest) -> size_t {
        if (rest.empty()) return 0;
        char c = rest[0];
        if (c == ' ' || c == ',' || c == '?' || c == '!' || c == ':' || c == '(' || c == ')' ||
            c == '.' || c == '\t')
            return 1;
        // ¿ ¡ and the full-width colon, comma and question mark.
        for (std::string_view mark :
             {"\xC2\xBF", "\xC2\xA1", "\xEF\xBC\x9A", "\xEF\xBC\x8C", "\xEF\xBC\x9F"}) {
            if (rest.starts_with(mark)) return mark.size();
        }
        return 0;
    };
    size_t start = 0;
    for (size_t i = 0; i <= label.size();) {
        size_t mark = i < label.size() ? isPunctuation(label.substr(i)) : 1;
        if (mark == 0) {
            ++i;
            continue;
        }
        if (i > start) words.push_back(label.substr(start, i - start));
        i += mark;
        start = i;
    }
    return words;
}

bool isSameQuestion(const std::vector<std::string_view>& a,
                    const std::vector<std::string_view>& b) {
    size_t shorter = std::min(a.size(), b.size());
    size_t prefix = 0, suffix = 0;
    while (prefix < shorter && equalsIgnoringCase(a[prefix], b[prefix]))
        ++prefix;
    while (suffix < shorter - prefix &&
           equalsIgnoringCase(a[a.size() - 1 - suffix], b[b.size() - 1 - suffix]))
        ++suffix;
    size_t aOwn = a.size() - prefix - suffix, bOwn = b.size() - prefix - suffix;
    if (aOwn == 0 || bOwn == 0 || aOwn > 2 || bOwn > 2 || prefix + suffix < 2) return false;
    auto capitalised = [](std::string_view word) {
        unsigned char c = static_cast<unsigned char>(word[0]);
        return (c >= 'A' && c <= 'Z') || c >= 0xC3;
    };
    for (size_t i = prefix; i < prefix + aOwn; ++i) {
        if (!capitalised(a[i])) return false;
    }
    for (size_t i = prefix; i < prefix + bOwn; ++i) {
        if (!capitalised(b[i])) return false;
    }
    return true;
}

std::string labelKey(std::string_view label) {
    std::string key;
    labelKey(label, &key);
    return key;
}

void labelKey(std::string_view label, std::string* key) {
    for (;;) {
        std::string_view before = label;
        label = withoutPadding(trimAll(label));
        if (!label.empty() && (label[0] == '\xE2' || label[0] == '\xE3' || label[0] == '\xF0'))
            label = withoutLabelMark(label);
        if (label.ends_with(':')) label.remove_suffix(1);
        // The full-width colon, and the Ethiopic and Khmer ones.
        if (!label.empty() && static_cast<unsigned char>(label.back()) >= 0x80 &&
            (label.ends_with(kFullWidthColon) ||
             std::any_of(std::begin(kScriptColons), std::end(kScriptColons),
                         [&](std::string_view colon) { return label.ends_with(colon); })))
            label.remove_suffix(3);
        while (!label.empty() && isMark(label.back()))
            label.remove_suffix(1);
        while (!label.empty() && isMark(label.front()))
            label.remove_prefix(1);
        if (!label.empty() && label[0] >= '0' && label[0] <= '9') label = withoutListNumber(label);
        // A script's key in brackets, as print_r() shows it: "[email]".
        if (label.size() > 2 && label.front() == '[' &&
            label.find_first_of("[]", 1) == label.size() - 1)
            label = label.substr(1, label.size() - 2);
        if (label.size() == before.size()) break;
        // Most labels lose a colon and are left a word of letters at each end,
        // which nothing above changes again.
        auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
        if (!label.empty() && letter(label[0]) &&
            (letter(label.back()) || (label.back() >= '0' && label.back() <= '9')))
            break;
    }
    key->assign(label);
    bool ascii = true;
    for (char& c : *key) {
        c = asciiLower(c);
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    // "ИМЯ" and "Имя", "ÉTAGE" and "Étage" are one label.
    if (!ascii && g_utf8_validate(key->data(), static_cast<gssize>(key->size()), nullptr)) {
        // Letters written as a base and its combining marks ("ọ" as "o" and
        // U+0323, as Windows-1258 text decodes) are the letters they compose.
        if (key->find_first_of("\xCC\xCD") != std::string::npos) {
            gchar* composed = g_utf8_normalize(key->data(), static_cast<gssize>(key->size()),
                                               G_NORMALIZE_DEFAULT_COMPOSE);
            if (composed != nullptr) key->assign(composed);
            g_free(composed);
        }
        gchar* folded = g_utf8_casefold(key->data(), static_cast<gssize>(key->size()));
        key->assign(folded);
        g_free(folded);
        // Romanian's s and t with a comma below, and the same with a cedilla that
        // older charsets and keyboards give them ("Observaţii", "Observații").
        for (size_t at = key->find('\xC5'); at != std::string::npos && at + 1 < key->size();
             at = key->find('\xC5', at + 1)) {
            if ((*key)[at + 1] == '\x9F' || (*key)[at + 1] == '\xA3') {
                (*key)[at + 1] = (*key)[at + 1] == '\x9F' ? '\x99' : '\x9B';
                (*key)[at] = '\xC8';
            }
        }
    }
}

}  // namespace tabulon
