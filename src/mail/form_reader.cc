#include "mail/form_reader.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>

#include "mail/charset_text.h"
#include "mail/form_end.h"
#include "mail/form_lines.h"
#include "mail/label_shape.h"
#include "mail/no_answer_words.h"
#include "mail/structured_body.h"
#include "platform/text.h"
#include "platform/utf8.h"

namespace tabulon {
namespace {

bool mayBeBareLabel(std::string_view line) {
    return !bareLabelOf(line).empty() && !isFooterLine(line) && !isRuleLine(line);
}

// Where a message's labels have no colon and its file gives too few messages to
// learn them, the message's own shape tells them: blocks (runs of lines between
// blank lines) that each begin with a short line, the label above its value,
// or a short block followed by its answer in the next block; failing that, one
// block whose every other line is short, label and value in turn.
std::vector<bool> bareLabelsByShape(const std::vector<FormLine>& lines) {
    std::vector<std::pair<size_t, size_t>> blocks;
    for (size_t i = 0; i < lines.size();) {
        if (lines[i].text.empty()) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < lines.size() && !lines[end].text.empty())
            ++end;
        blocks.emplace_back(i, end);
        i = end;
    }
    std::vector<bool> labels(lines.size(), false);
    size_t led = 0;
    for (size_t b = 0; b < blocks.size(); ++b) {
        auto [start, end] = blocks[b];
        if (!mayBeBareLabel(lines[start].view)) continue;
        if (end - start >= 2) {
            labels[start] = true;
            ++led;
        } else if (b + 1 < blocks.size()) {
            labels[start] = true;
            ++led;
            ++b;  // the answer
        }
    }
    if (led >= 2) return labels;
    labels.assign(lines.size(), false);
    for (auto [start, end] : blocks) {
        if (end - start < 4 || (end - start) % 2 != 0) continue;
        bool alternates = true;
        for (size_t i = start; i < end && alternates; i += 2)
            alternates = mayBeBareLabel(lines[i].view);
        for (size_t i = start; i < end && alternates; i += 2)
            labels[i] = true;
    }
    return labels;
}

// A field's label as the report names it, with one colon.
std::string withColon(std::string_view label) {
    if (label.ends_with(':') || label.ends_with("\xEF\xBC\x9A")) return std::string(label);
    return std::string(label) + ':';
}

// Whether `word` is one word of letters: no blank, digit or mark in it.
[[gnu::noinline]] bool isLettersOnly(std::string_view word) {
    if (word.size() > 40) return false;
    const char* end = word.data() + word.size();
    for (const char* at = word.data(); at < end; at = g_utf8_next_char(at)) {
        if (!g_unichar_isalpha(g_utf8_get_char(at))) return false;
    }
    return true;
}

bool isFreeText(std::string_view value);

// Whether a value's last line ends in a comma (of Latin, Chinese and Japanese,
// or Arabic script): its sentence goes on below.
bool endsInComma(std::string_view value) {
    return value.ends_with(',') || value.ends_with("\xEF\xBC\x8C") ||
           value.ends_with("\xE3\x80\x81") || value.ends_with("\xD8\x8C");
}

// Whether `line`, at `from` in `value`, reads "Label: answer" of a few words
// each, no list item, right below an answer of one line that is no text.
[[gnu::noinline]] bool isPairBelowAnswer(std::string_view value, size_t from,
                                         std::string_view line) {
    std::string_view above = value.substr(0, from);
    if (above.empty() || above.find('\n') != std::string_view::npos || isFreeText(above) ||
        line.starts_with("- ") || line.starts_with("* "))
        return false;
    LabelLine pair;
    // Below a pair, it is one more row of a grid the answer is ("Staff: good").
    if (colonLabelOf(above, &pair, kShortLabelWords)) return false;
    auto words = [](std::string_view text) {
        return std::count(text.begin(), text.end(), ' ') + 1;
    };
    // One pair to the line: "No: 12 D: 5" is a line of an address.
    return colonLabelOf(line, &pair, kShortLabelWords) && !pair.value.empty() &&
           !isFreeText(pair.value) && words(pair.value) <= 3 && words(pair.label) <= 3 &&
           pair.value.find(':') == std::string_view::npos;
}

// Whether `value` is a number or a sum alone: digits and their separators, a
// currency's sign or code of a few letters before or after ("465,00 EUR", "$12.50").
[[gnu::noinline]] bool isAmount(std::string_view value) {
    size_t first = value.find_first_of("0123456789");
    size_t last = value.find_last_of("0123456789");
    if (first == std::string_view::npos || first > 4 || value.size() - last > 5) return false;
    for (size_t i = first; i <= last; ++i) {
        char c = value[i];
        if (!(c >= '0' && c <= '9') && c != '.' && c != ',' && c != ' ' && c != '\'') return false;
    }
    return true;
}

// `text` without a note of words in brackets at its end ("650 Kč (card)").
std::string_view withoutNote(std::string_view text) {
    size_t note = text.ends_with(')') ? text.rfind(" (") : std::string_view::npos;
    if (note == std::string_view::npos || note == 0 ||
        text.find_first_of("0123456789", note) != std::string_view::npos)
        return text;
    return text.substr(0, note);
}

// "Words: sum", the sum after the line's last colon.
[[gnu::noinline]] bool isBreakdownLine(std::string_view line) {
    size_t colon = line.rfind(": ");
    return colon != std::string_view::npos && colon > 0 &&
           isAmount(trimBlanks(line.substr(colon + 2)));
}

// Whether `value` is a reference of ASCII letters and digits, one word with a
// digit in it ("KR-2026-11873", "#A7731").
[[gnu::noinline]] bool isReference(std::string_view value) {
    if (value.size() > 40 || value.find_first_of("0123456789") == std::string_view::npos)
        return false;
    for (char c : value) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '/' &&
            c != '#' && c != '.')
            return false;
    }
    return true;
}

// Whether `line` is a web link alone: "https://..." with no blank in it.
bool isLinkAlone(std::string_view line) {
    return !line.empty() && line[0] == 'h' &&
           (line.starts_with("https://") || line.starts_with("http://")) &&
           line.find(' ') == std::string_view::npos;
}

// Whether a value is free text: one of its lines ends a sentence or a greeting,
// or is long; a name, a list or an address is not.
bool isFreeText(std::string_view value) {
    for (size_t end = value.find('\n'); end != value.npos; end = value.find('\n')) {
        if (end > 0 && isFreeText(value.substr(0, end))) return true;
        value.remove_prefix(end + 1);
    }
    if (value.empty()) return false;
    char last = value.back();
    if (last == '.' || last == '!' || last == '?' || last == ',' || last == ';' || last == ':')
        return true;
    // The full stop, commas, exclamation and question marks of Chinese and
    // Japanese; the danda of Hindi and Bengali, the Arabic question mark, the
    // Urdu, Armenian, Ethiopic, Myanmar and Khmer full stops; the Thai polite particles
    // that end a sentence (ครับ, ค่ะ, คะ).
    if (static_cast<unsigned char>(last) >= 0x80) {
        for (std::string_view mark :
             {"\xE3\x80\x82", "\xE3\x80\x81", "\xEF\xBC\x8C", "\xEF\xBC\x81", "\xEF\xBC\x9F",
              "\xE0\xA5\xA4", "\xD8\x9F", "\xDB\x94", "\xD6\x89", "\xE1\x8D\xA2", "\xE1\x81\x8B",
              "\xE1\x9F\x94", "\xE0\xB8\x84\xE0\xB8\xA3\xE0\xB8\xB1\xE0\xB8\x9A",
              "\xE0\xB8\x84\xE0\xB9\x88\xE0\xB8\xB0", "\xE0\xB8\x84\xE0\xB8\xB0"}) {
            if (std::string_view(value).ends_with(mark)) return true;
        }
    }
    int words = 1;
    for (char c : value)
        words += c == ' ';
    return words >= 6;
}

// How a message's template labels set their colon: "Name : Ann" or "Name: Ann".
// A label written the other way, which nothing vouches for, is no label of that
// form ("Note: ..." in a value of a form that writes "Details : ...").
class ColonStyle {
  public:
    // Most lines are never asked about: a template label's line is only kept
    // (its first few), its style read when a question comes.
    void note(std::string_view text) {
        if (noted_ < kept_.size()) kept_[noted_++] = text;
    }
    // A style no template label of the message has, where two have another.
    bool isForeign(std::string_view text) const {
        std::array<unsigned, kStyles> counts{};
        for (size_t i = 0; i < noted_; ++i)
            ++counts[styleOf(kept_[i])];
        return counts[styleOf(text)] == 0 && *std::max_element(counts.begin(), counts.end()) >= 2;
    }

  private:
    enum Style { kTight, kSpaced, kFullWidth, kOther, kStyles };
    // How a line as the mail shows it parts label and value: a colon ("Name:"),
    // one with a blank before it ("Nom :"), the full-width colon ("名前："), or
    // another separator ("Name => Ann"): whichever comes first.
    static Style styleOf(std::string_view text) {
        size_t colon = text.find(':');
        size_t wide = text.find("\xEF\xBC\x9A");
        size_t other =
            std::min({text.find("=>"), text.find("->"), text.find(" = "), text.find(" | ")});
        if (other < colon && other < wide) return kOther;
        if (wide < colon) return kFullWidth;
        if (colon == text.npos) return kOther;
        return colon > 0 && text[colon - 1] == ' ' ? kSpaced : kTight;
    }
    std::array<std::string_view, 16> kept_;
    size_t noted_ = 0;
};

// Whether a mark holds words (three letters or more) and no digit of any script.
bool holdsNoDigitButWords(std::string_view mark) {
    size_t letters = 0;
    for (size_t i = 0; i < mark.size(); ++i) {
        if (digitLength(mark, i) > 0) return false;
        unsigned char c = static_cast<unsigned char>(mark[i]);
        letters += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0;
    }
    return letters >= 3;
}

// Words alone in round brackets, one line of a sentence's length, the whole of
// an answer.
bool isToolsNote(std::string_view value) {
    return value.size() > 2 && value.size() <= 160 && value.front() == '(' && value.back() == ')' &&
           value.find_first_of("()\n", 1) == value.size() - 1 && holdsNoDigitButWords(value);
}

// What follows a template entry on its line that is the question's own, not an
// answer: the name of the person asked (", Ingrid?", "，王女士？") or a note
// ("(Select all)").
bool isQuestionsOwn(std::string_view rest) {
    // A comma of any script: ",", the full-width "，" and "、", the Arabic "،"
    if (rest.starts_with(',') || rest.starts_with("\xEF\xBC\x8C") ||
        rest.starts_with("\xE3\x80\x81") || rest.starts_with("\xD8\x8C") ||
        (rest.starts_with('(') && rest.ends_with(')')))
        return true;
    // The rest of a question the name only begins: "... in the last 12 months?".
    return endsQuestion(rest) && rest.find('\n') == rest.npos;
}

// The text of a button: a few words, no link, address, file name or number.
bool isButtonText(std::string_view text) {
    if (text.empty() || std::count(text.begin(), text.end(), ' ') > 3) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '@' || text[i] == '.' || text[i] == '/' || text[i] == ':' ||
            digitLength(text, i) > 0)
            return false;
    }
    return true;
}

