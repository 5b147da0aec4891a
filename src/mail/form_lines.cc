#include "mail/form_lines.h"

#include <glib.h>

#include <array>
#include <cstring>
#include <utility>

#include "mail/html_text.h"
#include "mail/label_shape.h"
#include "platform/text.h"

namespace tabulon {
namespace {

std::string_view trimIdeographic(std::string_view text);

// A line's view, built in the caller's storage, or the line itself.
struct View {
    std::string made;  // the view, when it differs from the line
    bool changed = false;
    bool continued = false;
    bool bulleted = false;
    bool blank = false;     // a table row of empty cells
    bool dashed = false;    // a dash parts label and value ("City — Lyon")
    bool piped = false;     // a pipe does ("City    | Lyon")
    std::string colonized;  // the line with a script's colon made ":"
};

bool isTableRule(std::string_view line) {
    if (line.size() < 3) return false;
    bool mark = false;
    for (char c : line) {
        if (c == '-' || c == '=') {
            mark = true;
        } else if (c != '|' && c != '+' && c != ':' && c != ' ') {
            return false;
        }
    }
    return mark && (line[0] == '|' || line[0] == '+');
}

bool isPipeRow(std::string_view line) {
    return line.size() >= 3 && line[0] == '|' && line.find('|', 1) != line.npos;
}

// A Markdown table's rule without the outer pipes: "--- | ---", ":-- | --:".
bool isBareTableRule(std::string_view line) {
    if (line.size() < 7 || line[0] == '|') return false;
    size_t dashes = 0, pipes = 0;
    for (char c : line) {
        if (c == '-') {
            ++dashes;
        } else if (c == '|') {
            ++pipes;
        } else if (c != ':' && c != ' ') {
            return false;
        }
    }
    return dashes >= 6 && pipes > 0;
}

// "| City | Lyon |" is "City<Tab>Lyon"; "| 3 | City | Lyon |" too; "|  | more |",
// the wrapped rest of the row above, is "more".
std::vector<std::string> pipeCells(std::string_view line) {
    std::vector<std::string> cells(1);
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '|') {
            cells.back() += '|';
            ++i;
        } else if (line[i] == '|') {
            cells.emplace_back();
        } else {
            cells.back() += line[i];
        }
    }
    if (cells.back().empty() || trimBlanks(cells.back()).empty()) cells.pop_back();
    for (std::string& cell : cells) {
        // Markdown tables break a cell's lines with <br>.
        std::string lines;
        for (size_t i = 0; i < cell.size(); ++i) {
            std::string_view rest = std::string_view(cell).substr(i);
            size_t br = rest.starts_with("<br />")  ? 6
                        : rest.starts_with("<br/>") ? 5
                        : rest.starts_with("<br>")  ? 4
                                                    : 0;
            lines += br > 0 ? '\n' : cell[i];
            if (br > 0) i += br - 1;
        }
        cell.swap(lines);
        std::string_view trimmed = trimBlanks(cell);
        cell.assign(trimmed.data(), trimmed.size());
    }
    if (cells.size() >= 3 && (isRowNumber(cells[0]) || cells[0].empty()))
        cells.erase(cells.begin());
    return cells;
}

// Column by column, the cells of a text table's row drawn over several lines:
// the label's pieces joined by a blank, the value's by a line end.
std::string joinedRow(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::string> columns;
    for (const std::vector<std::string>& cells : lines) {
        if (columns.size() < cells.size()) columns.resize(cells.size());
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].empty()) continue;
            if (!columns[i].empty()) columns[i] += i == 0 ? " " : "\n";
            columns[i] += cells[i];
        }
    }
    std::string row = columns.empty() ? std::string() : columns[0];
    for (size_t i = 1; i < columns.size(); ++i) {
        row += i == 1 ? '\t' : ' ';
        row += columns[i];
    }
    return row;
}

