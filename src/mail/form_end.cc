#include "mail/form_end.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdint>

#include "mail/label_shape.h"
#include "platform/text.h"

namespace tabulon {
namespace {

// A sentence most of the file's messages have in one shape, but for a number
// ("The list now has 1285 subscribers."): the tool's.
bool isToolsSentence(const TailLine& line, const FormLayout& layout) {
    return layout.messages() >= 3 && std::count(line.view.begin(), line.view.end(), ' ') >= 3 &&
           std::any_of(line.view.begin(), line.view.end(),
                       [](char c) { return c >= '0' && c <= '9'; }) &&
           layout.sharesShape(line.text);
}

// What follows the form reads as a footer or recurs in most messages. A first
// answer that recurs ("Yes", "Norway") is an answer, unless it reads as a
// footer, and so is a word that recurs right below the text ("Thanks"); a long
// line that recurs below a blank one is the form's own.
bool followsForm(const TailLine& line, const FormLayout& layout,
                 const std::vector<std::string>& fileNames) {
    if (line.note || isFooterLine(line.view)) return true;
    // A few words and the name of a file the message carries: the sending tool's
    // note on it ("Attachment: cv.pdf", "Calendar invite attached (invite.ics).").
    if (!fileNames.empty() && namesFile(line.view, fileNames)) return true;
    // In a paragraph of its own, a mail program's line naming the phone or the
    // program it was sent from, in any language ("Envoyé de mon iPhone"); as the
    // whole of an empty last answer, with its link ("... Android<https://...>").
    if ((line.belowBlank || line.paragraph > 0) && namesSendingDevice(line.view) &&
        (!line.first || line.view.find("://") != std::string_view::npos))
        return true;
    // In a paragraph of its own below the answer: a link's text alone (a button),
    // a line that names the site or says the mail was sent by itself.
    if ((line.belowBlank || line.paragraph > 0) && !line.first &&
        (line.linkOnly || readsAsFooter(line.view)))
        return true;
    // In a paragraph of its own, a time of day beside an IP address ("Received
    // 2027-03-02T17:41:09 from 192.0.2.33"): what the sending script adds.
    if ((line.belowBlank || line.paragraph > 0) && !line.first && holdsTimeOfDay(line.view) &&
        holdsIpAddress(line.view))
        return true;
    // In a paragraph of its own, or below the answer's first line, a stamp the
    // other messages have in the same shape ("Sent 03.04.2024 11:40. This mail
    // was sent by itself.").
    if ((line.belowBlank || line.paragraph > 0 || !line.first) && holdsTimeOfDay(line.view) &&
        layout.sharesShape(line.text))
        return true;
    // In a paragraph of its own, or as the whole of an empty last answer, the
    // tool's sentence.
    if ((line.paragraph > 0 || (line.first && line.belowBlank)) && isToolsSentence(line, layout))
        return true;
    auto blanks = std::count(line.view.begin(), line.view.end(), ' ');
    // Ideographs and kana carry a word or more each, with no blank between them.
    auto isLong = [&] {
        return blanks >= 4 || std::count_if(line.view.begin(), line.view.end(), [](char c) {
                                  return static_cast<unsigned char>(c) >= 0xE3;
                              }) >= 10;
    };
    // Where the last answer is empty, the first line below its label may be the
    // footer that follows the others' answers ("Sent automatically from ...").
    if (line.first && layout.recursUnchanged(line.text) && readsAsFooter(line.view)) return true;
    // ... or, in a paragraph of its own or the same in most messages, a button
    // ("Reply to Priya", "View in your inbox").
    if (line.first && line.linkOnly && (line.belowBlank || layout.recursUnchanged(line.text)) &&
        !isStampOrLink(line.view))
        return true;
    if (line.first && !(line.belowBlank && isLong())) return false;
    if (line.paragraph == 0 && blanks == 0 && !isLong()) return false;
    return layout.isBoilerplate(line.text);
}

// A site's name without its scheme ("shop.example.org/contact"): a word of two
// dots or more, the last part two to six letters, no address.
bool holdsHostName(std::string_view line) {
    for (size_t dot = line.find('.'); dot != line.npos; dot = line.find('.', dot + 1)) {
        size_t start = line.find_last_of(" \t(<", dot);
        start = start == line.npos ? 0 : start + 1;
        size_t end = line.find_first_of(" \t)>/,;", dot);
        if (end == line.npos) end = line.size();
        std::string_view word = line.substr(start, end - start);
        while (word.ends_with('.'))
            word.remove_suffix(1);
        size_t last = word.rfind('.');
        std::string_view top = last == word.npos ? std::string_view() : word.substr(last + 1);
        if (std::count(word.begin(), word.end(), '.') >= 2 && word.find('@') == word.npos &&
            top.size() >= 2 && top.size() <= 6 &&
            std::all_of(top.begin(), top.end(), [](char c) { return c >= 'a' && c <= 'z'; }) &&
            std::all_of(word.begin(), word.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-';
            }))
            return true;
        dot = std::max(dot, end - 1);
    }
    return false;
}

// Whether a line ends as a sentence does: ".", "!" or "?" of any script.
bool endsSentence(std::string_view line) {
    line = trimBlanks(line);
    return line.ends_with('.') || line.ends_with('!') || line.ends_with('?') ||
           line.ends_with("\xEF\xBC\x9F") || line.ends_with("\xEF\xBC\x81") ||
           line.ends_with("\xE3\x80\x82") || line.ends_with("\xD8\x9F");
}

}  // namespace