// A rule of one mark repeated, "-----" or "=====", under a heading.
bool isUnderline(std::string_view line) {
    return line.size() >= 3 && (line[0] == '-' || line[0] == '=' || line[0] == '*') &&
           line.find_first_not_of(line[0]) == std::string_view::npos;
}

// Whether a label of three words or more begins with a small letter: the
// sentence of a text that ends in a colon ("mám zájem o tuto sedačku:"), no
// label of a form.
[[gnu::noinline]] bool isSentenceOpening(std::string_view label) {
    if (label.empty()) return false;
    unsigned char first = static_cast<unsigned char>(label[0]);
    if (first < 0x80 && (first < 'a' || first > 'z')) return false;
    if (std::count(label.begin(), label.end(), ' ') < 2) return false;
    gunichar letter = g_utf8_get_char_validated(label.data(), static_cast<gssize>(label.size()));
    return letter != static_cast<gunichar>(-1) && letter != static_cast<gunichar>(-2) &&
           g_unichar_islower(letter);
}

bool endsWithColon(std::string_view label) {
    return label.ends_with(':') || label.ends_with("\xEF\xBC\x9A");
}

// Whether a field of template entry `entry` has an answer.
[[gnu::noinline]] bool isAnswered(const std::vector<FormField>& fields, int entry) {
    return std::any_of(fields.begin(), fields.end(), [entry](const FormField& field) {
        return field.entry == entry && !field.value.empty();
    });
}

// A link's target that a mail program writes after its text in the text part
// of an HTML mail ("ann@example.org<mailto:ann@example.org>",
// "https://example.org<https://example.org>"), or a chat's markup writes before
// it ("<mailto:ann@example.org|ann@example.org>"): the text alone stays.
[[gnu::noinline]] void dropLinkTargets(std::string* value) {
    std::string kept;
    size_t done = 0;
    for (size_t open = value->find('<'); open != std::string::npos;
         open = value->find('<', open + 1)) {
        size_t close = value->find('>', open);
        if (close == std::string::npos) break;
        std::string_view target = std::string_view(*value).substr(open + 1, close - open - 1);
        if (size_t bar = target.find('|');
            bar != target.npos && bar > 0 &&
            (target.starts_with("mailto:") || target.substr(0, bar).find("://") != target.npos)) {
            kept.append(*value, done, open - done);
            kept.append(target.substr(bar + 1));
            done = close + 1;
            continue;
        }
        if (target.starts_with("mailto:")) target.remove_prefix(7);
        size_t start = value->find_last_of(" \t\n(", open);
        start = start == std::string::npos ? 0 : start + 1;
        std::string_view text = std::string_view(*value).substr(start, open - start);
        if (target.empty() || text != target) continue;
        kept.append(*value, done, open - done);
        done = close + 1;
    }
    if (done == 0) return;
    kept.append(*value, done);
    value->swap(kept);
}

// A key as data writes it: lower-case letters, digits and "_", no digit first
// ("first_name:", "_subject:").
bool isDataKey(std::string_view label) {
    if (label.ends_with(':')) label.remove_suffix(1);
    if (label.empty() || (label[0] >= '0' && label[0] <= '9')) return false;
    for (char c : label) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    }
    return true;
}

// The mark a line has before its label ("■" of "■Name"), as its view shows the
// label without it; empty for none.
std::string_view labelMarkOf(const FormLine& line) {
    std::string_view text = line.text, view = line.view;
    if (text.size() <= view.size() || !text.ends_with(view)) return {};
    return trimBlanks(text.substr(0, text.size() - view.size()));
}

// The numbering a line opens with ("C5. ", "Q5) ", "5. "): up to three letters
// and the mark after the number, which tell one numbering from another, and the
// number.
struct Numbering {
    std::string shape;
    int number = 0;
};
bool numberingOf(std::string_view text, Numbering* out) {
    size_t i = 0;
    while (i < text.size() && i < 3 &&
           ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z')))
        ++i;
    size_t letters = i;
    int number = 0;
    while (i < text.size() && i < letters + 3 && text[i] >= '0' && text[i] <= '9')
        number = number * 10 + (text[i++] - '0');
    if (i == letters || i + 1 >= text.size() || text[i + 1] != ' ' ||
        (text[i] != '.' && text[i] != ')'))
        return false;
    out->shape.assign(text.substr(0, letters));
    out->shape += text[i];
    out->number = number;
    return true;
}

// Counts a label right below a question, whose value is a word or two, as one
// that may be its answer (a grid of ratings: "Speed: Good"). Kept out of the
// reader's loop, which it would make slower to run.
[[gnu::noinline]] void doubtGridRow(const std::string& question, std::string_view value,
                                    std::string_view line, FormText* out) {
    if (!endsQuestion(question) || std::count(value.begin(), value.end(), ' ') >= 3 ||
        std::any_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    if (out->unplacedSamples.size() < kKeptSamples)
        out->unplacedSamples.push_back("a label that may be the answer of " + question + ": \"" +
                                       std::string(line) + "\"");
    ++out->doubtfulLabels;
}

// The length of a ballot box that begins `line`, "☑ ", "☒ ", "[x] " (ticked) or
// "☐ ", "[ ] " (not); 0 when none does.
size_t ballotBox(std::string_view line, bool* ticked) {
    if (line.size() < 4 || line[3] != ' ') return 0;
    if (line[0] == '[' && line[2] == ']' && (line[1] == 'x' || line[1] == 'X' || line[1] == ' ')) {
        *ticked = line[1] != ' ';
        return 4;
    }
    if (!line.starts_with("\xE2\x98")) return 0;
    auto box = static_cast<unsigned char>(line[2]);
    if (box < 0x90 || box > 0x92) return 0;
    *ticked = box != 0x90;
    return 4;
}

// A list of ballot boxes and nothing else: the options ticked, one a line.
bool keepTickedBoxes(std::string* value) {
    std::string ticked;
    for (size_t pos = 0; pos < value->size();) {
        size_t end = std::min(value->find('\n', pos), value->size());
        std::string_view line = std::string_view(*value).substr(pos, end - pos);
        bool on = false;
        size_t box = ballotBox(line, &on);
        if (box == 0) return false;
        if (on) ticked.append(ticked.empty() ? "" : "\n").append(line.substr(box));
        pos = end + 1;
    }
    value->swap(ticked);
    return true;
}

// The length of an arrow that begins `line` ("→", "⇒", "➜", "➔", "-> ", "=> ")
// with the blanks after it; 0 when none does.
size_t arrowLength(std::string_view line) {
    size_t arrow = 0;
    if (line.starts_with("-> ") || line.starts_with("=> ")) {
        arrow = 2;
    } else if (line.starts_with("\xE2\x86\x92") || line.starts_with("\xE2\x87\x92") ||
               line.starts_with("\xE2\x9E\x9C") || line.starts_with("\xE2\x9E\x94")) {
        arrow = 3;
    } else {
        return 0;
    }
    size_t end = line.find_first_not_of(' ', arrow);
    return end == line.npos ? line.size() : end;
}

// An answer set after an arrow ("→ Pottery", "→ Photography" below a question):
// the answer without the arrows.
void dropArrows(std::string* value) {
    std::string plain;
    for (size_t pos = 0; pos < value->size();) {
        size_t end = std::min(value->find('\n', pos), value->size());
        std::string_view line = std::string_view(*value).substr(pos, end - pos);
        if (pos > 0) plain += '\n';
        plain.append(line.substr(arrowLength(line)));
        pos = end + 1;
    }
    while (!plain.empty() && plain.back() == '\n')
        plain.pop_back();
    value->swap(plain);
}

// Gaps of two blanks or more inside `line`.
int columnGaps(std::string_view line) {
    int gaps = 0;
    for (size_t gap = line.find("  "); gap != line.npos; gap = line.find("  ", gap)) {
        ++gaps;
        gap = line.find_first_not_of(' ', gap);
    }
    return gaps;
}

// Whether the lines from `from` open a table written as text: two lines or more,
// each of three columns or more set apart by blanks.
[[gnu::noinline]] bool isTextTable(const std::vector<FormLine>& lines, size_t from) {
    size_t rows = 0;
    for (size_t i = from; i < lines.size() && !lines[i].text.empty(); ++i, ++rows) {
        if (lines[i].continued || columnGaps(lines[i].text) < 2) return false;
    }
    return rows >= 2;
}

// The column just past the colon of a line that reads "Label: value".
size_t colonColumn(const FormLine& line, const LabelLine& label) {
    return line.indent + charsIn(label.label);
}

// Where a template's labels are padded with blanks to one column ("Name      Ann"),
// a line of the same shape is a label too, one the template lacks ("E-mail
// ann@example.com"), or, with nothing after it but blanks to that column, a label
// whose answer is empty. `line` is a trimmed line of `body`.
[[gnu::noinline]] bool isPaddedLabel(std::string_view line, std::string_view body, size_t column,
                                     LabelLine* label) {
    size_t gap = line.rfind("  ");
    if (gap != line.npos) {
        size_t value = line.find_first_not_of(' ', gap);
        if (charsIn(line.substr(0, value)) != column) return false;
        label->label = trimBlanks(line.substr(0, gap));
        label->value = line.substr(value);
    } else {
        const char* end = body.data() + body.size();
        const char* after = line.data() + line.size();
        size_t blanks = 0;
        while (after + blanks < end && after[blanks] == ' ')
            ++blanks;
        if (charsIn(line) + blanks < column) return false;
        label->label = line;
        label->value = {};
    }
    return label->label.size() <= kMaxLabelBytes &&
           std::count(label->label.begin(), label->label.end(), ' ') < kShortLabelWords &&
           !isSentence(label->label);
}

// An answer that Markdown sets in a block of code, between "```" lines (a
// relay's way to keep its line ends): the lines of the block.
void dropCodeFence(std::string* value) {
    if (!value->starts_with("```")) return;
    size_t first = value->find('\n');
    if (first == std::string::npos || value->find(' ', 3) < first) return;
    size_t last = value->rfind('\n');
    if (last > first && std::string_view(*value).substr(last + 1) == "```") value->resize(last);
    value->erase(0, first + 1);
}

// An answer that is a list and nothing else ("- Tool shed", "- Polytunnel"):
// one item a line, as an HTML list gives it, without the marks.
[[gnu::noinline]] void dropListMarks(std::string* value) {
    // Most answers begin with none of the marks' first bytes.
    if (value->empty() || ((*value)[0] != '-' && (*value)[0] != '*' && (*value)[0] != '[' &&
                           (*value)[0] != '=' && (*value)[0] != '\xE2' && (*value)[0] != '\xE3'))
        return;
    if (arrowLength(*value) > 0) return dropArrows(value);
    if (value->size() < 3) return;
    if ((((*value)[0] == '\xE2' && (*value)[1] == '\x98') || (*value)[0] == '[') &&
        keepTickedBoxes(value))
        return;
    std::string_view mark = std::string_view(*value).substr(0, 2);
    if (value->starts_with("\xE2\x80\xA2 ")) {
        mark = "\xE2\x80\xA2 ";
    } else if (value->starts_with("\xE3\x83\xBB")) {
        mark = "\xE3\x83\xBB";  // the Japanese middle dot, no blank after it
    } else if (mark != "- " && mark != "* ") {
        return;
    }
    std::string items;
    for (size_t pos = 0; pos < value->size();) {
        size_t end = value->find('\n', pos);
        if (end == std::string::npos) end = value->size();
        std::string_view line = std::string_view(*value).substr(pos, end - pos);
        if (!line.starts_with(mark)) return;
        if (!items.empty()) items += '\n';
        items.append(trimBlanks(line.substr(mark.size())));
        pos = end + 1;
    }
    value->swap(items);
}

// Whether a line ends in an ideographic comma or full stop, or a full-width comma.
bool endsWithCjkPunctuation(std::string_view line) {
    return line.ends_with("\xE3\x80\x81") || line.ends_with("\xE3\x80\x82") ||
           line.ends_with("\xEF\xBC\x8C");
}

// Whether `line` is the name a field above `last` gave, or its first word.
bool namesSender(const FormText& form, std::string_view line, size_t last) {
    if (line.size() < 2 || line.size() > 60) return false;
    for (size_t i = 0; i < last; ++i) {
        std::string_view name = form.fields[i].value;
        name = name.substr(0, name.find('\n'));
        if (name == line || (name.starts_with(line) && name[line.size()] == ' ')) return true;
    }
    return false;
}

// Whether `line` signs a letter off with the sender's name, or its first word,
// alone or after a greeting of a few words ("Поздрав, Марија").
bool signsOff(const FormText& form, std::string_view line, size_t last) {
    if (size_t comma = line.rfind(", ");
        comma != std::string_view::npos && comma <= 40 &&
        std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(comma), ' ') <= 2)
        line.remove_prefix(comma + 2);
    if (namesSender(form, line, last)) return true;
    // A greeting of a word or two and the name with no comma between ("Mvh Ingrid").
    size_t blank = line.rfind(' ');
    return blank != std::string_view::npos && blank <= 40 &&
           std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(blank), ' ') <= 1 &&
           namesSender(form, line.substr(blank + 1), last);
}