// "| City | Lyon |" is "City<Tab>Lyon"; "| 3 | City | Lyon |" too; "|  | more |",
// the wrapped rest of the row above, is "more".
void readPipeRow(std::string_view line, View* view) {
    std::vector<std::string> cells = pipeCells(line);
    std::string rest;
    for (size_t i = 1; i < cells.size(); ++i) {
        if (cells[i].empty()) continue;
        if (!rest.empty()) rest += ' ';
        rest += cells[i];
    }
    view->changed = true;
    if (cells.empty() || (cells[0].empty() && rest.empty())) {
        view->blank = true;
    } else if (cells[0].empty()) {
        view->made = rest;
        view->continued = true;
    } else {
        view->made = cells[0] + '\t' + rest;
    }
}

// "[City] Lyon", "【City】Lyon", "［City］", "＜City＞", "〔City〕", "《City》",
// "〈City〉": "City: Lyon", the label without its brackets; a ticked box ("[x]
// Kitchen") and a link ("[site](url)") are none.
bool withoutBrackets(std::string_view line, std::string* out) {
    static constexpr std::pair<std::string_view, std::string_view> kBrackets[] = {
        {"[", "]"},
        {"\xE3\x80\x90", "\xE3\x80\x91"},
        {"\xEF\xBC\xBB", "\xEF\xBC\xBD"},
        {"\xEF\xBC\x9C", "\xEF\xBC\x9E"},
        {"\xE3\x80\x94", "\xE3\x80\x95"},
        {"\xE3\x80\x8A", "\xE3\x80\x8B"},
        {"\xE3\x80\x88", "\xE3\x80\x89"}};
    for (auto [open, close] : kBrackets) {
        if (!line.starts_with(open)) continue;
        size_t end = line.find(close, open.size());
        if (end == line.npos || end > kMaxLabelBytes) return false;
        std::string_view inner = trimBlanks(line.substr(open.size(), end - open.size()));
        std::string_view after = line.substr(end + close.size());
        if (inner.size() <= 1 || after.starts_with('(') || inner.find(':') != inner.npos)
            return false;
        // "[City]: Lyon", "【City】：Lyon": the colon after the brackets is the label's.
        if (after.starts_with(':')) after.remove_prefix(1);
        if (after.starts_with("\xEF\xBC\x9A")) after.remove_prefix(3);
        LabelLine label;
        std::string candidate(inner);
        candidate += ':';
        std::string_view value = trimIdeographic(after);
        if (!value.empty()) candidate.append(" ").append(value);
        if (!colonLabelOf(candidate, &label, kShortLabelWords)) return false;
        *out = std::move(candidate);
        return true;
    }
    return false;
}

// Whether " ..." stands in the line.
bool hasDotLeader(std::string_view line) {
    const char* end = line.data() + line.size();
    for (const char* dot = static_cast<const char*>(std::memchr(line.data(), '.', line.size()));
         dot != nullptr; dot = static_cast<const char*>(std::memchr(dot + 1, '.', end - dot - 1))) {
        if (dot > line.data() && dot[-1] == ' ' && end - dot >= 3 && dot[1] == '.' && dot[2] == '.')
            return true;
    }
    return false;
}