bool namesSendingDevice(std::string_view line) {
    static constexpr std::string_view kNames[] = {
        "iphone", "ipad",   "ios",    "android", "outlook", "blackberry", "samsung",
        "galaxy", "huawei", "xiaomi", "gmail",   "yahoo",   "aol",        "windows"};
    line = trimBlanks(line);
    if (line.empty() || line.size() > 120 || line.back() == '.' || line.back() == '!' ||
        line.back() == '?')
        return false;
    int words = 0;
    bool named = false;
    for (size_t i = 0; i < line.size();) {
        auto letter = [&](size_t at) {
            unsigned char c = static_cast<unsigned char>(line[at]);
            return std::isalnum(c) || c >= 0x80;
        };
        if (!letter(i)) {
            // A link glued to the last word ("Android<https://...>") ends the line's words.
            if (line[i] == '<' || line.substr(i).starts_with("http")) break;
            ++i;
            continue;
        }
        size_t end = i;
        while (end < line.size() && letter(end))
            ++end;
        ++words;
        std::string_view word = line.substr(i, end - i);
        named = named || std::any_of(std::begin(kNames), std::end(kNames), [&](std::string_view n) {
                    return equalsIgnoringCase(word, n);
                });
        i = end;
    }
    return named && words >= 3 && words <= 7;
}

bool namesFile(std::string_view line, const std::vector<std::string>& fileNames) {
    if (std::count(line.begin(), line.end(), ' ') > 6) return false;
    return std::any_of(fileNames.begin(), fileNames.end(), [line](const std::string& name) {
        return name.size() >= 5 && name.find('.') != name.npos && line.find(name) != line.npos;
    });
}