// The sender's name on a line of the last answer, below its first paragraph,
// signs it off ("Vänliga hälsningar", "Johanna", where a field above holds
// "Johanna Lindqvist"): the paragraphs below it are the sending tool's ("I
// agree that my data may be kept.", "Please answer within a day.").
[[gnu::noinline]] void cutBelowSignOff(const FormText& form, std::string* value, size_t last) {
    // The name ends a paragraph other than the first, with one below it.
    size_t first = value->find("\n\n");
    for (size_t below = value->find("\n\n", first + 2); below != std::string::npos;
         below = value->find("\n\n", below + 2)) {
        size_t start = value->rfind('\n', below - 1) + 1;
        if (start > first + 1 &&
            signsOff(form, trimBlanks(std::string_view(*value).substr(start, below - start)),
                     last)) {
            value->resize(below);
            return;
        }
    }
}

}  // namespace

FormReader::FormReader(const FieldList& fields, const FormLayout& layout)
    : fields_(fields), matcher_(fields), layout_(layout) {
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string_view name = trimBlanks(fields_[i]);
        if (name.ends_with(':')) name.remove_suffix(1);
        names_.push_back(name);
        entryWords_.push_back(labelWordsOf(withoutLabelMark(fields_[i])));
        keys_.push_back(labelKey(fields[i]));
        asksQuestions_ = asksQuestions_ || endsQuestion(name);
        Numbering numbering;
        numbered_ = numbered_ || numberingOf(name, &numbering);
        entryKeys_[keys_.back()] = static_cast<int>(i);
    }
}

[[gnu::always_inline]] inline int FormReader::beginningEntry(std::string_view line) const {
    int index = matcher_.match(line.data(), line.size());
    return index >= 0 && matcher_.entryLength(index) > 0 ? index : -1;
}

int FormReader::entryOf(std::string_view line, std::string_view label, std::string_view key) const {
    int index = line.empty() ? -1 : beginningEntry(line);
    if (index >= 0 && matcher_.entryLength(index) <= label.size()) return index;
    auto found = entryKeys_.find(key);
    if (found != entryKeys_.end()) return found->second;
    // ... or that opens with the name and an honorific ("高瀬 美咲様、..." and
    // "森本 蓮様、...", "김민준님, ...").
    bool ascii = std::all_of(key.begin(), key.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    for (std::string_view honorific :
         {"\xE6\xA7\x98", "\xE3\x81\x95\xE3\x82\x93", "\xEB\x8B\x98"}) {
        if (ascii) break;
        size_t at = key.find(honorific);
        if (at == std::string_view::npos || at < 3 || at > 30) continue;
        std::string_view question = key.substr(at);
        if (question.size() < honorific.size() + 6) continue;
        for (size_t i = keys_.size(); i-- > 0;) {
            size_t own = keys_[i].find(honorific);
            if (own != std::string::npos && own >= 3 && own <= 30 &&
                std::string_view(keys_[i]).substr(own) == question)
                return static_cast<int>(i);
        }
    }
    // A question that names the person it asks is the same question whatever
    // the name, which a comma sets apart.
    if (label.find(',') == std::string_view::npos) return -1;
    std::vector<std::string_view> words = labelWordsOf(withoutLabelMark(label));
    if (words.size() < 3) return -1;
    for (size_t i = entryWords_.size(); i-- > 0;) {
        if (entryWords_[i].size() >= 3 && isSameQuestion(words, entryWords_[i]))
            return static_cast<int>(i);
    }
    return -1;
}

void FormReader::entriesOfData(FormText* out) const {
    // A nested key ("submission.data.city") is named by its path or by its last
    // parts ("data.city", "city").
    for (FormField& field : out->fields) {
        std::string_view path = field.label;
        for (;;) {
            field.entry = entryOf(path, path, labelKey(path));
            size_t dot = path.find('.');
            if (field.entry >= 0 || dot == path.npos) break;
            path.remove_prefix(dot + 1);
        }
    }
}

void FormReader::readCsvWhereNoField(std::string_view body, FormText* out) const {
    if (std::any_of(out->fields.begin(), out->fields.end(),
                    [](const FormField& field) { return field.entry >= 0; }))
        return;
    FormText record;
    if (!readCsvRecord(body, &record)) return;
    entriesOfData(&record);
    if (std::none_of(record.fields.begin(), record.fields.end(),
                     [](const FormField& field) { return field.entry >= 0; }))
        return;
    out->fields = std::move(record.fields);
    out->unplacedLines = 0;
    out->unplacedSamples.clear();
}

int FormReader::questionEntry(std::string_view line) const {
    // A question the name begins: "1. How satisfied are you with us? (1-5)" for
    // "How satisfied are you".
    if (!line.ends_with('?') && !line.ends_with(')')) return -1;
    std::string_view question = withoutListNumber(line);
    int index = beginningEntry(question);
    if (index >= 0 && isQuestionsOwn(trimBlanks(question.substr(matcher_.entryLength(index)))))
        return index;
    return -1;
}

[[gnu::noinline]] FormReader::PairStyles FormReader::countPairStyles(
    const std::vector<FormLine>& lines) const {
    PairStyles styles;
    for (const FormLine& line : lines) {
        int index = line.continued || line.text.empty() ? -1 : prefixEntry(line.view);
        if (index < 0) continue;
        size_t length = matcher_.entryLength(index);
        std::string_view rest = trimBlanks(line.view.substr(length));
        if (rest.starts_with("..")) {
            rest = trimBlanks(rest.substr(rest.find_first_not_of('.')));
            styles.leaders += !rest.empty() && !rest.starts_with(':');
        } else {
            styles.questions += !rest.empty() && endsQuestion(line.view.substr(0, length));
        }
    }
    return styles;
}

int FormReader::prefixEntry(std::string_view line) const {
    int index = beginningEntry(line);
    if (index < 0) return -1;
    // A line the template's name begins, with no label of its own: the name
    // stands alone, or a separator follows it ("Name    Ann", "Name\tAnn") or a
    // note of the question's own; "Message from the shop" is no field Message.
    size_t length = matcher_.entryLength(index);
    std::string_view rest = line.substr(length);
    std::string_view trimmed = trimBlanks(rest);
    if (trimmed.empty() || isQuestionsOwn(trimmed) || rest.starts_with('\t') ||
        rest.starts_with("..") || rest.starts_with("  ") || rest.starts_with(':') ||
        rest.starts_with("\xEF\xBC\x9A") ||
        (length > 0 && std::ispunct(static_cast<unsigned char>(line[length - 1]))))
        return index;
    // A name that ends in a mark of another script ("اسم الطالب؛", with the
    // Arabic semicolon that some forms set for a colon).
    if (length > 1 && static_cast<unsigned char>(line[length - 1]) >= 0x80) {
        const char* last = g_utf8_find_prev_char(line.data(), line.data() + length);
        if (last != nullptr && g_unichar_ispunct(g_utf8_get_char_validated(
                                   last, static_cast<gssize>(line.data() + length - last))))
            return index;
    }
    return -1;
}

bool FormReader::opensTemplateField(const std::vector<FormLine>& lines, size_t from) const {
    while (from < lines.size() && lines[from].text.empty())
        ++from;
    if (from == lines.size() || lines[from].continued) return false;
    std::string_view line = lines[from].view;
    LabelLine label;
    if (labelOf(line, &label) == LabelKind::kNone) return false;
    if (label.label.empty()) label.label = line;
    return entryOf(line, label.label, labelKey(label.label)) >= 0;
}

void FormReader::doubtPairs(const std::vector<FormLine>& lines, const std::vector<LabelKind>& kinds,
                            FormText* out) const {
    std::string key;
    size_t previous = std::string_view::npos;  // the run's last template label
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].text.empty()) {
            previous = std::string_view::npos;
            continue;
        }
        if (kinds[i] != LabelKind::kBare || lines[i].continued) continue;
        labelKey(lines[i].view, &key);
        if (entryOf({}, lines[i].view, key) < 0) continue;
        if (previous != std::string_view::npos && i - previous >= 4 && (i - previous) % 2 == 0) {
            bool alternates = true;
            for (size_t j = previous + 2; j < i && alternates; j += 2) {
                alternates = kinds[j] == LabelKind::kBare && !lines[j].continued &&
                             mayBeBareLabel(lines[j].view);
            }
            if (alternates) {
                if (out->unplacedSamples.size() < kKeptSamples) {
                    out->unplacedSamples.push_back(
                        "a line that may be a label the template lacks: \"" +
                        std::string(lines[previous + 2].text) + "\"");
                }
                ++out->doubtfulLabels;
            }
        }
        previous = i;
    }
}