// "City = Lyon", "City -> Lyon", "City => Lyon", "city=Lyon", "City — Lyon",
// "City - Lyon", "City   | Lyon": "City: Lyon", when what stands before the
// separator may be a short label.
bool withColon(std::string_view line, std::string* out, bool* dashed = nullptr,
               bool* piped = nullptr) {
    // Most lines hold no such separator ("=>" and "->" hold a "=" or a "-"), or
    // a colon before any, which parts the line itself ("Name: Ann - Berg"): one
    // pass over the bytes tells. Dot leaders may part it all the same.
    static constexpr std::array<unsigned char, 256> kKinds = [] {
        std::array<unsigned char, 256> kinds{};
        for (unsigned char c : {'=', '-', '|', '\xE2'})
            kinds[c] = 1;
        kinds[':'] = 2;
        return kinds;
    }();
    unsigned char first = 0;
    for (char c : line) {
        if ((first = kKinds[static_cast<unsigned char>(c)]) != 0) break;
    }
    if (first != 1 && !hasDotLeader(line)) return false;
    // "Nom ........ Girard": dot leaders part label and value.
    if (size_t dots = line.find(" ..."); dots != line.npos && dots > 0 && dots <= kMaxLabelBytes) {
        size_t value = line.find_first_not_of(". ", dots);
        std::string candidate(trimBlanks(line.substr(0, dots)));
        candidate += ':';
        if (value != line.npos) {
            candidate += ' ';
            candidate.append(line.substr(value));
        }
        LabelLine label;
        if (colonLabelOf(candidate, &label, kShortLabelWords)) {
            *out = std::move(candidate);
            return true;
        }
    }
    if (first != 1) return false;
    // The first separator on the line parts label and value.
    static constexpr std::string_view kSeparators[] = {
        " => ", " -> ", " = ", "=>", "->", "=", " \xE2\x80\x94 ", " \xE2\x80\x93 ", " - ", " | "};
    // A dash with nothing after it ends a label whose value is below; a pipe, one
    // whose value is empty.
    static constexpr std::string_view kEndingDashes[] = {" \xE2\x80\x94", " \xE2\x80\x93", " -",
                                                         " |"};
    size_t at = line.npos;
    std::string_view separator;
    for (std::string_view candidate : kSeparators) {
        size_t found = line.find(candidate);
        if (found < at) {
            at = found;
            separator = candidate;
        }
    }
    for (std::string_view dash : kEndingDashes) {
        if (at == line.npos && line.ends_with(dash)) {
            at = line.size() - dash.size();
            separator = dash;
        }
    }
    if (at == line.npos || at == 0 || at > kMaxLabelBytes) return false;
    std::string_view name = trimBlanks(line.substr(0, at));
    // Without blanks around it, "=" parts a key from its value only in a key
    // of one word ("name=Ann").
    if (separator == "=" && name.find(' ') != name.npos) return false;
    // Before a dash, what ends a sentence's piece is no label ("Example Ltd. - Sent
    // from ...").
    bool dash = separator.find_first_of("=>|") == separator.npos;
    // A pipe parts label and value in a column of labels padded to one width
    // ("Phone     | 555 0100"); a line of links ("View entry | Reply",
    // "Home | Shop | Contact") is no label and its value.
    if (separator[1] == '|' && (line[at - 1] != ' ' || line.find(" | ", at + 1) != line.npos))
        return false;
    if (dash &&
        (name.ends_with('.') || name.ends_with(',') || name.ends_with(';') || name.ends_with('!')))
        return false;
    std::string candidate(name);
    candidate += ": ";
    candidate.append(trimBlanks(line.substr(at + separator.size())));
    LabelLine label;
    if (!colonLabelOf(candidate, &label, kShortLabelWords)) return false;
    *out = std::move(candidate);
    if (dashed) *dashed = dash;
    if (piped) *piped = separator[1] == '|';
    return true;
}

// A list item's bullet: "* ", "- ", "+ ", "• ", "· ", a check mark ("✓ ", "✔ "),
// the Japanese middle dot "・" or its number: "3. ", "3) ".
size_t bulletLength(std::string_view line) {
    if (line.size() < 2) return 0;
    char first = line[0];
    if (first == '*' || first == '-' || first == '+') return line[1] == ' ' ? 2 : 0;
    if (first == '\xE2' || first == '\xC2') {
        for (std::string_view bullet :
             {"\xE2\x80\xA2 ", "\xC2\xB7 ", "\xE2\x9C\x93 ", "\xE2\x9C\x94 "}) {
            if (line.starts_with(bullet)) return bullet.size();
        }
        return 0;
    }
    if (first == '\xE3') return line.starts_with("\xE3\x83\xBB") ? 3 : 0;
    if (first < '0' || first > '9') return 0;
    return line.size() - withoutListNumber(line).size();
}

// "ስም፦ value": "ስም: value", where such a colon, before any other, ends a label.
bool withAsciiColon(std::string_view line, std::string* out) {
    std::string_view head = line.substr(0, kMaxLabelBytes + 3);
    for (size_t at = head.find('\xE1', 1); at != head.npos; at = head.find('\xE1', at + 1)) {
        std::string_view rest = line.substr(at);
        for (std::string_view colon : kScriptColons) {
            if (!rest.starts_with(colon) || line.substr(0, at).find(':') != line.npos) continue;
            out->assign(line.substr(0, at));
            out->append(":");
            out->append(rest.substr(colon.size()));
            return true;
        }
    }
    return false;
}