bool readsAsFooter(std::string_view line) {
    static constexpr std::string_view kMarks[] = {
        "://", "www.", "do not reply", "no-reply", "noreply",
        // "automatic" in most languages of Latin letters: automatisch,
        // automatiquement, automaattisesti, automatycznie, automatikus, ...
        "automa", "autom\xC3\xA1tic",
        "\xE8\x87\xAA\xE5\x8B\x95",                          // "automatic" in Japanese and Chinese
        "\xD8\xAE\xD9\x88\xD8\xAF\xDA\xA9\xD8\xA7\xD8\xB1",  // in Persian
        "\xD8\xAA\xD9\x84\xD9\x82\xD8\xA7\xD8\xA6\xD9\x8A",  // in Arabic
        "\xD0\xB0\xD0\xB2\xD1\x82\xD0\xBE\xD0\xBC\xD0\xB0\xD1\x82\xD0\xB8\xD1\x87\xD0\xB5\xD1\x81"
        "\xD0\xBA",
        "\xE8\x87\xAA\xE5\x8A\xA8",  // "automatic" in simplified Chinese
        "\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xB5\xE0\xA4\x9A\xE0\xA4\xBE\xE0\xA4\xB2\xE0\xA4\xBF\xE0"
        "\xA4\xA4",  // in Hindi
        // "sent via" where the verb ends the sentence: Turkish, Japanese
        "arac\xC4\xB1l\xC4\xB1\xC4\x9F\xC4\xB1yla g\xC3\xB6nderil",
        "\xC3\xBCzerinden g\xC3\xB6nderil", "\xE3\x81\x8B\xE3\x82\x89\xE9\x80\x81\xE4\xBF\xA1",
        "formul",  // a form: formulaire, formulário, Formular, ...
        "\xD9\x86\xD9\x85\xD9\x88\xD8\xB0\xD8\xAC",          // ... in Arabic
        "\xD7\x98\xD7\x95\xD7\xA4\xD7\xA1",                  // in Hebrew
        "\xCF\x86\xCF\x8C\xCF\x81\xCE\xBC",                  // in Greek
        "\xE3\x83\x95\xE3\x82\xA9\xE3\x83\xBC\xE3\x83\xA0",  // in Japanese
        "\xE8\xA1\xA8\xE5\x8D\x95",                          // in simplified Chinese
        "\xE8\xA1\xA8\xE5\x96\xAE",                          // in traditional Chinese
        // "Do not reply" in other languages
        "o responda",                // Spanish, Portuguese: "no responda", "não responda"
        "pas r\xC3\xA9pondre",       // French
        "nicht antworten",           // German
        "non rispondere",            // Italian
        "niet beantwoorden",         // Dutch
        "ie odpowiadaj",             // Polish
        "neodpov\xC3\xAD",           // Czech
        "svara inte",                // Swedish
        "ikke svar",                 // Danish, Norwegian
        "\xC3\xA4l\xC3\xA4 vastaa",  // Finnish, and with its capital
        "\xC3\x84l\xC3\xA4 vastaa",
        "ne v\xC3\xA1laszoljon",                                                      // Hungarian
        "\xD0\xBD\xD0\xB5 \xD0\xBE\xD1\x82\xD0\xB2\xD0\xB5\xD1\x87\xD0\xB0\xD0\xB9",  // Russian
        "yan\xC4\xB1tlamay\xC4\xB1n",                                                 // Turkish
        "\xE8\xBF\x94\xE4\xBF\xA1\xE3\x81\x97\xE3\x81\xAA\xE3\x81\x84",               // Japanese
        "\xE5\x8B\xBF\xE5\x9B\x9E\xE5\xA4\x8D",   // simplified Chinese
        "\xE5\x8B\xBF\xE5\x9B\x9E\xE8\xA6\x86"};  // traditional Chinese
    if (holdsHostName(line)) return true;
    // A line is looked through once: at each byte, only the marks that begin
    // with it are compared.
    static const std::array<uint64_t, 256> kByFirst = [] {
        std::array<uint64_t, 256> byFirst{};
        for (size_t m = 0; m < std::size(kMarks); ++m)
            byFirst[static_cast<unsigned char>(kMarks[m][0])] |= uint64_t{1} << m;
        return byFirst;
    }();
    static_assert(std::size(kMarks) <= 64);
    for (size_t i = 0; i < line.size(); ++i) {
        for (uint64_t marks = kByFirst[static_cast<unsigned char>(asciiLower(line[i]))]; marks != 0;
             marks &= marks - 1) {
            std::string_view mark = kMarks[std::countr_zero(marks)];
            if (line.size() - i >= mark.size() && asciiLower(line[i + 1]) == mark[1] &&
                equalsIgnoringCase(line.substr(i + 2, mark.size() - 2), mark.substr(2)))
                return true;
        }
    }
    return false;
}

bool holdsIpAddress(std::string_view text) {
    // Four numbers of one to three digits parted by dots, no digit or dot around.
    for (size_t dot = text.find('.'); dot != text.npos; dot = text.find('.', dot + 1)) {
        size_t start = dot;
        while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9')
            --start;
        if (dot - start < 1 || dot - start > 3 || (start > 0 && text[start - 1] == '.')) continue;
        size_t at = start, parts = 0;
        while (parts < 4) {
            size_t digits = 0;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
                ++at;
                ++digits;
            }
            if (digits < 1 || digits > 3) break;
            ++parts;
            if (parts < 4 && (at >= text.size() || text[at] != '.')) break;
            if (parts < 4) ++at;
        }
        if (parts == 4 &&
            (at == text.size() || (text[at] != '.' && (text[at] < '0' || text[at] > '9'))))
            return true;
    }
    return false;
}

bool holdsTimeOfDay(std::string_view text) {
    for (size_t colon = text.find(':', 1); colon != text.npos; colon = text.find(':', colon + 1)) {
        if (colon + 1 == text.size()) return false;
        // A digit of one byte (ASCII), two (Arabic, Persian) or three (full width) before it
        bool before = digitLength(text, colon - 1) == 1 ||
                      (colon >= 2 && digitLength(text, colon - 2) == 2) ||
                      (colon >= 3 && digitLength(text, colon - 3) == 3);
        if (before && digitLength(text, colon + 1) > 0) return true;
    }
    return false;
}