namespace {

// Counts as read with a doubt, in a message the file has no other of, a label
// the template lacks below a template field's free text, whose answer goes on
// with a question ("Length: 220 cm", "Could you tell me the price?"): it may
// be that text going on.
void doubtTextGoingOn(FormText* out) {
    bool afterText = false;
    for (const FormField& field : out->fields) {
        if (field.entry >= 0) afterText = isFreeText(field.value);
        if (field.entry >= 0 || field.note || !afterText) continue;
        size_t end = field.value.find('\n');
        if (end == std::string::npos) continue;
        std::string_view next = std::string_view(field.value).substr(end + 1);
        next = next.substr(0, next.find('\n'));
        if (!isSentence(next) || !next.ends_with('?')) continue;
        if (out->unplacedSamples.size() < kKeptSamples)
            out->unplacedSamples.push_back("a label that may be text going on: \"" +
                                           withColon(field.label) + "\"");
        ++out->doubtfulLabels;
    }
}

// Counts as read with a doubt an answer that is a label alone ("Age of the
// children:"): a question the form left unanswered below one it left
// unanswered too, it may be.
void doubtLabelsAsAnswers(FormText* out) {
    for (const FormField& field : out->fields) {
        if (field.entry < 0 || field.value.empty() || field.value.back() != ':' ||
            field.value.find('\n') != std::string::npos)
            continue;
        LabelLine label;
        if (!colonLabelOf(field.value, &label, kShortLabelWords) || !label.value.empty()) continue;
        if (out->unplacedSamples.size() < kKeptSamples)
            out->unplacedSamples.push_back("an answer that is a label: \"" + field.value + "\"");
        ++out->doubtfulLabels;
    }
}

// "Question: Which day?" over "Answer: Monday", the same two labels over every
// field (three at least): the question is the label, above its answer.
void unfoldQuestionAnswerPairs(std::vector<FormLine>* lines, std::vector<LabelKind>* kinds,
                               const std::vector<LabelLine>& labels) {
    auto isPair = [&](size_t i) {
        return (*kinds)[i] == LabelKind::kColon && (*kinds)[i + 1] == LabelKind::kColon &&
               !(*lines)[i + 1].continued && labels[i].label != labels[i + 1].label &&
               !labels[i].value.empty();
    };
    auto alike = [&](size_t i, size_t j) {
        return labels[i].label == labels[j].label && labels[i + 1].label == labels[j + 1].label;
    };
    // The first pair of a run of alike ones; a pair that begins with the label
    // that ends it (lines of "Label: value" one below the other) stays in it.
    size_t first = lines->size(), count = 0;
    for (size_t i = 0; i + 1 < lines->size() && count < 3; ++i) {
        if (!isPair(i)) continue;
        if (count > 0 && alike(first, i)) {
            ++count;
        } else if (count == 0 || labels[i].label != labels[first + 1].label) {
            first = i;
            count = 1;
        }
    }
    if (count < 3) return;
    for (size_t i = first; i + 1 < lines->size(); ++i) {
        if (!isPair(i) || !alike(first, i)) continue;
        FormLine& question = (*lines)[i];
        FormLine& answer = (*lines)[i + 1];
        question.text = question.view = labels[i].value;
        answer.text = answer.view = labels[i + 1].value;
        LabelLine label;
        (*kinds)[i] = labelOf(question.view, &label);
        if ((*kinds)[i] == LabelKind::kNone) (*kinds)[i] = LabelKind::kBare;
        (*kinds)[i + 1] = LabelKind::kNone;
    }
}

}  // namespace

void FormReader::findLabelsInValues(FormText* out) const {
    size_t read = 0;  // fields of the template read (once each, mostly)
    for (const FormField& field : out->fields)
        read += field.entry >= 0;
    if (read >= names_.size()) return;
    // A label of the template opening a line is read as one; inside a value it
    // opens the value or stands after two blanks, as the second pair of a line.
    auto absentLabelAt = [&](std::string_view value, size_t at) -> std::string_view {
        for (size_t i = 0; i < names_.size(); ++i) {
            std::string_view name = names_[i];
            std::string_view after = value.substr(at);
            if (name.empty() || !after.starts_with(name)) continue;
            after.remove_prefix(name.size());
            if (!after.starts_with(':') && !after.starts_with("\xEF\xBC\x9A")) continue;
            if (std::none_of(out->fields.begin(), out->fields.end(),
                             [&](const FormField& field) { return field.entry == int(i); }))
                return name;
        }
        return {};
    };
    for (const FormField& field : out->fields) {
        std::string_view value = field.value;
        std::string_view found;
        // A second pair stands on the line of the first: the value's first line,
        // or opens it (two labels on one line, the first one's answer empty).
        value = value.substr(0, value.find('\n'));
        if (std::memchr(value.data(), ':', value.size()) != nullptr ||
            std::memchr(value.data(), '\xEF', value.size()) != nullptr)
            found = absentLabelAt(value, 0);
        for (size_t pair = value.find("  "); pair != value.npos && found.empty();
             pair = value.find("  ", pair)) {
            pair = value.find_first_not_of(' ', pair);
            if (pair != value.npos) found = absentLabelAt(value, pair);
        }
        if (found.empty()) continue;
        if (out->unplacedSamples.size() < kKeptSamples) {
            out->unplacedSamples.push_back("a label of the template inside " + field.label +
                                           ": \"" + std::string(found) + "\"");
        }
        ++out->doubtfulLabels;
    }
}

std::string_view FormReader::fieldBelowSignature(std::string_view body) const {
    bool below = false;
    for (size_t pos = 0; pos < body.size();) {
        size_t end = std::min(body.find('\n', pos), body.size());
        std::string_view line = trimBlanks(body.substr(pos, end - pos));
        if (below && !line.empty()) {
            LabelLine label;
            LabelKind kind = labelOf(line, &label);
            if (kind == LabelKind::kBare || kind == LabelKind::kNone) label.label = line;
            if (entryOf(line, label.label, labelKey(label.label)) >= 0 || prefixEntry(line) >= 0)
                return line;
        }
        below = below || isSignatureLine(body.substr(pos, end - pos));
        pos = end + 1;
    }
    return {};
}