// `scriptColons`: whether the body holds a byte that may begin one of kScriptColons.
void viewOf(std::string_view line, View* view, bool scriptColons = false) {
    view->made.clear();
    view->changed = view->continued = view->bulleted = view->blank = view->dashed = view->piped =
        false;
    if (scriptColons && withAsciiColon(line, &view->colonized)) {
        line = view->colonized;
        view->changed = true;
    }
    if (isTableRule(line)) {
        view->made = "---";
        view->changed = true;
        return;
    }
    if (isPipeRow(line)) {
        readPipeRow(line, view);
        return;
    }
    std::string_view rest = line;
    if (std::string_view unmarked = withoutLabelMark(rest); unmarked.size() != rest.size()) {
        rest = trimIdeographic(unmarked);
        view->changed = true;
    }
    // A Markdown heading, "## City", is a label above its value, a heading of
    // the form's as "## City ##" is.
    if (rest.starts_with('#')) {
        size_t marks = rest.find_first_not_of('#');
        if (marks != rest.npos && marks <= 6 && rest[marks] == ' ') {
            rest = trimBlanks(rest.substr(marks));
            view->changed = true;
            if (rest.find(':') == rest.npos) {
                std::string heading = "## " + std::string(rest) + " ##";
                if (!headingLabelOf(heading).empty()) {
                    view->made = std::move(heading);
                    return;
                }
            }
        }
    }
    // A bullet goes from the view only where a label stands behind it: a list
    // inside an answer stays a list.
    std::string plain;
    LabelLine label;
    if (size_t bullet = bulletLength(rest); bullet > 0) {
        view->bulleted = true;
        std::string_view item = trimBlanks(rest.substr(bullet));
        if (withoutEmphasis(item, &plain) || colonLabelOf(item, &label, kShortLabelWords) ||
            withColon(item, &plain)) {
            if (plain.empty()) plain = item;
            view->made = std::move(plain);
            view->changed = true;
            return;
        }
        plain.clear();
    }
    if (withoutEmphasis(rest, &plain) ||
        ((rest[0] == '[' || static_cast<unsigned char>(rest[0]) >= 0xE3) &&
         withoutBrackets(rest, &plain))) {
        view->made = std::move(plain);
        view->changed = true;
        return;
    }
    if (withColon(rest, &plain, &view->dashed, &view->piped) &&
        !colonLabelOf(rest, &label, kMaxLabelWords)) {
        view->made = std::move(plain);
        view->changed = true;
        return;
    }
    if (view->changed) view->made = rest;
}

// Where two blanks first stand side by side in `line` from `from`, or npos:
// looking at every other byte finds them, as one of the two is at an odd place.
[[gnu::always_inline]] inline size_t doubleBlank(std::string_view line, size_t from) {
    for (size_t i = from | 1; i < line.size(); i += 2) {
        if (line[i] != ' ') continue;
        if (i > from && line[i - 1] == ' ') return i - 1;
        if (i + 1 < line.size() && line[i + 1] == ' ') return i;
    }
    return line.npos;
}

// Where a second "Label: value" begins on a line that holds two, set apart by a
// Tab or three blanks, or by two where the first value filled its column (no
// sentence ends there: "Hello.  PS: ..." is one value); npos when there is none.
// `tabs`: whether the body holds a Tab at all.
[[gnu::always_inline]] inline size_t secondPair(std::string_view line, bool tabs) {
    // A gap: two blanks or a Tab with a colon after it.
    size_t tab = tabs ? line.find('\t') : line.npos;
    if (tab != line.npos && line.find(':', tab) == line.npos) tab = line.npos;
    if (tab == line.npos && doubleBlank(line, 0) == line.npos) return line.npos;
    auto gapFrom = [&](size_t from) {
        return std::min(doubleBlank(line, from), tab == line.npos ? tab : line.find('\t', from));
    };
    LabelLine label;
    if (!colonLabelOf(line, &label, kShortLabelWords)) return line.npos;
    for (size_t gap = gapFrom(0); gap != line.npos; gap = gapFrom(gap + 1)) {
        size_t next = line.find_first_not_of(" \t", gap);
        if (next == line.npos) return line.npos;
        LabelLine second;
        std::string_view before = trimBlanks(line.substr(0, gap));
        bool parted = next - gap >= 3 || line.substr(gap, next - gap).find('\t') != line.npos ||
                      !(before.ends_with('.') || before.ends_with('!') || before.ends_with('?') ||
                        before.ends_with(','));
        if (parted && colonLabelOf(line.substr(next), &second, 4) && !before.ends_with(':') &&
            colonLabelOf(before, &label, kShortLabelWords) && !label.value.empty())
            return next;
        gap = next;
    }
    return line.npos;
}