bool isStampOrLink(std::string_view value) {
    value = trimBlanks(value);
    if (value.empty()) return false;
    if (value.find(' ') == value.npos &&
        (value.find("://") != value.npos || value.starts_with("www.")))
        return true;
    // "I can be reached 12:30-14:00." is someone's sentence.
    if (isSentence(value)) return false;
    size_t digits = 0, words = 1, letters = 0;
    for (size_t i = 0; i < value.size();) {
        char c = value[i];
        if (size_t length = digitLength(value, i)) {
            ++digits;
            i += length;
            continue;
        }
        letters += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        words += c == ' ' && i > 0 && value[i - 1] != ' ';
        ++i;
    }
    // Room for a weekday's and a month's names: "Donnerstag, 17. Dezember 2026, 09:10".
    // Two times of day are a span someone gave ("de 10:00 a 14:00"), no stamp.
    if (digits < 6 || words > 6 || letters > 20 || !holdsTimeOfDay(value)) return false;
    size_t colon = value.find(':', 1);
    while (colon != value.npos && !holdsTimeOfDay(value.substr(colon - 1, 3)))
        colon = value.find(':', colon + 1);
    if (colon == value.npos) return true;
    // Past the time's minutes and seconds, and a zone's offset ("+01:00", or
    // after seconds "-05:00").
    size_t after = colon + 1, colons = 1;
    auto skipTime = [&] {
        while (after < value.size() &&
               ((value[after] >= '0' && value[after] <= '9') || value[after] == ':'))
            colons += value[after++] == ':';
    };
    skipTime();
    if (after < value.size() && (value[after] == '+' || (value[after] == '-' && colons >= 2))) {
        ++after;
        skipTime();
    }
    return !holdsTimeOfDay(value.substr(after));
}

// Whether the tail's lines from `start` to the note at `note` are the tool's
// block of that note: pairs of a few words, no sentence, right above it, or a
// label above a time stamp.
bool isToolsBlock(const std::vector<TailLine>& tail, size_t start, size_t note) {
    if (note - start == 2 && !bareLabelOf(tail[start].view).empty() &&
        isStampOrLink(tail[start + 1].view))
        return true;
    if (tail[note].belowBlank) return false;
    for (size_t k = start; k < note; ++k) {
        LabelLine pair;
        if (!colonLabelOf(tail[k].view, &pair) || !pair.isShort || pair.value.empty() ||
            endsSentence(pair.value))
            return false;
    }
    return true;
}