void FormReader::read(std::string_view body, FormText* out,
                      const std::vector<std::string>& fileNames) const {
    out->fields.clear();
    out->unplacedLines = 0;
    out->labelledTextLines.clear();
    out->labelledLines = 0;
    out->doubtfulLabels = 0;
    out->doubtfulEnds = 0;
    out->unplacedSamples.clear();
    if (readStructuredBody(body, out)) {
        entriesOfData(out);
        return;
    }
    // Kept for the thread's next body.
    thread_local std::vector<FormLine> lines;
    thread_local std::string storage;
    thread_local std::vector<LabelKind> kinds;
    thread_local std::vector<LabelLine> labels;
    readFormLines(body, &lines, &storage);
    kinds.assign(lines.size(), LabelKind::kNone);
    labels.assign(lines.size(), LabelLine{});
    size_t colonLines = 0;   // lines whose structure makes them labels
    size_t dashedLines = 0;  // lines whose label a dash parts from its value
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].text.empty() || lines[i].continued) continue;
        dashedLines += lines[i].dashed;
        kinds[i] = labelOf(lines[i].view, &labels[i]);
        if (kinds[i] == LabelKind::kHeading || kinds[i] == LabelKind::kTableRow ||
            (kinds[i] == LabelKind::kColon && labels[i].isShort))
            ++colonLines;
    }
    if (colonLines >= 6) unfoldQuestionAnswerPairs(&lines, &kinds, labels);
    thread_local std::vector<bool> shaped;
    shaped.assign(lines.size(), false);
    if (colonLines < 2 && layout_.fewMessages() && layout_.bareLabelCount() < 2)
        shaped = bareLabelsByShape(lines);

    int current = -1;            // the field whose value the next lines continue
    bool paragraph = true;       // the line opens a paragraph
    bool afterLabel = false;     // the line before opened a field
    bool blankInside = false;    // blank lines since the current value's last line
    bool skipping = false;       // inside a footer's paragraph
    bool block = false;          // the current value is a block below "label: |"
    unsigned labelIndent = 0;    // the indent of the current field's label line
    bool deeperBlock = false;    // the current value is below its label, each line deeper
    size_t labelLine = 0;        // and its index in `lines`
    bool labelBulleted = false;  // the current field's label line is a list item
    bool labelColon = false;     // and it reads "Label:"
    bool labelAbove = false;     // or it is a label alone above its answer
    bool pastedRows = false;     // the value's lines are Tab-parted rows below "Label:"
    ColonStyle colonStyle;
    bool lastBulleted = false;  // the current value's last line is a list item
    std::string key;            // the labelKey() of the line's label
    // The lines appended to the last value opened, for telling what follows the form.
    thread_local std::vector<TailLine> tail;
    tail.clear();
    size_t answersRightBelow = 0;          // answers that begin on the line below their label
    size_t answersBelowBlank = 0;          // and those a blank line parts from it
    unsigned indentedAnswers = 0;          // template answers deeper than their label
    size_t paragraphs = 0;                 // paragraphs of the current value after its first
    unsigned fieldsOpeningParagraphs = 0;  // template fields whose label opens a paragraph
    unsigned fieldsInsideParagraphs = 0;   // and those whose label does not
    unsigned aloneOpening = 0;   // of them, "Label:" alone above its answer, opening a paragraph
    unsigned aloneInside = 0;    // and inside one
    unsigned headingFields = 0;  // template fields a heading opens ("--- Name ---")
    unsigned bareFields = 0;     // and a line of the name alone
    size_t valueColumn = 0;      // where the padded template labels' answers begin
    unsigned paddedLabels = 0;   // template labels padded to that column
    // How many of the template's names the body writes as "Question? answer" and
    // as "Name.....answer": counted over the whole body when first asked.
    PairStyles pairStyles;
    bool pairsCounted = false;
    bool ledSeen = false;  // a template name with a dot leader after it, so far
    // The mark before the template's labels of their own line ("■Name"), and how
    // many have had it.
    std::string_view labelMark;
    int markedLabels = 0;
    // The numbering of the template's labels ("C1. ", "C2. "): its letters and
    // mark, how many have had it and the last number.
    Numbering numbering, labelNumbering;
    int numberedLabels = 0;
    bool noneGiven = false;  // the current field's line gave a mark of no answer
    auto pairStyle = [&](bool question) {
        if (!std::exchange(pairsCounted, true)) pairStyles = countPairStyles(lines);
        return question ? pairStyles.questions : pairStyles.leaders;
    };
    int tailField = -1;
    bool notes = false;  // the sending tool's notes follow the field `tailField`
    // Lines no field took: between two fields they are the form's and leave its
    // reading unsure; after the last they are what follows it.
    thread_local std::vector<std::string_view> pending;
    pending.clear();
    auto placePending = [&] {
        for (std::string_view text : pending) {
            // The form's own text, which most messages have, is no one's answer.
            if (layout_.recursUnchanged(text)) continue;
            if (out->unplacedSamples.size() < kKeptSamples)
                out->unplacedSamples.push_back("no field took \"" + std::string(text) + "\"");
            ++out->unplacedLines;
        }
        pending.clear();
    };
    // Label-shaped lines kept inside values: the field, where the line begins in
    // its value, the line.
    thread_local std::vector<std::tuple<size_t, size_t, std::string_view>> labelled;
    labelled.clear();
    // Paragraphs a title-like line opens in an answer (see below), likewise.
    thread_local std::vector<std::tuple<size_t, size_t, std::string_view>> titled;
    titled.clear();
    // For each field: its label line, the length of the value on it, and whether
    // it may be the text of the field above it going on.
    struct Opened {
        std::string_view line;
        size_t valueOnLine = 0;
        bool mayBeText = false;
        bool blankBelow = false;  // a blank line parts the label's line from its value
        bool goesOn = false;      // a label that may be text, and its text goes on below
    };
    thread_local std::vector<Opened> opened;
    opened.clear();
    // The views above point into `body` and `storage`: emptied on the way out,
    // so that none outlives the body (their capacity stays for the next one).
    struct ViewsDropped {
        ~ViewsDropped() {
            lines.clear();
            labels.clear();
            tail.clear();
            pending.clear();
            labelled.clear();
            opened.clear();
        }
    } viewsDropped;
    // Per entry, the body in which its own label was last seen: this one when it
    // equals `bodyNumber`.
    thread_local std::vector<uint64_t> exact;
    // ... and that label as it stood there.
    thread_local std::vector<std::string_view> exactLabel;
    thread_local uint64_t bodyNumber = 0;
    if (exact.size() < keys_.size()) exact.resize(keys_.size(), 0);
    if (exactLabel.size() < keys_.size()) exactLabel.resize(keys_.size());
    ++bodyNumber;
    // The pair that opened the last paragraph of field `index`'s text, alone in
    // it and no sentence; empty when there is none.
    auto openingPair = [&](size_t index) -> std::string_view {
        if (labelled.empty()) return {};
        const auto& [field, from, text] = labelled.back();
        const std::string& value = out->fields[index].value;
        LabelLine pair;
        if (field != index || from + 2 + text.size() != value.size() ||
            value.compare(from, 2, "\n\n") != 0 || !colonLabelOf(text, &pair, kShortLabelWords) ||
            pair.value.empty() || isSentence(text))
            return {};
        return text;
    };
    auto splitOpeningPair = [&](size_t index) {
        if (openingPair(index).empty()) return;
        const auto& [field, from, text] = labelled.back();
        std::string& value = out->fields[index].value;
        LabelLine pair;
        colonLabelOf(text, &pair, kShortLabelWords);
        std::string key = labelKey(pair.label);
        FormField split{tidyLabel(pair.label), std::string(pair.value),
                        entryOf(text, pair.label, key), false};
        value.resize(from);
        labelled.pop_back();
        out->fields.push_back(std::move(split));
        opened.resize(out->fields.size());
    };
    // A question the template names with a note after it in brackets ("How
    // satisfied were you? (1 = not at all, 5 = very)"): its entry, or -1.
    auto entryBeforeNote = [&](std::string_view label) {
        if (!label.ends_with(')')) return -1;
        size_t note = label.rfind(" (");
        if (note == std::string_view::npos || note == 0) return -1;
        std::string questionKey;
        labelKey(label.substr(0, note), &questionKey);
        return entryOf({}, label.substr(0, note), questionKey);
    };
    // Whether the lines from `from` begin with two that read "Label: value", or a
    // label of the form above its value.
    // Whether line `i` stands right below a line of text, no blank line or rule
    // between.
    auto followsText = [&](size_t i) {
        return i > 0 && !lines[i - 1].text.empty() && !isRuleLine(lines[i - 1].view);
    };
    auto opensFields = [&](size_t from) {
        size_t found = 0;
        for (size_t j = from; j < lines.size() && found < 2; ++j) {
            if (lines[j].text.empty()) break;
            if (lines[j].continued) continue;  // the value of the row above
            if (kinds[j] == LabelKind::kBare && found == 0) {
                std::string bareKey = labelKey(lines[j].view);
                return entryOf({}, lines[j].view, bareKey) >= 0 || layout_.knowsBareLabel(bareKey);
            }
            if (kinds[j] != LabelKind::kColon && kinds[j] != LabelKind::kTableRow) return false;
            ++found;
        }
        return found == 2;
    };
    // Whether line i, of a few words, no sentence nor clause, heads a paragraph
    // of three lines or more, not above the sender's name (a sign-off): the
    // title of a part of the form, or of its own answer.
    auto headsParagraph = [&](size_t i, std::string_view line, size_t field) {
        return i + 2 < lines.size() && !lines[i + 1].text.empty() && !lines[i + 2].text.empty() &&
               !isSentence(line) && !endsWithCjkPunctuation(line) &&
               !namesSender(*out, trimBlanks(lines[i + 1].text), field);
    };
    // Whether the body sets a template label alone at the head of a paragraph,
    // its answer's lines right below it ("Delivery address" over the address):
    // looked for when first asked.
    auto isAnswerShaped = [&](size_t j) {
        return kinds[j] == LabelKind::kNone || kinds[j] == LabelKind::kBare;
    };
    int headedAnswers = -1;
    auto setsHeadedAnswers = [&] {
        if (headedAnswers >= 0) return headedAnswers > 0;
        headedAnswers = 0;
        std::string bareKey;
        for (size_t j = 1; j + 1 < lines.size() && headedAnswers == 0; ++j) {
            if (kinds[j] != LabelKind::kBare || !lines[j - 1].text.empty() ||
                lines[j + 1].text.empty() || !isAnswerShaped(j + 1))
                continue;
            labelKey(lines[j].view, &bareKey);
            headedAnswers = entryOf({}, lines[j].view, bareKey) >= 0;
        }
        return headedAnswers > 0;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        const FormLine& formLine = lines[i];
        std::string_view line = formLine.view;
        if (formLine.text.empty()) {
            paragraph = true;
            afterLabel = false;
            pastedRows = false;
            skipping = false;
            blankInside = current >= 0;
            continue;
        }
        bool opens = std::exchange(paragraph, false);
        FormField* field = current >= 0 ? &out->fields[static_cast<size_t>(current)] : nullptr;
        bool waiting = field != nullptr && field->value.empty() && !noneGiven;
        if (skipping) continue;
        // A value set below its label, deeper than it ("Address: 12 Elm Road" and
        // "   Springfield" below; "Message: |" and its block) holds every such line.
        bool indented = field != nullptr && (block || formLine.indent > labelIndent) &&
                        formLine.indent > 0 && !formLine.continued;
        // Labels set flush right, their colons one above the other, are no
        // value's lines ("   Name: Ann" above "  Email: ann@example.org").
        if (indented && !block && kinds[i] == LabelKind::kColon &&
            kinds[labelLine] == LabelKind::kColon &&
            colonColumn(formLine, labels[i]) == colonColumn(lines[labelLine], labels[labelLine]))
            indented = false;
        if (isRuleLine(line) && !indented) {
            // A rule right under a label of its own line (no colon) that waits
            // for its answer underlines it.
            if (afterLabel && waiting && !labelColon) continue;
            current = -1;
            paragraph = true;
            continue;
        }

        LabelLine label = labels[i];
        LabelKind kind = kinds[i];
        // A dash parts label and value only in a form that parts them so more
        // than once: "Shop Name — Coffee & Tea" below a form is its footer.
        if (formLine.dashed && dashedLines < 2) {
            kind = LabelKind::kNone;
            line = formLine.text;
        }
        int entry = -1;
        LabelLine pair;
        bool isLabel = false;
        bool vouched = false;  // the template or the file's other messages say it is a label
        if (kind == LabelKind::kHeading) {
            labelKey(label.label, &key);
            entry = entryOf(label.label, label.label, key);
            if (entry < 0) entry = questionEntry(label.label);
            isLabel = vouched = true;
        } else if (kind == LabelKind::kColon) {
            labelKey(label.label, &key);
            entry = entryOf(line, label.label, key);
            // A label nothing else vouches for opens a field where it starts a
            // paragraph or where its value is no sentence, unless it stands in
            // free text ("Note: ..." in a message's paragraphs).
            // Where a field waits for its value, a dash parts no label and value:
            // "Course:" (or a question), then "Czech for beginners – evening", is
            // the answer; only a label the other messages have after a "Label:"
            // opens a field ("Phone —", then "Pet — cat"). Nor does one in a form
            // whose template labels all set a colon ("Boxes - 25", an item of a
            // list below "Items:"), whatever the other messages say.
            bool answer =
                formLine.dashed && ((waiting && (!labelColon || !layout_.knowsLabel(key))) ||
                                    (field != nullptr && colonStyle.isForeign(formLine.text)));
            vouched = entry >= 0 || (layout_.knowsLabel(key) && !answer);
            // A paragraph of that line alone whose answer is a word of letters,
            // a sum (with a note after it) or a reference ("Consent given: yes",
            // "Total: 465,00 EUR (card)", "Request ID: KR-2026-11873") is a field
            // of its own all the same.
            bool lone = blankInside && !label.value.empty() &&
                        (i + 1 == lines.size() || lines[i + 1].text.empty()) &&
                        (isLettersOnly(label.value) || isAmount(withoutNote(label.value)) ||
                         isReference(label.value));
            // A paragraph back at the label's indent ends a value set deeper below
            // it ("Description:", its lines indented, a blank, "Photos: 2 files").
            bool outdented = deeperBlock && blankInside && formLine.indent <= labelIndent;
            // Below an answer of one line set under "Label:" alone, another
            // "Label:" alone over a line, a paragraph apart, is the form's next
            // field, as the one above was ("Date & time:", "Location:").
            auto nextAlone = [&] {
                return labelColon && blankInside && label.value.empty() &&
                       opened[static_cast<size_t>(current)].valueOnLine == 0 &&
                       field->value.find('\n') == std::string::npos && i + 1 < lines.size() &&
                       !lines[i + 1].text.empty();
            };
            bool inFreeText = !vouched && field != nullptr && !waiting && !lone && !outdented &&
                              (blankInside || layout_.messages() >= 2) &&
                              isFreeText(field->value) && !nextAlone();
            // Inside the block of an answer set below its label, a line such as
            // "Bağdat Cad. No: 12 D: 5" is a line of that answer (an address).
            // So is one below "Label:" alone on its line, the answer's first line
            // too, where the file has messages enough to know the form's labels,
            // or where such labels each open a paragraph of their own.
            bool inBlock = !vouched && field != nullptr && field->entry >= 0 && !blankInside &&
                           ((labelAbove && !waiting) ||
                            (labelColon && !labelBulleted &&
                             (!layout_.fewMessages() || (aloneOpening >= 2 && aloneInside == 0)) &&
                             opened[static_cast<size_t>(current)].valueOnLine == 0));
            // Between rows that part each label from its answer by a Tab, a
            // line "Word: ..." is a line of the answer above ("Company: not sure
            // yet" in a message), as the form's labels are parted otherwise.
            if (!vouched && !inBlock && field != nullptr && field->entry >= 0 && !blankInside &&
                !waiting &&
                opened[static_cast<size_t>(current)].line.find('\t') != std::string_view::npos &&
                line.find('\t') == std::string_view::npos) {
                for (size_t j = i + 1; j < lines.size() && !lines[j].text.empty(); ++j) {
                    LabelLine row;
                    if (!lines[j].continued && tableRowOf(lines[j].view, &row)) {
                        inBlock = true;
                        break;
                    }
                }
            }
            // Below a line that ends in a comma, the sentence goes on: "Word: ..."
            // is its next line.
            if (!vouched && field != nullptr && !waiting && !blankInside &&
                endsInComma(field->value))
                inBlock = true;
            // Below an answer that says there is none ("{empty}"), a longer
            // label is one too: such an answer goes on with no line.
            bool afterNone = !label.isShort && !label.value.empty() && field != nullptr &&
                             !blankInside && field->value.find('\n') == std::string::npos &&
                             saysNoAnswer(field->value);
            isLabel =
                vouched || ((label.isShort || afterNone) && !inFreeText && !answer && !inBlock &&
                            !(field != nullptr && !waiting && isSentenceOpening(label.label)) &&
                            (opens || !isSentence(label.value)) &&
                            !(field != nullptr && colonStyle.isForeign(formLine.text)));
            if (entry >= 0) colonStyle.note(formLine.text);
        } else if (kind == LabelKind::kTableRow) {
            labelKey(label.label, &key);
            entry = entryOf(line, label.label, key);
            // Below "Label:" alone on its line, rows parted by Tabs (pasted from a
            // spreadsheet: "Micros<Tab>6") are its answer, unless the template or
            // the other messages know their first cell as a label.
            pastedRows = entry < 0 && field != nullptr && field->entry >= 0 && !blankInside &&
                         (pastedRows || (waiting && labelColon &&
                                         opened[static_cast<size_t>(current)].line.find('\t') ==
                                             std::string_view::npos)) &&
                         !layout_.knowsLabel(key);
            isLabel = !pastedRows;
        } else if (int index = formLine.continued ? -1 : prefixEntry(line); index >= 0) {
            label.label = line.substr(0, matcher_.entryLength(index));
            labelKey(label.label, &key);
            label.value = trimBlanks(line.substr(label.label.size()));
            bool led = label.value.starts_with("..");  // a dot leader before the answer
            if (led) {
                size_t answer = label.value.find_first_not_of('.');
                label.value = answer == std::string_view::npos
                                  ? std::string_view()
                                  : trimBlanks(label.value.substr(answer));
                ledSeen = true;
            }
            if (label.value.starts_with(':')) label.value = trimBlanks(label.value.substr(1));
            if (label.value.starts_with("\xEF\xBC\x9A"))
                label.value = trimBlanks(label.value.substr(3));
            // An arrow after a name that ends in a mark of its own ("Need a
            // kitchen; => Yes", the Greek question mark) parts it from the answer.
            for (std::string_view arrow : {"=> ", "-> ", "= "}) {
                if (label.value.starts_with(arrow))
                    label.value = trimBlanks(label.value.substr(arrow.size()));
            }
            // The rest of a question the name only begins is no answer; after a
            // whole question the name ends, a question is ("Anything else we
            // should know? Could the visit be short?").
            bool asked = endsQuestion(label.label);
            // A row's first cell that holds the name and a note of the question's
            // own ("How satisfied were you? (1 = not at all)<Tab>4").
            if (size_t tab = label.value.find('\t');
                tab != std::string_view::npos &&
                isQuestionsOwn(trimBlanks(label.value.substr(0, tab))))
                label.value = trimBlanks(label.value.substr(tab + 1));
            if (isQuestionsOwn(label.value) && !led && !(asked && endsQuestion(label.value)))
                label.value = {};
            if (!label.value.empty() && line.substr(label.label.size()).starts_with("  ")) {
                size_t column = charsIn(line.substr(0, label.value.data() - line.data()));
                paddedLabels = paddedLabels == 0 || column == valueColumn ? paddedLabels + 1 : 0;
                valueColumn = column;
            }
            entry = index;
            isLabel = vouched = true;
        } else if ((kind == LabelKind::kNone || kind == LabelKind::kBare) && !formLine.continued &&
                   ((asksQuestions_ && questionPairOf(line, &pair) && !isQuestionsOwn(pair.value) &&
                     pairStyle(true) >= 2) ||
                    (ledSeen && leaderPairOf(line, &pair) && pairStyle(false) >= 2))) {
            label = pair;
            // Where the template's questions have their answers after them on the
            // line, or its labels a dot leader, another line so written is a
            // field the template lacks, unless it stands in free text.
            labelKey(label.label, &key);
            isLabel = field == nullptr || waiting ||
                      (field->value.find('\n') == std::string::npos && !isSentence(field->value));
        } else if (paddedLabels >= 1 && formLine.indent == 0 && !formLine.continued &&
                   formLine.text == line && isPaddedLabel(line, body, valueColumn, &label)) {
            labelKey(label.label, &key);
            isLabel = true;
        } else if (kind == LabelKind::kBare && !isFooterLine(line) && !isRuleLine(line)) {
            labelKey(line, &key);
            // A line without colon is a template's label only when it is the name
            // itself: "Message from the shop" is no field Message.
            entry = entryOf({}, line, key);
            if (entry < 0) entry = questionEntry(line);
            if (entry < 0) entry = entryBeforeNote(line);
            // Where the template's labels are headings, a line without the
            // heading's marks is an answer ("Catering" of the services ticked),
            // however many messages have it above other lines.
            vouched = entry >= 0 ||
                      (layout_.knowsBareLabel(key) && !(headingFields >= 2 && bareFields == 0));
            // Inside the block of an answer below "Label:", a line the other
            // messages have above varying lines is a line of the answer (a town
            // of an address), in a form that writes its labels with a colon.
            if (entry < 0 && vouched && labelColon && field != nullptr && field->entry >= 0 &&
                !waiting && !blankInside && !opens)
                vouched = false;
            isLabel = vouched || shaped[i];
            // Where the body so heads a template field's answer, another line of
            // three words at most heading a paragraph below an answer is a label
            // the template lacks ("Billing address", "Items").
            if (!isLabel && opens && blankInside && !waiting && field != nullptr &&
                std::count(line.begin(), line.end(), ' ') <= 2 && line.back() != '!' &&
                headsParagraph(i, line, static_cast<size_t>(current)) && isAnswerShaped(i + 1) &&
                setsHeadedAnswers())
                isLabel = true;
            // So is such a line right below the answer's last line with nothing
            // below it: one more choice ticked ("Tuesday evening", "Saturday
            // morning"), no label without a value.
            // In a form whose fields each open a paragraph, a line inside an
            // answer's paragraph is the answer's too.
            bool paragraphForm = fieldsOpeningParagraphs >= 2 && fieldsInsideParagraphs == 0;
            if (entry < 0 && isLabel && field != nullptr && field->entry >= 0 && !waiting &&
                !blankInside &&
                (i + 1 == lines.size() || lines[i + 1].text.empty() || (paragraphForm && !opens)))
                isLabel = vouched = false;
            // In a form whose fields run on with no blank line between them, a
            // paragraph below a text's blank line is the text's when its first
            // line ends a sentence ("Is the road cleared?") or is all there is
            // above a template field ("Regards Ingrid").
            bool runForm = fieldsInsideParagraphs >= 1 && fieldsOpeningParagraphs <= 1;
            if (entry < 0 && isLabel && !vouched && field != nullptr && field->entry >= 0 &&
                !waiting && blankInside && runForm && isFreeText(field->value) &&
                (isFreeText(line) || opensTemplateField(lines, i + 1)))
                isLabel = false;
            // Where the template's answers stand deeper than their labels, a line
            // back at the labels' indent above a deeper one is a label too.
            if (!isLabel && indentedAnswers >= 2 && field != nullptr && !waiting &&
                formLine.indent <= labelIndent && i + 1 < lines.size() &&
                !lines[i + 1].text.empty() && !lines[i + 1].continued &&
                lines[i + 1].indent > formLine.indent)
                isLabel = true;
            // A line the file's other messages show above varying lines (a
            // checkbox answer many give) is the answer of a template field above
            // it that waits for one, when a template field follows it; not below a
            // blank line where this message sets its answers right below their
            // labels (a question left unanswered, then the next one).
            bool setApart = blankInside && answersRightBelow >= 2 && answersBelowBlank == 0;
            if (entry < 0 && waiting && (!blankInside || !labelColon) && !setApart &&
                field->entry >= 0 &&
                (opensTemplateField(lines, i + 1) || !layout_.knowsCommonBareLabel(key)))
                isLabel = vouched = false;
            // In a form of labels above their answers, a block of a label and one
            // answer between two of the form's fields is a field too, an optional
            // one that the other messages lack ("Phone" over "555 0134"; where
            // the form sets its answers below a blank line, "Phone", blank, "555
            // 0134", an answer that is no sentence of a text going on).
            bool answerApart = answersBelowBlank >= 2 && i + 3 < lines.size() &&
                               lines[i + 1].text.empty() && lines[i + 3].text.empty() &&
                               !isSentence(lines[i + 2].text);
            size_t answerLine = answerApart ? i + 2 : i + 1;
            if (!isLabel && opens && blankInside && !waiting && field != nullptr && !labelColon &&
                !isFreeText(field->value) && answerLine + 1 < lines.size() &&
                !lines[answerLine].text.empty() && lines[answerLine + 1].text.empty() &&
                kinds[answerLine] != LabelKind::kColon && opensTemplateField(lines, answerLine + 1))
                isLabel = true;
            // A line underlined by a rule of one mark ("Phone" over "-----") is a
            // heading of the form, as Markdown writes one: a rule half as long as
            // the line or more, or under a line the other messages have. A short
            // rule below a message's last line parts the form from what follows,
            // as does one the other messages have below lines they do not.
            if (opens && i + 1 < lines.size() && isUnderline(lines[i + 1].text) &&
                (layout_.recursUnchanged(line) || (lines[i + 1].text.size() * 2 >= charsIn(line) &&
                                                   !layout_.recursUnchanged(lines[i + 1].text))))
                isLabel = vouched = true;
            // Where the template's labels have a mark before them ("■Name"), a
            // line of that mark is a label too, one the template lacks.
            if (entry < 0 && markedLabels >= 2 && !indented && labelMarkOf(formLine) == labelMark)
                isLabel = vouched = true;
            // So is, where they are numbered, a line that goes on with their
            // numbering ("C5. Postcode" below "C4. ..."), a list in an answer
            // beginning again at 1.
            if (entry < 0 && numberedLabels >= 2 && !indented &&
                numberingOf(formLine.text, &numbering) && numbering.shape == labelNumbering.shape &&
                numbering.number > labelNumbering.number) {
                isLabel = vouched = true;
                labelNumbering = numbering;
            }
        }
        if (entry >= 0 && numbered_ && numberingOf(formLine.text, &numbering) &&
            (numberedLabels == 0 || numbering.shape == labelNumbering.shape)) {
            labelNumbering = numbering;
            ++numberedLabels;
        }
        // Such marks are signs beyond ASCII ("■", "●", a pictograph).
        if (entry >= 0 && static_cast<unsigned char>(formLine.text[0]) >= 0x80) {
            std::string_view mark = labelMarkOf(formLine);
            if (!mark.empty() && (markedLabels == 0 || mark == labelMark)) {
                labelMark = mark;
                ++markedLabels;
            }
        }
        // A template name that only begins this label ("Feedback" of "Feedback
        // ID:") takes it unless the message has shown the name's own label.
        bool seenBefore = entry >= 0 && exact[static_cast<size_t>(entry)] == bodyNumber;
        if (entry >= 0 && kind != LabelKind::kNone && kind != LabelKind::kBare) {
            if (keys_[static_cast<size_t>(entry)] == key) {
                // Met again, answered, and written the other way (no colon where
                // the form's own had one): a label of another part of the mail,
                // a table of the attendees below the buyer's "E-mail:".
                if (seenBefore &&
                    endsWithColon(exactLabel[static_cast<size_t>(entry)]) !=
                        endsWithColon(label.label) &&
                    isAnswered(out->fields, entry)) {
                    entry = -1;
                    vouched = layout_.knowsLabel(key);
                } else if (!seenBefore) {
                    exact[static_cast<size_t>(entry)] = bodyNumber;
                    exactLabel[static_cast<size_t>(entry)] = label.label;
                }
            } else if (exact[static_cast<size_t>(entry)] == bodyNumber) {
                entry = -1;
                vouched = layout_.knowsLabel(key);
            }
        }
        // A template label whose field this message has answered already, met
        // again inside a field's free text ("Telefon: bitte nur abends" in a
        // message, "Note: allergic to penicillin" in the note), is a line of that
        // text.
        if (seenBefore && kind == LabelKind::kColon && field != nullptr && !waiting &&
            field->entry >= 0 && isAnswered(out->fields, entry) && isFreeText(field->value)) {
            entry = -1;
            isLabel = vouched = false;
        }
        if (indented && entry < 0) isLabel = false;
        // Below a question that waits for its answer, in a list of answers, or
        // below a line of its text, a list item ("- Other: beehives", "• Time:
        // mornings") or a greeting ("Hola:") is the answer.
        bool answers = formLine.bulleted && field != nullptr && field->entry >= 0 &&
                       !labelBulleted && (waiting || lastBulleted || isFreeText(field->value));
        // Below a label without colon that waits for its answer, a line that only
        // looks like "Label: value" ("Landscapes: a history") is that answer.
        // So is, right below "Label:", a sentence that holds a colon ("I have used
        // Jira: about a year.").
        // But "Label:" with nothing after it right above a field the template
        // names is a question left unanswered, as the one above it was.
        bool greeting =
            waiting && field->entry >= 0 && kind == LabelKind::kColon && !formLine.bulleted &&
            ((!blankInside && ((label.value.empty() && !opensTemplateField(lines, i + 1)) ||
                               isSentence(formLine.text))) ||
             !labelColon);
        if (entry < 0 && (answers || (greeting && !layout_.knowsLabel(key))))
            isLabel = vouched = false;
        // One the other messages have too, right below a question without colon
        // that the template names, whose value is a word or two, may be its
        // answer all the same (the rows of a grid of ratings: "Speed: Good").
        if (entry < 0 && isLabel && greeting && !labelColon && !isStampOrLink(label.value))
            doubtGridRow(field->label, label.value, formLine.text, out);
        // A label the template does not name whose value is a date stamp or a
        // link, after a field ("Submitted: 17-12-2026 09:10", "View contact record:
        // https://…"), is the sending tool's note on the message: it opens a field
        // of its own, no label of the form, as do the labels after it up to one the
        // template names; what stood above it may be the end of the form.
        bool note = kind == LabelKind::kColon && entry < 0 && !out->fields.empty() &&
                    isStampOrLink(label.value) && !isSentence(formLine.text);
        // Not in the block of an answer set below its label, right below a line
        // of that answer's text: there it is a line of the answer ("Photo:
        // https://...").
        if (note && labelAbove && !waiting && !blankInside && field != nullptr &&
            field->entry >= 0 && i > 0) {
            LabelLine pairAbove;
            if (!colonLabelOf(lines[i - 1].view, &pairAbove)) note = false;
        }
        if (note) isLabel = true;
        if (!vouched && !indented && (opens || afterLabel) && isFooterLine(line)) {
            current = -1;
            skipping = true;
            continue;
        }
        // A paragraph of columns set apart by blanks (a table of the products
        // ordered) is no answer's: it ends the one above, and no field takes it.
        if (!isLabel && opens && field != nullptr && !indented && isTextTable(lines, i)) {
            current = -1;
            skipping = true;
            continue;
        }
        if (isLabel) {
            if (entry >= 0) ++(opens ? fieldsOpeningParagraphs : fieldsInsideParagraphs);
            if (entry >= 0 && kind == LabelKind::kColon && label.value.empty())
                ++(opens ? aloneOpening : aloneInside);
            // A block of data below its key ("message: |") is the value's.
            std::string_view value = label.value;
            block = false;
            // Nothing as data or a form writes it: '', "", [], {}, a dash. The
            // field has its answer, none: it waits for no line below.
            noneGiven = false;
            if (value.size() <= 3) {
                block = value == "|" || value == "|-" || value == ">" || value == ">-";
                noneGiven = value == "''" || value == "\"\"" || value == "[]" || value == "{}" ||
                            value == "-" || value == "\xE2\x80\x94" || value == "\xE2\x80\x93";
                if (block || noneGiven) value = {};
            }
            // A quoted string of data, under a key as data names it ("phone:
            // \"+47 555 01 234\""), is the text inside its quotes.
            if (value.size() >= 2 &&
                ((value.front() == '"' && value.back() == '"') ||
                 (value.front() == '\'' && value.back() == '\'')) &&
                isDataKey(label.label) &&
                value.substr(1, value.size() - 2).find(value.front()) == std::string_view::npos)
                value = value.substr(1, value.size() - 2);
            if (note && tailField >= 0) {
                tail.push_back({out->fields[static_cast<size_t>(tailField)].value.size(),
                                paragraphs + 1,
                                {},
                                {},
                                false,
                                !followsText(i),
                                true,
                                false});
                notes = true;
            } else if (!notes || entry >= 0) {
                // A label the template lacks below a template field's answer may
                // open what follows the form (a signature's "Tel:"): what the
                // form's end is told by goes from the answer first.
                if (entry < 0 && tailField >= 0 && !tail.empty() &&
                    (out->fields[static_cast<size_t>(tailField)].entry >= 0 ||
                     opened[static_cast<size_t>(tailField)].mayBeText)) {
                    FormField& above = out->fields[static_cast<size_t>(tailField)];
                    // A pair that opens a run of them is a field (see below).
                    std::string_view opening = kind == LabelKind::kColon && current == tailField &&
                                                       !waiting && !blankInside
                                                   ? openingPair(static_cast<size_t>(tailField))
                                                   : std::string_view();
                    for (std::string_view doubt :
                         cutFollowingText(tail, layout_, fileNames, &above.value, true)) {
                        // Lines of a button or a stamp kept above a label the
                        // template lacks are that label's form's own.
                        if (above.entry < 0 || layout_.messages() > 1) break;
                        if (doubt.data() == opening.data()) continue;
                        if (out->unplacedSamples.size() < kKeptSamples) {
                            out->unplacedSamples.push_back("a line that may follow the form ends " +
                                                           withColon(above.label) + " \"" +
                                                           std::string(doubt) + "\"");
                        }
                        ++out->doubtfulEnds;
                    }
                }
                tail.clear();
                paragraphs = 0;
                notes = false;
            }
            // Lines no field took before a field of the template were the form's.
            if (entry >= 0) placePending();
            // A label nothing vouches for, a paragraph below a template field's
            // text, whose own value is a sentence, may as well be that text going
            // on ("Hi", blank, "Note: the gate is locked.").
            if (!vouched && !note && entry < 0 && kind == LabelKind::kColon && field != nullptr &&
                field->entry >= 0 && !waiting && blankInside && isSentence(label.value)) {
                if (out->unplacedSamples.size() < kKeptSamples) {
                    out->unplacedSamples.push_back("a label that may be the text of " +
                                                   withColon(field->label) + " \"" +
                                                   std::string(formLine.text) + "\"");
                }
                ++out->doubtfulLabels;
            }
            // A label that only its shape made, right below a template field's text:
            // if its value goes on in paragraphs, it was that text (see below).
            // So may one right below such a label's answer ("Browser: ...", then
            // "Error: ...", in a message's paragraph).
            bool mayBeText = !vouched && !note && entry < 0 && kind == LabelKind::kColon &&
                             field != nullptr && !waiting && !blankInside &&
                             (field->entry >= 0 ? isFreeText(field->value)
                                                : opened[static_cast<size_t>(current)].mayBeText);
            // A pair that opened the text's last paragraph, right above a label
            // the template lacks, opened the run of pairs this one goes on
            // ("Source: web form" above "UTM: ..."): a field of its own.
            if (kind == LabelKind::kColon && entry < 0 && !note && field != nullptr && !waiting &&
                !blankInside && !labelled.empty())
                splitOpeningPair(static_cast<size_t>(current));
            field = nullptr;  // the fields may have moved
            out->fields.push_back({tidyLabel(label.label), std::string(value), entry, notes});
            current = static_cast<int>(out->fields.size()) - 1;
            if (!notes) tailField = current;
            opened.resize(out->fields.size());
            opened.back() = {formLine.text, value.size(), mayBeText};
            labelIndent = formLine.indent;
            deeperBlock = value.empty();
            labelLine = i;
            labelBulleted = formLine.bulleted;
            labelColon = kind == LabelKind::kColon;
            labelAbove = kind == LabelKind::kBare || kind == LabelKind::kHeading;
            if (entry >= 0) {
                headingFields += kind == LabelKind::kHeading;
                bareFields += kind == LabelKind::kBare;
            }
            pastedRows = false;
            lastBulleted = false;
            blankInside = false;
            afterLabel = true;
            continue;
        }
        afterLabel = false;
        if (field == nullptr) {
            current = -1;
            // A title above a run of fields, a blank line between or not ("Booking
            // details" between two tables), is the form's own, no one's answer.
            // A rule may underline it ("■ Your details" over "━━━━").
            size_t below = i + 1 < lines.size() && isRuleLine(lines[i + 1].text) ? i + 2 : i + 1;
            bool title =
                opens && kind == LabelKind::kBare && !isSentence(formLine.text) &&
                (opensFields(below) ||
                 (below + 1 < lines.size() && lines[below].text.empty() && opensFields(below + 1)));
            if (!out->fields.empty() && !title) pending.push_back(formLine.text);
            continue;
        }
        // A note on the question below it, "(Select all that apply)", is no answer.
        if (waiting && !blankInside && line.starts_with('(') && line.ends_with(')')) continue;
        // Right below a reference given on its label's line ("Listing ID:
        // TRH-0048213"), a link alone is the tool's link to what it names.
        if (!waiting && !blankInside &&
            field->value.size() == opened[static_cast<size_t>(current)].valueOnLine &&
            isLinkAlone(line) && isReference(field->value)) {
            current = -1;
            continue;
        }
        // Right below an answer that is a sum, "words: sum" (the tax the sum
        // holds, "enthaltene MwSt. 7 %: 2,43 €") is the shop's, no line of it.
        if (!waiting && !blankInside && field->value.size() <= 24 && isBreakdownLine(line) &&
            isAmount(field->value)) {
            current = -1;
            continue;
        }
        // A title above a run of fields ("Additional fields") ends the value
        // above, as does one that recurs in a paragraph of its own above a field
        // the template names ("Availability").
        // So does a question of the form's own that this message left unanswered.
        // A title may end in a full stop ("Request details.") or be set between
        // marks ("=== Step 3: Notes ==="), which alone make it the form's.
        // The sender's name signing a text off is none ("Regards Ingrid").
        // Inside a block below "label: |", every line is the block's.
        bool titleShaped = false;
        bool heading = kind == LabelKind::kHeading;
        if (blankInside && !waiting && !block &&
            (kind == LabelKind::kBare || heading ||
             (kind == LabelKind::kNone && formLine.text.back() == '.' &&
              !bareLabelOf(formLine.text.substr(0, formLine.text.size() - 1)).empty())) &&
            (((titleShaped = !isSentence(formLine.text)) && opensFields(i + 1)) ||
             ((titleShaped || formLine.text.back() == '?') && i + 1 < lines.size() &&
              lines[i + 1].text.empty() && (heading || layout_.isBoilerplate(formLine.text)) &&
              opensTemplateField(lines, i + 1))) &&
            !signsOff(*out, line, static_cast<size_t>(current))) {
            current = -1;
            paragraph = true;  // the title's fields open below it
            continue;
        }
        // A field that waits for its answer takes no title of the form's own, a
        // paragraph above one of its fields ("The fault", below the empty phone);
        // an item of a list is an answer ("* Saturday morning").
        if (waiting && blankInside && !formLine.bulleted && layout_.isSectionTitle(formLine.text) &&
            opensTemplateField(lines, i + 1))
            continue;
        lastBulleted = formLine.bulleted;
        // In a message the file has no other of, a paragraph below an answer
        // that such a line heads may be a part of the form the template lacks
        // ("LISTING" above the home's address), or the answer going on: nothing
        // tells which. Two lines are a sign-off ("Regards" above the name).
        if (blankInside && !waiting && !block && kind == LabelKind::kBare && !notes &&
            layout_.messages() <= 1 && field->entry >= 0 &&
            headsParagraph(i, line, static_cast<size_t>(current)))
            titled.emplace_back(static_cast<size_t>(current), field->value.size(), formLine.text);
        if (!formLine.continued && !notes) {
            paragraphs += blankInside && !waiting;
            tail.push_back({field->value.size(), paragraphs, formLine.text, line, waiting,
                            blankInside, false, formLine.linkOnly});
            tail.back().signsOff =
                paragraphs > 0 && signsOff(*out, trimBlanks(line), static_cast<size_t>(current));
        }
        // A link's text alone below an answer ("Map it", "View on map") is the
        // sending tool's button, no line of it.
        if (formLine.linkOnly && !waiting && isButtonText(line)) {
            if (!formLine.continued && !notes) tail.back().dropped = true;
            continue;
        }
        // Labels the form does not use, kept inside a value: the report shows them.
        if (kind == LabelKind::kColon && label.isShort)
            labelled.emplace_back(static_cast<size_t>(current), field->value.size(), formLine.text);
        if (!field->value.empty()) {
            field->value += blankInside ? "\n\n" : "\n";
        } else {
            opened[static_cast<size_t>(current)].blankBelow = blankInside;
            ++(blankInside ? answersBelowBlank : answersRightBelow);
            if (field->entry >= 0 && formLine.indent > labelIndent) ++indentedAnswers;
        }
        field->value.append(formLine.text);
        deeperBlock = deeperBlock && indented;
        blankInside = false;
    }
    if (tailField >= 0) {
        auto& last = out->fields[static_cast<size_t>(tailField)];
        for (std::string_view line : cutFollowingText(tail, layout_, fileNames, &last.value)) {
            // No column's value, unless it goes back into the text above it.
            if (last.entry < 0 && !opened[static_cast<size_t>(tailField)].mayBeText) break;
            if (out->unplacedSamples.size() < kKeptSamples) {
                out->unplacedSamples.push_back("a line that may follow the form ends " +
                                               withColon(last.label) + " \"" + std::string(line) +
                                               "\"");
            }
            ++out->doubtfulEnds;
        }
        if (last.value.find("\n\n") != std::string::npos)
            cutBelowSignOff(*out, &last.value, static_cast<size_t>(tailField));
    }
    for (const auto& [index, from, text] : titled) {
        // Cut as what follows the form, or a line that ends its answer.
        size_t at = out->fields[index].value.find(text, from);
        if (at == std::string::npos || at + text.size() >= out->fields[index].value.size())
            continue;
        if (out->unplacedSamples.size() < kKeptSamples) {
            out->unplacedSamples.push_back("a paragraph that may be the form's own goes on " +
                                           withColon(out->fields[index].label) + " \"" +
                                           std::string(text) + "\"");
        }
        ++out->doubtfulEnds;
    }
    for (const auto& [index, from, text] : labelled) {
        if (from >= out->fields[index].value.size()) continue;  // cut as what follows the form
        if (out->labelledTextLines.size() < kKeptSamples)
            out->labelledTextLines.push_back("a value holds \"" + std::string(text) + "\"");
        ++out->labelledLines;
        // Right below an answer of one line that is no text ("Ann Berg", then
        // "Email: ann@example.org"), a short label and answer may as well be a
        // field of its own that the form set below the other.
        if (out->fields[index].entry >= 0 &&
            isPairBelowAnswer(out->fields[index].value, from, text)) {
            if (out->unplacedSamples.size() < kKeptSamples)
                out->unplacedSamples.push_back("a label below a one-line answer: \"" +
                                               std::string(text) + "\"");
            ++out->doubtfulLabels;
        }
    }
    // A label that only its shape made, right below a template field's text, whose
    // own value goes on in paragraphs, was that text going on ("...replaced it.",
    // "Model: AP-300W", blank, "Please check."): it goes back into it.
    // So does one with its answer on its line that goes on below in sentences
    // ("Tyres: new", then "Cash only, or a trade for a new car."), and a run of
    // such labels whose last one's value goes on so.
    opened.resize(out->fields.size());
    for (size_t i = out->fields.size(); i-- > 0;) {
        if (!opened[i].mayBeText || out->fields[i].note) continue;
        const std::string& value = out->fields[i].value;
        size_t below = value.find('\n');
        opened[i].goesOn = (below != std::string::npos &&
                            (value.find("\n\n", below) != std::string::npos ||
                             (opened[i].valueOnLine > 0 &&
                              isFreeText(std::string_view(value).substr(below + 1))))) ||
                           (i + 1 < out->fields.size() && opened[i + 1].goesOn);
    }
    size_t kept = 0;
    for (size_t i = 0; i < out->fields.size(); ++i) {
        FormField& field = out->fields[i];
        if (kept > 0 && opened[i].goesOn) {
            std::string& above = out->fields[kept - 1].value;
            above += '\n';
            above.append(opened[i].line);
            if (opened[i].valueOnLine == 0 && !field.value.empty())
                above += opened[i].blankBelow ? "\n\n" : "\n";
            above.append(field.value, std::min(opened[i].valueOnLine, field.value.size()));
            if (out->labelledTextLines.size() < kKeptSamples)
                out->labelledTextLines.push_back("a value holds \"" + std::string(opened[i].line) +
                                                 "\"");
            ++out->labelledLines;
            continue;
        }
        if (kept != i) out->fields[kept] = std::move(field);
        ++kept;
    }
    out->fields.resize(kept);
    // Nothing the template names above a signature, something below it: the
    // form may be there (a forward no marker announced), or a signature's
    // "Phone:" would have been taken for the form's.
    if (std::none_of(out->fields.begin(), out->fields.end(),
                     [](const FormField& field) { return field.entry >= 0; })) {
        if (std::string_view line = fieldBelowSignature(body); !line.empty()) {
            if (out->unplacedSamples.size() < kKeptSamples)
                out->unplacedSamples.push_back("a field below the signature: \"" +
                                               std::string(line) + "\"");
            ++out->unplacedLines;
        }
    }
    if (layout_.messages() <= 1) doubtPairs(lines, kinds, out);
    if (layout_.messages() <= 1) doubtTextGoingOn(out);
    findLabelsInValues(out);
    readCsvWhereNoField(body, out);
    bool bracketed = false;  // an answer in brackets alone may stand for none
    for (FormField& field : out->fields) {
        dropCodeFence(&field.value);
        dropListMarks(&field.value);
        // The target a mail program writes after a link's text ends the answer.
        if (!field.value.empty() && field.value.back() == '>') dropLinkTargets(&field.value);
        // (A field the template lacks fills no cell: its words are not looked up.)
        if ((field.entry >= 0 || field.value.size() <= 3) && saysNoAnswer(field.value))
            field.value.clear();
        bracketed = bracketed || (!field.value.empty() &&
                                  (field.value.back() == ')' || field.value.back() == ']' ||
                                   field.value.back() == '}' || field.value.back() == '_' ||
                                   field.value.back() == '*'));
    }
    if (bracketed) dropMarksOfNoAnswer(out);
    dropAnswerMarks(out);
    doubtLabelsAsAnswers(out);
}