// The cells of a line of columns set apart by two blanks or more, each with
// the character it begins at and the one after its end; empty for a line with
// an indent, a colon or a Tab, no line of such a table.
struct AlignedCell {
    std::string_view text;
    size_t from, to;
};
std::vector<AlignedCell> alignedCells(std::string_view line) {
    std::vector<AlignedCell> cells;
    if (line.empty() || line[0] == ' ' || line.find_first_of(":\t") != line.npos) return cells;
    size_t column = 0;
    for (size_t i = 0; i < line.size();) {
        size_t end = doubleBlank(line, i);
        if (end == line.npos) end = line.size();
        std::string_view text = trimBlanks(line.substr(i, end - i));
        size_t chars = g_utf8_strlen(text.data(), static_cast<gssize>(text.size()));
        cells.push_back({text, column, column + chars});
        size_t next = line.find_first_not_of(' ', end);
        if (next == line.npos) break;
        column += chars + (next - i - text.size());
        i = next;
    }
    return cells;
}

// A text table laid across, a header row of three columns or more above one
// row of answers, each cell below its name (begun or ended where it is): the
// pairs of name and answer; empty for other lines.
std::vector<std::string> alignedPairs(std::string_view header, std::string_view row) {
    std::vector<AlignedCell> names = alignedCells(header);
    if (names.size() < 3) return {};
    std::vector<AlignedCell> cells = alignedCells(row);
    if (cells.size() != names.size()) return {};
    auto near = [](size_t a, size_t b) { return a + 1 >= b && b + 1 >= a; };
    std::vector<std::string> pairs;
    for (size_t c = 0; c < names.size(); ++c) {
        if (!near(names[c].from, cells[c].from) && !near(names[c].to, cells[c].to)) return {};
        pairs.push_back(std::string(names[c].text) + '\t' + std::string(cells[c].text));
    }
    return pairs;
}

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// `text` without blanks around it, the ideographic space (U+3000) among them.
std::string_view trimIdeographic(std::string_view text) {
    text = trimBlanks(text);
    if (!text.starts_with('\xE3') && !text.ends_with('\x80')) return text;
    for (;;) {
        text = trimBlanks(text);
        size_t before = text.size();
        if (text.starts_with(kIdeographicSpace)) text.remove_prefix(kIdeographicSpace.size());
        if (text.ends_with(kIdeographicSpace)) text.remove_suffix(kIdeographicSpace.size());
        if (text.size() == before) return text;
    }
}

// The rules and the rows of the text table that begins `text`.
struct TableLines {
    size_t rules = 0;
    size_t rows = 0;
};

TableLines tableLinesOf(std::string_view text) {
    TableLines table;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == text.npos) end = text.size();
        std::string_view line = trimBlanks(text.substr(pos, end - pos));
        if (isTableRule(line)) {
            ++table.rules;
        } else if (isPipeRow(line)) {
            ++table.rows;
        } else {
            break;
        }
        pos = end + 1;
    }
    return table;
}

// Whether the text table that begins `text` has a rule under every row, not only
// under its header: four rules at least.
bool isGridTable(std::string_view text) {
    return tableLinesOf(text).rules >= 4;
}

unsigned indentOf(std::string_view raw) {
    unsigned indent = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == ' ') {
            ++indent;
        } else if (raw[i] == '\t') {
            indent += 4;
        } else if (raw.substr(i).starts_with(kIdeographicSpace)) {
            indent += 2;
            i += kIdeographicSpace.size() - 1;
        } else {
            break;
        }
    }
    return indent;
}

}  // namespace

bool isSignatureLine(std::string_view line) {
    return line == "-- " || line == "--";
}