std::vector<std::string_view> cutFollowingText(const std::vector<TailLine>& tail,
                                               const FormLayout& layout,
                                               const std::vector<std::string>& fileNames,
                                               std::string* value, bool paragraphsOnly) {
    auto follows = [&](const TailLine& line) { return followsForm(line, layout, fileNames); };
    // Where the last answer is empty, a first paragraph that most messages have
    // unchanged, a line of it a footer's ("Salam," above the shop's name and
    // link), is what follows the others' answers.
    // So is such a paragraph of two lines or more: an answer of several lines
    // that most messages give unchanged is no answer ("Med venlig hilsen" over
    // the sender's name).
    if (!tail.empty() && tail[0].first && tail[0].paragraph == 0) {
        bool recurs = true, footer = false, listed = false;
        size_t lines = 0;
        for (; lines < tail.size() && tail[lines].paragraph == 0 && recurs; ++lines) {
            recurs = layout.recursUnchanged(tail[lines].text);
            footer = footer || readsAsFooter(tail[lines].view);
            listed = listed || tail[lines].text.starts_with("- ") ||
                     tail[lines].text.starts_with("* ") || tail[lines].view != tail[lines].text;
        }
        if (recurs && (footer || (lines >= 2 && !listed))) {
            value->resize(tail[0].from);
            return {};
        }
        // So is a sentence of the tool's alone ("The list now has 1285 subscribers.").
        if ((tail.size() == 1 || tail[1].paragraph > 0) && tail[0].belowBlank &&
            isToolsSentence(tail[0], layout)) {
            value->resize(tail[0].from);
            return {};
        }
    }
    std::vector<std::string_view> doubtful;
    // Below a button that stood below the answer ("View all messages"), nothing
    // is the answer's: the sending tool's lines follow it.
    size_t cut = tail.size();
    for (size_t k = 0; k < tail.size() && !paragraphsOnly; ++k) {
        if (tail[k].dropped) {
            cut = k + 1;  // the button itself is looked at with its paragraph below
            break;
        }
    }
    while (cut > 0) {
        size_t paragraph = tail[cut - 1].paragraph;
        size_t start = cut;
        bool footer = false, named = false;
        while (start > 0 && tail[start - 1].paragraph == paragraph) {
            --start;
            footer = footer || (paragraph > 0 && follows(tail[start]));
            named = named || tail[start].signsOff;
        }
        // Right above the tool's note, the tool's own pairs ("Registered: 143 of
        // 180" over "Manage the event: https://...") or its stamp below its label
        // ("Created" over "11/3/2026 14:03") are its too.
        if (!footer && paragraph > 0 && cut < tail.size() && tail[cut].note &&
            isToolsBlock(tail, start, cut)) {
            cut = start;
            continue;
        }
        // A paragraph the sender signs off with their name is theirs ("The form
        // let me send one photo.", then "Thanks, Jana Nováková").
        if (paragraph == 0 || !footer || named) break;
        // Where markup set no blank line between the answer and what follows
        // it, the answer's own sentences open the paragraph: they stay, as does
        // a sign-off above the footer ("Thanks," over the sender's name).
        size_t first = start;
        while (!follows(tail[first]))
            ++first;
        bool signedOff = first >= start + 2 && tail[first - 2].view.ends_with(',');
        // ... as do lines the file's other messages do not share ("Grüße" above
        // the "Gesendet von" every message has).
        bool own = layout.messages() >= 2;
        for (size_t k = start; k < first && own; ++k)
            own = !layout.isBoilerplate(tail[k].text);
        if (first > start && (endsSentence(tail[first - 1].view) || signedOff || own)) {
            cut = first;
            // In a message the file has no other of, a sentence right above
            // the footer may as well be the tool's ("God bless you.").
            if (layout.messages() <= 1 && !signedOff && !paragraphsOnly)
                doubtful.push_back(tail[first - 1].text);
            break;
        }
        cut = start;
    }
    while (!paragraphsOnly && cut > 0 && follows(tail[cut - 1]))
        --cut;
    // The line right above what follows the form, a word the other messages
    // have unchanged there too, is its title ("Datenschutz" above the consent
    // sentence every message holds).
    if (!paragraphsOnly && cut > 0 && cut < tail.size() && !tail[cut - 1].first &&
        tail[cut - 1].paragraph == tail[cut].paragraph &&
        tail[cut - 1].text.find(' ') == std::string_view::npos &&
        layout.recursUnchanged(tail[cut - 1].text))
        --cut;
    // In a message the file has no other of, a time stamp below the last
    // answer's first line may be the tool's ("Exported 2027-06-14 09:41"), and
    // nothing tells which.
    bool single = layout.messages() <= 1 && !paragraphsOnly;
    for (size_t i = 0; i < cut; ++i) {
        const TailLine& line = tail[i];
        if (line.note || line.dropped) continue;
        if ((line.linkOnly && !isStampOrLink(line.view)) ||
            (holdsTimeOfDay(line.view) && layout.recursInShape(line.text)) ||
            (single && !line.first && holdsTimeOfDay(line.view) && !isSentence(line.view)))
            doubtful.push_back(line.text);
    }
    // In a message the file has no other of, a pair alone in the last paragraph
    // kept ("Status: pending", "Request ID: KR-11873") may be the tool's note
    // or the sender's own words, and nothing tells which; an address to write
    // to is the sender's.
    if (layout.messages() <= 1 && cut > 0) {
        // The pair opens the last paragraph: lines below it may be the tool's too
        // ("Reservation: R-0087", then an instruction to the staff).
        size_t opening = cut - 1;
        while (opening > 0 && tail[opening - 1].paragraph == tail[cut - 1].paragraph)
            --opening;
        const TailLine& last = tail[opening];
        // ... unless the sender asks or signs off below it, in that paragraph.
        bool sendersBelow = false;
        for (size_t k = opening + 1; k < cut; ++k) {
            sendersBelow = sendersBelow || tail[k].signsOff || tail[k].view.ends_with('?') ||
                           tail[k].view.ends_with("\xEF\xBC\x9F");
        }
        LabelLine label;
        if (!last.note && last.paragraph > 0 && !tail[cut - 1].note && !sendersBelow &&
            colonLabelOf(last.view, &label) && label.isShort && !label.value.empty() &&
            !endsSentence(label.value) && label.value.find('@') == std::string_view::npos)
            doubtful.push_back(last.text);
    }
    if (cut < tail.size()) {
        value->resize(tail[cut].from);
        while (!value->empty() && value->back() == '\n')
            value->pop_back();
    }
    return doubtful;
}

}  // namespace tabulon