[[gnu::noinline]] void FormReader::dropAnswerMarks(FormText* out) const {
    // "A. Ann", "A. Lyon", "A." below each question: a mark of a letter or two
    // and a full stop or colon that opens every answer (three at least) is the
    // form's, not the answers'.
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto markOf = [&](std::string_view value) -> std::string_view {
        if (value.size() < 2 || !letter(value[0])) return {};
        size_t stop = letter(value[1]) ? 2 : 1;
        if (stop >= value.size() || (value[stop] != '.' && value[stop] != ':') ||
            (stop + 1 < value.size() && value[stop + 1] != ' '))
            return {};
        return value.substr(0, stop + 1);
    };
    std::string_view mark;
    size_t marked = 0;
    for (const FormField& field : out->fields) {
        if (field.entry < 0 || field.value.empty()) continue;
        std::string_view own = markOf(field.value);
        if (own.empty() || (!mark.empty() && own != mark)) return;
        mark = own;
        ++marked;
    }
    if (marked < 3) return;
    std::string kept(mark);  // the fields' text changes below
    for (FormField& field : out->fields) {
        if (field.entry < 0 || field.value.empty()) continue;
        field.value.erase(0, std::min(field.value.size(), kept.size() + 1));
    }
}

[[gnu::noinline]] void FormReader::dropMarksOfNoAnswer(FormText* out) const {
    // A word or two in brackets or Markdown emphasis, alone as an answer, that
    // stands for none: the form writes it as the answer of several fields of one
    // message, or two of the file's messages show it ("(Vazio)", "_No response_"),
    // or it is in brackets and emphasis both ("_(none)_"), as no one writes an
    // answer.
    std::vector<size_t> marks;
    for (size_t i = 0; i < out->fields.size(); ++i) {
        const FormField& field = out->fields[i];
        // A sentence of the tool in round brackets, a line of words alone ("(The
        // candidate sent no cover letter)").
        if (field.entry >= 0 && isToolsNote(field.value)) {
            marks.push_back(i);
            continue;
        }
        if (field.entry < 0 || !isMarkShaped(field.value)) continue;
        if ((field.value[0] == '_' || field.value[0] == '*') &&
            (field.value[1] == '(' || field.value[1] == '[') &&
            isMarkShaped(std::string_view(field.value).substr(1, field.value.size() - 2))) {
            marks.push_back(i);
            continue;
        }
        // Words in round or square brackets, or two or more in emphasis alone,
        // no number among them ("(not given)", "[keine Angabe]", "_No
        // response_"), are no one's answer either.
        if ((field.value[0] == '(' || field.value[0] == '[' ||
             (field.value[0] == '_' && field.value[1] != '_' &&
              field.value.find(' ') != std::string::npos)) &&
            holdsNoDigitButWords(field.value)) {
            marks.push_back(i);
            continue;
        }
        size_t given = static_cast<size_t>(
            std::count_if(out->fields.begin(), out->fields.end(), [&](const FormField& other) {
                return other.entry >= 0 && other.value == field.value;
            }));
        if (given >= 2 || layout_.recursAsMark(field.value)) marks.push_back(i);
    }
    for (size_t i : marks)
        out->fields[i].value.clear();
}

}  // namespace tabulon