void readFormLines(std::string_view body, std::vector<FormLine>* lines, std::string* storage) {
    lines->clear();
    storage->clear();
    // Views made here are kept as offsets until `storage` stops growing.
    struct Made {
        size_t line, offset, size;
    };
    thread_local std::vector<Made> made;
    made.clear();
    View view;
    bool belowRule = false;           // the line before was a text table's rule
    bool tableLines = false;          // the line before was a text table's
    bool grid = false;                // and the table has a rule under every row
    std::vector<std::string> across;  // the questions of a table laid across
    bool bareTable = false;           // in the rows of a table without outer pipes
    bool piped = false;               // the line before was a pipe's pair, or its value's
    bool quoted = false;              // the line before was a block quote's, a label's answer
    bool defined = false;             // in a definition of a definition list, a label's answer
    bool skipping = false;            // in a signature above the form
    // Most bodies hold none.
    bool tabs = body.find('\t') != body.npos;
    bool scriptColons = body.find('\xE1') != body.npos;
    for (size_t pos = 0; pos < body.size();) {
        size_t end = body.find('\n', pos);
        if (end == std::string_view::npos) end = body.size();
        std::string_view raw = body.substr(pos, end - pos);
        size_t lineStart = pos;
        pos = end + 1;
        if (skipping) {
            skipping = !raw.empty();
            continue;
        }
        if (isSignatureLine(raw)) {
            // A signature ends the form; above the form (a forwarder's words,
            // no label among them), it is left out, and the form read below it.
            if (body.substr(0, lineStart).find(':') != body.npos) break;
            skipping = true;
            continue;
        }
        if (raw == kHtmlTableEnd) {
            lines->push_back({"---", "---", 0, false});
            continue;
        }
        bool linkOnly = raw.starts_with(kHtmlLinkOnly);
        if (linkOnly) raw.remove_prefix(1);
        bool continued = raw.starts_with(kHtmlContinued);
        while (raw.starts_with(kHtmlContinued))
            raw.remove_prefix(1);
        std::string_view text = trimIdeographic(raw);
        unsigned indent = indentOf(raw);
        bool afterPipe = std::exchange(piped, false);
        bool afterQuote = std::exchange(quoted, false);
        bool rule = isTableRule(text);
        bool afterRule = std::exchange(belowRule, rule);
        bool inTable = rule || isPipeRow(text);
        if (inTable && !std::exchange(tableLines, true)) grid = isGridTable(body.substr(lineStart));
        if (!inTable) tableLines = grid = false;
        // The end of a table without outer pipes, as of an HTML table.
        if (bareTable && (text.empty() || text.find('|') == text.npos || text[0] == '|')) {
            bareTable = false;
            lines->push_back({"---", "---", 0, false});
        }
        if (text.empty()) {
            lines->push_back({});
            continue;
        }
        if (continued) {
            lines->push_back({text, text, indent, true, false, linkOnly});
            continue;
        }
        // A Markdown block quote below a label alone ("**Message**:", "> Hi") is
        // its answer.
        if (text[0] == '>' &&
            (afterQuote || (!lines->empty() && isLabelAlone(lines->back().text)))) {
            std::string_view line = text.substr(1);
            if (line.starts_with(' ')) line.remove_prefix(1);
            lines->push_back({line, line, indent, !line.empty()});
            quoted = true;
            continue;
        }
        // A further line of the value in a pipe's column ("           | more").
        if (afterPipe && indent > 0 && text.starts_with("| ") && text.find('|', 1) == text.npos) {
            std::string_view more = trimBlanks(text.substr(1));
            lines->push_back({more, more, indent, true});
            piped = true;
            continue;
        }
        // A table without outer pipes: its rule ("--- | ---") and the header
        // above it (the names of its columns) label nothing; a row is a row.
        if ((text[0] == '-' || text[0] == ':') && isBareTableRule(text)) {
            if (!lines->empty() && lines->back().text.find('|') != std::string_view::npos) {
                if (!made.empty() && made.back().line + 1 == lines->size()) made.pop_back();
                lines->back() = {"---", "---", 0, false};
            }
            bareTable = true;
            lines->push_back({"---", "---", 0, false});
            continue;
        }
        if (bareTable) {
            View row;
            readPipeRow("|" + std::string(text) + "|", &row);
            if (row.blank) {
                lines->push_back({});
                continue;
            }
            made.push_back({lines->size(), storage->size(), row.made.size()});
            storage->append(row.made);
            lines->push_back({text, {}, indent, row.continued});
            continue;
        }
        // A Markdown definition list: a term alone on its line, below it its
        // definition after ": " ("Nimi", ": Mari Tamm"), the definition's further
        // lines and paragraphs indented. The term is a label, the definition its
        // answer.
        if (text[0] == ':' || defined) [[unlikely]] {
            if (defined && indent >= 2) {
                lines->push_back({text, text, indent, true});
                continue;
            }
            if (text.size() > 2 && text[0] == ':' && (text[1] == ' ' || text[1] == '\t')) {
                std::string_view answer = trimBlanks(text.substr(2));
                if (defined) {
                    lines->push_back({answer, answer, indent, true});
                    continue;
                }
                FormLine* term = lines->empty() ? nullptr : &lines->back();
                if (term != nullptr && !term->text.empty() && !term->continued &&
                    !bareLabelOf(term->text).empty()) {
                    bool madeView = !made.empty() && made.back().line + 1 == lines->size();
                    std::string label(madeView
                                          ? storage->substr(made.back().offset, made.back().size)
                                          : std::string(term->text));
                    if (madeView) made.pop_back();
                    made.push_back({lines->size() - 1, storage->size(), label.size() + 1});
                    storage->append(label + ":");
                    lines->push_back({answer, answer, indent, false});
                    defined = true;
                    continue;
                }
            }
            defined = false;
        }
        // A text table with a rule under every row: a row drawn over several
        // lines is one.
        if (isPipeRow(text) && afterRule && grid) {
            thread_local std::vector<std::vector<std::string>> rowLines;
            rowLines.clear();
            std::string_view below = text;
            size_t after = pos;
            for (;;) {
                rowLines.push_back(pipeCells(below));
                size_t stop = body.find('\n', after);
                if (after >= body.size()) break;
                std::string_view candidate =
                    trimBlanks(body.substr(after, stop == body.npos ? body.npos : stop - after));
                if (!isPipeRow(candidate) || isTableRule(candidate)) break;
                below = candidate;
                after = stop == body.npos ? body.size() : stop + 1;
            }
            size_t stop = body.find('\n', after);
            std::string_view closing =
                after < body.size()
                    ? trimBlanks(body.substr(after, stop == body.npos ? body.npos : stop - after))
                    : std::string_view();
            if (rowLines.size() > 1 && isTableRule(closing) && closing[0] == '+') {
                made.push_back({lines->size(), storage->size(), 0});
                std::string row = joinedRow(rowLines);
                made.back().size = row.size();
                storage->append(row);
                lines->push_back({text, {}, indent, false});
                pos = after;
                continue;
            }
        }
        // A text table laid across with blanks alone, a paragraph of its own:
        // one row of answers below the names of its columns.
        if ((lines->empty() || lines->back().text.empty()) && raw[0] != ' ' &&
            raw.find(':') == raw.npos && doubleBlank(raw, 0) != raw.npos) [[unlikely]] {
            size_t next = body.find('\n', pos);
            std::string_view below =
                pos < body.size() ? body.substr(pos, next == body.npos ? next : next - pos) : "";
            size_t after = next == body.npos ? body.size() : next + 1;
            size_t afterEnd = body.find('\n', after);
            if (!below.empty() &&
                trimBlanks(body.substr(after, afterEnd == body.npos ? afterEnd : afterEnd - after))
                    .empty()) {
                if (std::vector<std::string> pairs = alignedPairs(raw, below); !pairs.empty()) {
                    for (const std::string& pair : pairs) {
                        made.push_back({lines->size(), storage->size(), pair.size()});
                        storage->append(pair);
                        lines->push_back({{}, {}, 0, false});
                    }
                    pos = after;
                    continue;
                }
            }
        }
        viewOf(text, &view, scriptColons);
        piped = view.piped;
        // A table row whose value cell is empty: "Label<Tab>".
        if (!view.changed && raw.ends_with('\t') && text.find('\t') == text.npos) {
            view.made = std::string(text) + '\t';
            view.changed = true;
        }
        // A table's header row, above the rule that parts it from the rows: the
        // names of its columns ("Field | Value") label no value; but over a row
        // or two of answers laid across, the questions are the header's cells.
        if (isPipeRow(text) && !view.continued && !isTableRule(text)) {
            // Nothing below the body's last line.
            size_t next = pos < body.size() ? body.find('\n', pos) : body.npos;
            std::string_view below =
                pos < body.size()
                    ? trimBlanks(body.substr(pos, next == body.npos ? next : next - pos))
                    : std::string_view();
            if (isTableRule(below) && (below[0] == '|' || below.find('=') != below.npos)) {
                view.made = "---";
                view.blank = false;
                across.clear();
                std::vector<std::string> header = pipeCells(text);
                size_t rows =
                    tableLinesOf(body.substr(next == body.npos ? body.size() : next + 1)).rows;
                if (header.size() >= 2 && rows >= 1 && (header.size() > 3 || rows < 2))
                    across = std::move(header);
            } else if (!across.empty()) {
                // A row of answers: one "question<Tab>answer" line a cell.
                std::vector<std::string> cells = pipeCells(text);
                for (size_t c = 0; c < across.size() && c < cells.size(); ++c) {
                    made.push_back({lines->size(), storage->size(), 0});
                    std::string pair = across[c] + '\t' + cells[c];
                    made.back().size = pair.size();
                    storage->append(pair);
                    lines->push_back({{}, {}, indent, false, false});
                }
                lines->push_back({});
                continue;
            }
        }
        if (!isPipeRow(text) && !isTableRule(text)) across.clear();
        if (view.blank) {
            lines->push_back({});
            continue;
        }
        if (!view.changed) {
            if (size_t second = secondPair(text, tabs); second != text.npos) {
                // Two pairs or more: "Arrival: 11/07    Departure: 18/07    Nights: 7".
                std::string_view rest = text;
                for (; second != rest.npos; second = secondPair(rest, tabs)) {
                    std::string_view first = trimBlanks(rest.substr(0, second));
                    lines->push_back({first, first, indent, false});
                    rest = rest.substr(second);
                }
                lines->push_back({rest, rest, indent, false});
                continue;
            }
            lines->push_back({text, text, indent, false, view.bulleted, linkOnly});
            continue;
        }
        // Two pairs of another separator on one line, three blanks or a Tab
        // between them ("Date -> 21/03      Time -> 19:00").
        if (!view.continued && !view.bulleted && !view.dashed) {
            size_t gap = doubleBlank(text, 0);
            while (gap != text.npos && (gap + 2 >= text.size() || text[gap + 2] != ' '))
                gap = doubleBlank(text, gap + 2);
            if (tabs) gap = std::min(gap, text.find('\t'));
            if (gap != text.npos && gap > 0) {
                std::string_view first = trimBlanks(text.substr(0, gap));
                std::string_view rest = trimBlanks(text.substr(gap));
                View left, right;
                viewOf(first, &left);
                viewOf(rest, &right);
                LabelLine label;
                if (left.changed && right.changed && !left.made.empty() && !right.made.empty() &&
                    colonLabelOf(left.made, &label, kShortLabelWords) &&
                    colonLabelOf(right.made, &label, kShortLabelWords)) {
                    for (auto [part, half] : {std::pair{first, &left}, std::pair{rest, &right}}) {
                        made.push_back({lines->size(), storage->size(), half->made.size()});
                        storage->append(half->made);
                        lines->push_back({part, {}, indent, false});
                    }
                    continue;
                }
            }
        }
        made.push_back({lines->size(), storage->size(), view.made.size()});
        storage->append(view.made);
        lines->push_back({text, {}, indent, view.continued, view.bulleted, linkOnly, view.dashed});
    }
    for (const Made& m : made) {
        FormLine& line = (*lines)[m.line];
        line.view = std::string_view(*storage).substr(m.offset, m.size);
        if (line.continued || line.text.empty()) line.text = line.view;
    }
}

}  // namespace tabulon
