#include "mail/html_text.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <strings.h>
#include <algorithm>
#include <array>
#include <cctype>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace tabulon {
namespace {

// Marks in the text for the form reader (html_text.h).
constexpr char kContinued = kHtmlContinued;
constexpr char kLinkOnly = kHtmlLinkOnly;
constexpr std::string_view kTableEnd = kHtmlTableEnd;

enum class Kind { kInline, kSkip, kLineBreak, kLine, kParagraph, kCell };

Kind kindOf(const char* name) {
    static const std::unordered_map<std::string_view, Kind> kKinds = [] {
        std::unordered_map<std::string_view, Kind> kinds;
        for (const char* skip : {"script", "style", "head", "title", "noscript"})
            kinds.emplace(skip, Kind::kSkip);
        for (const char* line :
             {"div",  "tr",      "li",      "ul",     "ol",     "dl",     "dt",
              "dd",   "section", "article", "header", "footer", "center", "address",
              "form", "tbody",   "thead",   "tfoot",  "select", "option", "textarea"})
            kinds.emplace(line, Kind::kLine);
        for (const char* paragraph :
             {"p", "table", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote", "hr", "pre"})
            kinds.emplace(paragraph, Kind::kParagraph);
        kinds.emplace("br", Kind::kLineBreak);
        kinds.emplace("td", Kind::kCell);
        kinds.emplace("th", Kind::kCell);
        return kinds;
    }();
    auto found = kKinds.find(name);
    return found == kKinds.end() ? Kind::kInline : found->second;
}

// How many bytes of white space (a no-break space among it) begin `s`: 0, 1 or 2.
size_t blankLength(const char* s) {
    char c = s[0];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') return 1;
    return c == '\xC2' && s[1] == '\xA0' ? 2 : 0;
}

// A style that sets bold text: "font-weight:bold", "font-weight: 700",
// "font: bold 12px Arial".
bool isBoldStyle(const char* style) {
    if (style == nullptr) return false;
    for (const char* at = strcasestr(style, "font"); at != nullptr;
         at = strcasestr(at + 4, "font")) {
        const char* value = at + 4;
        if (strncasecmp(value, "-weight", 7) == 0) value += 7;
        while (*value == ' ')
            ++value;
        if (*value != ':') continue;
        std::string_view rest(value + 1, std::strcspn(value + 1, ";"));
        for (size_t word = rest.find_first_not_of(' '); word < rest.size();
             word = rest.find_first_not_of(' ', rest.find(' ', word))) {
            std::string_view token = rest.substr(word, rest.find(' ', word) - word);
            if (equalsIgnoringCase(token, "bold") || equalsIgnoringCase(token, "bolder") ||
                (token.size() == 3 && token[0] >= '6' && token[0] <= '9' && token[1] == '0' &&
                 token[2] == '0'))
                return true;
        }
    }
    return false;
}

class TextBuilder {
  public:
    // Inside <pre>, lines and blanks stay as written.
    void preformatted(bool on) { pre_ += on ? 1 : -1; }
    // Inside a blockquote that cites an earlier message, each line begins "> ".
    void quoted(bool on) { quote_ += on ? 1 : -1; }
    void text(const char* s) {
        if (pre_ > 0) {
            for (size_t i = 0; s[i] != '\0';) {
                if (s[i] == '\n' || s[i] == '\r') {
                    if (s[i++] == '\n') lineBreak();
                    continue;
                }
                size_t end = i + 1;
                while (s[end] != '\0' && s[end] != '\n' && s[end] != '\r')
                    ++end;
                appendRun(s + i, end - i);
                i = end;
            }
            return;
        }
        size_t i = 0;
        while (s[i] != '\0') {
            size_t blank = blankLength(s + i);
            if (blank > 0) {
                i += blank;
                space_ = !line_.empty();
                continue;
            }
            size_t end = i + 1;
            while (s[end] != '\0' && blankLength(s + end) == 0)
                ++end;
            appendRun(s + i, end - i);
            i = end;
        }
    }
    // A run of text, after what the line's place asks before it: a cell's Tab,
    // a blank, a quote's mark.
    void appendRun(const char* run, size_t size) {
        if (cells_ > 0) {
            if (!cellStressed_ && !cellUnstressed_) stressFrom_ = out_.size() + line_.size();
            (stress_ > 0 ? cellStressed_ : cellUnstressed_) = true;
            // Where the links that end a cell's text began ("555 0123 Call").
            if (links_ == 0) {
                cellPlain_ = true;
                trailingLinks_ = std::string::npos;
            } else if (trailingLinks_ == std::string::npos) {
                trailingLinks_ = out_.size() + line_.size();
            }
        }
        if (line_.empty() && continued_) line_ += kContinued;
        if (line_.empty() && quote_ > 0) line_ += "> ";
        if (tab_) {
            line_ += '\t';
            tabbed_ = true;
        } else if (space_) {
            line_ += ' ';
        }
        space_ = tab_ = false;
        line_.append(run, size);
        (links_ > 0 ? linkText_ : plainText_) = true;
    }
    // Inside <a>: a line of a link's text alone (a button: "View entry") is marked.
    void link(bool on) { links_ += on ? 1 : -1; }
    // The first cell boundary of a table row is a Tab, so that the label cell
    // stays told from its value; further cells are parted by a blank.
    void cellStart() {
        if (line_.empty()) return;
        if (tabbed_) {
            space_ = true;
        } else {
            tab_ = true;
            valueCell_ = cells_ + 1;
        }
    }
    void cellEnd() {
        if (!tab_) space_ = !line_.empty();
    }
    void lineBreak() {
        if (tab_) line_ += '\t';  // a row whose value cell is empty
        // A line break inside a row's value cell goes on with that value.
        continued_ = valueCell_ > 0 && cells_ >= valueCell_;
        if (linkText_ && !plainText_) out_ += kLinkOnly;
        out_ += line_;
        out_ += '\n';
        line_.clear();
        space_ = tab_ = tabbed_ = linkText_ = plainText_ = false;
    }
    void cellDepth(int change) {
        cells_ += change;
        if (cells_ < valueCell_) valueCell_ = 0;
        if (valueCell_ == 0) continued_ = false;
    }
    // Where a table with label and value cells ends, the form's fields may end:
    // a line of its own says so.
    void tableClosed(bool hadPairs) {
        if (!hadPairs) return;
        paragraph();
        out_ += kTableEnd;
        out_ += "\n\n";
    }
    void endLine() {
        if (!line_.empty()) lineBreak();
    }
    void paragraph() {
        endLine();
        if (!out_.empty() && out_.compare(out_.size() - std::min<size_t>(2, out_.size()),
                                          std::string::npos, "\n\n") != 0) {
            out_ += '\n';
        }
    }
    // Room for the text of a document of `bytes`, most of them markup.
    void reserve(size_t bytes) {
        out_.reserve(bytes / 2);
        line_.swap(spareLine());
        line_.reserve(256);
    }
    ~TextBuilder() {
        line_.clear();
        line_.swap(spareLine());
    }
    std::string take() {
        endLine();
        return std::move(out_);
    }

    // A table laid out across, a first row of header cells (<th>) only, the
    // questions, above rows of as many cells, the answers, is written again as
    // lines of "question<Tab>answer", as a table laid out down the page reads.
    // Each open table keeps where its text began and the text of its cells.
    // `leftToRight`: the table is set left to right in a right-to-left page.
    void tableStart(bool leftToRight = false) {
        if (!tables_.empty()) tables_.back().nested = true;
        tables_.push_back({out_.size() + line_.size(), {}, false, 0});
        tables_.back().leftToRight = leftToRight && rightToLeft_;
    }
    // An element of the page is set right to left.
    void rightToLeft() { rightToLeft_ = true; }
    void rowStart() {
        if (tables_.empty()) return;
        Table& table = tables_.back();
        table.rows.emplace_back();
        table.rowFrom = out_.size() + line_.size();
        if (std::exchange(table.pairRow, false)) table.belowPairs = table.rowFrom;
    }
    // A row of one cell below rows of a label and a value is a section's title
    // ("Collection details"): a paragraph of its own, no line of the answer above.
    void rowEnd() {
        if (tables_.empty() || tables_.back().rows.empty()) return;
        Table& table = tables_.back();
        std::vector<Cell>& row = table.rows.back();
        // A row of one cell below a label cell that spans it holds a further line
        // of that label's value (an address over three rows).
        if (row.size() == 1 && table.spanLeft > 0) {
            --table.spanLeft;
            row[0].continues = true;
            cutBackTo(table.rowFrom);
            if (!row[0].text.empty()) {
                out_ += kContinued;
                out_ += continuedLines(row[0].text);
                out_ += '\n';
            }
            return;
        }
        table.spanLeft = row.empty() ? 0 : row[0].span - 1;
        if (row.size() >= 2) table.pairs = true;
        if (isPairsAcross(row)) {
            // "Name: | Ann | Phone: | 555": a pair a line.
            cutBackTo(table.rowFrom);
            for (size_t i = 0; i < row.size(); i += 2) {
                out_ += oneLine(row[i].text);
                out_ += '\t';
                out_ += continuedLines(row[i + 1].text);
                out_ += '\n';
            }
            return;
        }
        if (row.size() != 1 || !table.pairs || row[0].text.empty() ||
            row[0].text.find('\n') != std::string::npos)
            return;
        std::string title = textSince(table.rowFrom);
        cutBackTo(table.rowFrom);
        paragraph();
        out_ += title;
    }
    // Where the text written so far ends, in out_ and line_ together.
    size_t position() const { return out_.size() + line_.size(); }
    // The text written from `from` is a label's block, then from `answer` its
    // answer's (a division of the two, "<div><div>Budget</div><div>CHF
    // 20</div></div>"): written again as a table's row of them is, when the
    // label is a line of text and no table is open.
    void blocksPair(size_t from, size_t answer) {
        if (tables_.empty()) writePair(from, answer);
    }
    // The text written from `from` is a label set on a line of its own by its
    // style ("<strong style="display:block">"), then from `answer` its answer's,
    // in one cell or division: written again as blocksPair() writes them, in a
    // table's row of that cell alone too.
    void stackedPair(size_t from, size_t answer) {
        if (tables_.empty() || tables_.back().rows.empty() ||
            tables_.back().rows.back().size() <= 1) {
            writePair(from, answer);
            if (!tables_.empty()) {
                tables_.back().pairRow = true;
                tables_.back().belowPairs = 0;
            }
        }
    }
    void writePair(size_t from, size_t answer) {
        size_t starts[] = {from, answer};
        writePairs(starts);
    }
    // The text written from `starts[0]` is labels' and answers' blocks in turn,
    // each beginning where `starts` says: written again as a table's rows of
    // them, when every label is a line of text.
    bool writePairs(std::span<const size_t> starts) {
        size_t from = starts.front();
        std::string text = textSince(from);
        std::string rows;
        for (size_t k = 0; k + 1 < starts.size(); k += 2) {
            size_t label = starts[k] - from, answer = starts[k + 1] - from;
            size_t end = k + 2 < starts.size() ? starts[k + 2] - from : text.size();
            if (answer <= label || end < answer || end > text.size()) return false;
            if (!appendPairRow(text.substr(label, answer - label),
                               text.substr(answer, end - answer), &rows))
                return false;
        }
        cutBackTo(from);
        endLine();
        out_ += rows;
        return true;
    }
    // Appends "label<Tab>value" to `rows`, the value's lines marked as a cell's;
    // false when the label is no line of text.
    static bool appendPairRow(std::string label, std::string value, std::string* rows) {
        auto trim = [](std::string& text) {
            size_t first = text.find_first_not_of(" \n");
            size_t last = text.find_last_not_of(" \n");
            text =
                first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
        };
        trim(label);
        trim(value);
        if (label.empty() || label.size() > 120 ||
            label.find_first_of(std::string("\n\t") + kTableEnd[0] + kContinued + kHtmlLinkOnly) !=
                std::string::npos ||
            value.find_first_of("\t\f") != std::string::npos)
            return false;
        // A cell's lines carry no mark of a line of their own.
        std::erase(value, kHtmlLinkOnly);
        *rows += label;
        *rows += '\t';
        *rows += continuedLines(value);
        *rows += '\n';
        return true;
    }
    // Whether a table is open, whose cells pairs are not written in.
    bool inTable() const { return !tables_.empty(); }
    // Inside <i>, <em> or an italic span.
    void stress(bool on) { stress_ += on ? 1 : -1; }
    // `bold`: the cell's own style sets its text in bold.
    // A style attribute's key: its first 64 bytes (most differ there), 0 for
    // none. Styles it takes for the same only lose their turns, none gained.
    static size_t styleKey(const char* style) {
        if (style == nullptr) return 0;
        return std::hash<std::string_view>()(std::string_view(style, strnlen(style, 64))) | 1;
    }
    // `style`: the cell's style attribute, or null.
    void cellOpened(bool header, int span, const char* style) {
        cellPlain_ = cellStressed_ = cellUnstressed_ = false;
        trailingLinks_ = std::string::npos;
        if (tables_.empty() || tables_.back().rows.empty()) return;
        Table& table = tables_.back();
        table.rows.back().push_back({std::string(), header, false, std::clamp(span, 1, 100),
                                     header || isBoldStyle(style), styleKey(style)});
        table.cellFrom = out_.size() + line_.size();
    }
    // Whether the cell open holds no text yet.
    bool cellUntouched() const {
        return !tables_.empty() && !tables_.back().rows.empty() &&
               !tables_.back().rows.back().empty() && position() == tables_.back().cellFrom;
    }
    void cellClosed() {
        markStressedCell();
        dropActionLinks();
        if (tables_.empty() || tables_.back().rows.empty() || tables_.back().rows.back().empty())
            return;
        Table& table = tables_.back();
        std::string text = textSince(table.cellFrom);
        size_t first = text.find_first_not_of(" \t\n");
        size_t last = text.find_last_not_of(" \t\n");
        table.rows.back().back().text =
            first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    }
    void tableEnd() {
        if (tables_.empty()) return;
        Table table = std::move(tables_.back());
        tables_.pop_back();
        if (table.nested) return;
        Shape shape = shapeOf(table);
        if (shape == Shape::kAsWritten && isValueFirst(table)) {
            // Rows of an answer, then its label: a label, its answer.
            cutBackTo(table.start);
            paragraph();
            for (const std::vector<Cell>& row : table.rows) {
                out_ += oneLine(row[1].text);
                out_ += '\t';
                out_ += continuedLines(row[0].text);
                out_ += '\n';
            }
            tableClosed(true);
            return;
        }
        if (shape == Shape::kAsWritten) {
            if (std::vector<char> pairs = styledPairs(table); !pairs.empty()) {
                // A cell in a label's style, then one in its answer's: a label
                // and its answer a line.
                cutBackTo(table.start);
                paragraph();
                for (size_t r = 0; r < table.rows.size(); ++r) {
                    // A row below the pairs is none of their answers': they end
                    // as a table of them would.
                    if (!pairs[r] && r >= 2 && pairs[r - 2]) tableClosed(true);
                    for (size_t c = 0; c < table.rows[r].size(); ++c) {
                        if (c > 0) out_ += '\t';
                        out_ += table.rows[r][c].text;
                    }
                    if (pairs[r]) {
                        out_ += '\t';
                        out_ += continuedLines(table.rows[++r][0].text);
                    }
                    out_ += '\n';
                }
                tableClosed(true);
                return;
            }
        }
        if (shape == Shape::kAsWritten && hasLabelRowsAbove(table)) {
            // A row of bold labels above a row of their answers, column by
            // column: a label, its answer, a line each.
            cutBackTo(table.start);
            paragraph();
            for (size_t r = 0; r < table.rows.size(); ++r) {
                const std::vector<Cell>& row = table.rows[r];
                if (isLabelRowAbove(table, r)) {
                    const std::vector<Cell>& answers = table.rows[++r];
                    for (size_t c = 0; c < row.size(); ++c) {
                        out_ += oneLine(row[c].text);
                        out_ += '\t';
                        out_ += continuedLines(answers[c].text);
                        out_ += '\n';
                    }
                    continue;
                }
                // A row of one cell keeps its lines; a row of more reads as
                // a label and its answer.
                if (row.size() == 1) out_ += row[0].text;
                for (size_t c = 0; row.size() > 1 && c < row.size(); ++c) {
                    if (c > 0) out_ += '\t';
                    out_ += c == 0 ? oneLine(row[c].text) : continuedLines(row[c].text);
                }
                out_ += '\n';
            }
            tableClosed(true);
            return;
        }
        if (shape == Shape::kAsWritten) {
            bool pairs = false;
            for (const std::vector<Cell>& row : table.rows)
                pairs = pairs || row.size() >= 2;
            // Rows of the table below its cells of a label and an answer (a
            // button, the tool's line) are none of the last answer's.
            if (!pairs && table.belowPairs > 0 && table.belowPairs < out_.size() &&
                out_.find_first_not_of(" \t\n", table.belowPairs) != std::string::npos) {
                std::string end = "\n";
                end += kTableEnd;
                end += "\n\n";
                out_.insert(table.belowPairs, end);
            }
            tableClosed(pairs);
            return;
        }
        // Everything the table wrote since it began goes, the rows come again.
        cutBackTo(table.start);
        paragraph();
        if (shape == Shape::kAcross) {
            const std::vector<Cell>& header = table.rows[0];
            for (size_t r = 1; r < table.rows.size(); ++r) {
                paragraph();
                for (size_t i = 0; i < header.size(); ++i) {
                    out_ += oneLine(header[i].text);
                    out_ += '\t';
                    out_ += continuedLines(table.rows[r][i].text);
                    out_ += '\n';
                }
            }
            tableClosed(true);
            return;
        }
        // Down the page: a question, its answer; a header row ("Question",
        // "Answer") and a first column of row numbers label nothing.
        for (size_t r = shape == Shape::kDownBelowHeader ? 1 : 0; r < table.rows.size(); ++r) {
            const std::vector<Cell>& row = table.rows[r];
            size_t first = row.size() == 3 && isRowNumber(row[0].text) ? 1 : 0;
            if (row.size() <= first) continue;
            if (row[0].continues) {
                if (row[0].text.empty()) continue;
                out_ += kContinued;
                out_ += continuedLines(row[0].text);
                out_ += '\n';
                continue;
            }
            if (row.size() == first + 1) paragraph();  // a section's title
            out_ += oneLine(row[first].text);
            if (row.size() > first + 1) out_ += '\t';
            std::string value;
            for (size_t i = first + 1; i < row.size(); ++i) {
                if (i > first + 1 && !row[i].text.empty()) value += ' ';
                value += row[i].text;
            }
            out_ += continuedLines(value);
            out_ += '\n';
        }
        tableClosed(true);
    }

  private:
    struct Cell {
        std::string text;
        bool header = false;
        bool continues = false;  // the row goes on with the value of the row above
        int span = 1;            // the rows it spans
        bool strong = false;     // a heading cell, or one set in bold
        size_t style = 0;        // its style attribute's hash; 0 for none
    };
    struct Table {
        size_t start;  // where its text began, in out_ and line_ together
        std::vector<std::vector<Cell>> rows;
        bool nested;  // holds another table: a layout, not a form's answers
        size_t cellFrom;
        size_t rowFrom = 0;
        bool pairs = false;        // a row of two cells or more so far
        int spanLeft = 0;          // rows still below a label cell that spans them
        bool leftToRight = false;  // set left to right in a right-to-left page
        bool pairRow = false;      // its last row holds a cell written as a pair
        size_t belowPairs = 0;     // where the row below its last such row begins
    };

    // A cell whose two or three words are all set in italics, on one line, as tools set
    // the words that stand for no answer ("Nessuna risposta" in grey italics):
    // marked "_..._", as Markdown writes them, for the form reader to judge.
    void markStressedCell() {
        bool stressed = std::exchange(cellStressed_, false) && !cellUnstressed_;
        cellUnstressed_ = false;
        if (!stressed || stressFrom_ < out_.size()) return;
        size_t from = stressFrom_ - out_.size();
        if (from > line_.size()) return;
        if (line_.size() > from && (line_[from] == '\t' || line_[from] == ' ')) ++from;
        std::string_view words = std::string_view(line_).substr(from);
        auto blanks = std::count(words.begin(), words.end(), ' ');
        if (words.size() > 40 || blanks < 1 || blanks > 2) return;
        line_.insert(from, 1, '_');
        line_ += '_';
    }

    // Links after a cell's answer, on its line, each of a word or two and no
    // address, number or link ("Reply", "Call", "View product  Edit"), are the
    // sending tool's actions on it, no part of it.
    void dropActionLinks() {
        size_t from = std::exchange(trailingLinks_, std::string::npos);
        if (!std::exchange(cellPlain_, false) || from == std::string::npos || from < out_.size())
            return;
        std::string_view links = std::string_view(line_).substr(from - out_.size());
        if (links.size() > 60 || std::count(links.begin(), links.end(), ' ') > 5 ||
            links.find_first_of("0123456789@.:/\\") != std::string_view::npos)
            return;
        cutBackTo(from);
    }

    // Drops what was written from `position` of out_ and line_ together.
    void cutBackTo(size_t position) {
        if (position >= out_.size()) {
            line_.resize(position - out_.size());
        } else {
            out_.resize(position);
            line_.clear();
        }
        space_ = tab_ = tabbed_ = false;
    }
    // The text written since `position` of out_ and line_ together.
    std::string textSince(size_t position) const {
        if (position >= out_.size())
            return line_.substr(std::min(line_.size(), position - out_.size()));
        return out_.substr(position) + line_;
    }
    enum class Shape { kAsWritten, kAcross, kDown, kDownBelowHeader };

    // A row of two label and value pairs or more side by side: each label cell a
    // heading cell or ending with a colon.
    static bool isPairsAcross(const std::vector<Cell>& row) {
        if (row.size() < 4 || row.size() % 2 != 0) return false;
        for (size_t i = 0; i < row.size(); i += 2) {
            std::string_view label = row[i].text;
            if (label.empty() || label.size() > 120 ||
                !(row[i].header || label.ends_with(':') || label.ends_with("\xEF\xBC\x9A")))
                return false;
        }
        return true;
    }

    // A table of rows of two cells, the answer first and the label after it in a
    // heading or bold cell, as a right-to-left page's table set left to right
    // shows them to a reader who reads from the right.
    static bool isValueFirst(const Table& table) {
        if (!table.leftToRight || table.rows.size() < 2) return false;
        for (const std::vector<Cell>& row : table.rows) {
            if (row.size() != 2 || row[0].strong || !row[1].strong || row[1].text.empty())
                return false;
        }
        return true;
    }

    // The rows that are a label's cell above its answer's, where the two take
    // turns down the table, each in a style of its own (a grey label, then the
    // answer in black), three times at least: one in `pairs`, the rows' count,
    // for each label's row. Empty when there are none.
    static std::vector<char> styledPairs(const Table& table) {
        const auto& rows = table.rows;
        auto single = [&](size_t r) { return rows[r].size() == 1; };
        std::vector<char> pairs;
        for (size_t r = 0; r + 1 < rows.size();) {
            size_t end = r;
            if (single(r) && single(r + 1) && rows[r][0].style != 0 &&
                rows[r][0].style != rows[r + 1][0].style) {
                size_t label = rows[r][0].style, answer = rows[r + 1][0].style;
                while (end + 1 < rows.size() && single(end) && single(end + 1) &&
                       rows[end][0].style == label && rows[end + 1][0].style == answer &&
                       !rows[end][0].text.empty() && rows[end][0].text.size() <= 120 &&
                       rows[end][0].text.find('\n') == std::string::npos)
                    end += 2;
            }
            if (end - r < 6) {
                ++r;
                continue;
            }
            pairs.resize(rows.size());
            for (; r < end; r += 2)
                pairs[r] = 1;
        }
        return pairs;
    }

    // Row `r` is of two bold cells or more, none empty, above a row of as many
    // cells none of which is bold.
    static bool isLabelRowAbove(const Table& table, size_t r) {
        if (r + 1 >= table.rows.size()) return false;
        const std::vector<Cell>& labels = table.rows[r];
        const std::vector<Cell>& answers = table.rows[r + 1];
        if (labels.size() < 2 || answers.size() != labels.size()) return false;
        for (size_t c = 0; c < labels.size(); ++c) {
            if (!labels[c].strong || labels[c].text.empty() || answers[c].strong) return false;
        }
        return true;
    }
    // A table of two such pairs of rows or more.
    static bool hasLabelRowsAbove(const Table& table) {
        size_t pairs = 0;
        for (size_t r = 0; r + 1 < table.rows.size() && pairs < 2; ++r) {
            if (isLabelRowAbove(table, r)) {
                ++pairs;
                ++r;
            }
        }
        return pairs >= 2;
    }

    // A label cell's lines ("Living area<br>(approx. m²)") as one line.
    static std::string oneLine(std::string text) {
        for (char& c : text) {
            if (c == '\n') c = ' ';
        }
        text.erase(std::remove(text.begin(), text.end(), kContinued), text.end());
        return text;
    }

    // A cell's text with its later lines marked as going on with it.
    static std::string continuedLines(const std::string& text) {
        std::string marked;
        for (char c : text) {
            marked += c;
            if (c == '\n') marked += kContinued;
        }
        return marked;
    }

    // A row number or ID in a table's first cell, or nothing.
    static bool isRowNumber(const std::string& cell) {
        return cell.empty() || tabulon::isRowNumber(cell);
    }
    // A table laid out across: a first row of header cells only, the questions,
    // above rows of as many cells, the answers. With two or three columns and
    // several rows below, the header row names the columns of a table laid
    // down the page instead ("Question", "Answer"). A table of three columns
    // whose first holds row numbers is laid down the page too.
    static Shape shapeOf(const Table& table) {
        if (table.rows.size() < 2) return Shape::kAsWritten;
        size_t columns = table.rows[0].size();
        bool header = columns >= 2;
        for (const Cell& cell : table.rows[0])
            header = header && cell.header;
        bool even = true;
        for (size_t r = 1; r < table.rows.size(); ++r)
            even = even && table.rows[r].size() == columns;
        if (header && even) {
            return columns <= 3 && table.rows.size() >= 3 ? Shape::kDownBelowHeader
                                                          : Shape::kAcross;
        }
        size_t numbered = 0, threeCells = 0;
        for (const std::vector<Cell>& row : table.rows) {
            if (row.size() != 3) continue;
            ++threeCells;
            numbered += isRowNumber(row[0].text) && !row[1].text.empty();
        }
        if (numbered >= 2 && numbered * 2 >= threeCells) return Shape::kDown;
        return Shape::kAsWritten;
    }

    std::vector<Table> tables_;
    int pre_ = 0;
    int quote_ = 0;
    int links_ = 0;                             // <a> elements open
    bool linkText_ = false;                     // the line holds a link's text
    bool plainText_ = false;                    // and other text
    int cells_ = 0;                             // table cells open
    bool cellPlain_ = false;                    // the cell open holds text outside links
    int stress_ = 0;                            // italic elements open
    bool rightToLeft_ = false;                  // an element of the page is set right to left
    bool cellStressed_ = false;                 // the cell open holds italic text
    bool cellUnstressed_ = false;               // ... and text that is not
    size_t stressFrom_ = 0;                     // where its text began, in out_ and line_
    size_t trailingLinks_ = std::string::npos;  // where its text's last links began
    int valueCell_ = 0;                         // the depth of the value cell the line is in, or 0
    bool continued_ = false;                    // the line goes on with a value cell's text
    std::string out_;
    std::string line_;  // lent by the thread's last document, as reserve() says
    static std::string& spareLine() {
        static thread_local std::string line;
        return line;
    }
    bool space_ = false;
    bool tab_ = false;     // a Tab goes before the line's next text
    bool tabbed_ = false;  // the line has its Tab
};

// Walks the document as the parser reads it, element by element, without building
// its tree: memory stays a byte per level of nesting however deep the document.
class Walk {
  public:
    // Room for the usual nesting at once: the vectors do not grow a step at a
    // time in every document.
    // A thread's walks hand these on, emptied, to the next one: after the first
    // document their room is not asked of the allocator again.
    explicit Walk(TextBuilder& builder) : builder_(builder) {
        Spare& spare = Walk::spare();
        open_.swap(spare.open);
        parts_.swap(spare.parts);
        blocks_.swap(spare.blocks);
        text_.swap(spare.text);
        open_.reserve(64);
        parts_.reserve(64);
        blocks_.reserve(64);
        text_.reserve(256);
    }
    ~Walk() {
        Spare& spare = Walk::spare();
        open_.clear();
        parts_.clear();
        blocks_.clear();
        text_.clear();
        open_.swap(spare.open);
        parts_.swap(spare.parts);
        blocks_.swap(spare.blocks);
        text_.swap(spare.text);
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    // `attributes`: name, value, name, value, ..., null.
    void start(const char* name, const xmlChar** attributes) {
        Kind kind = kindOf(name);
        // A copy of the form as filled in: a field's value stands in its
        // control; of a list's options, the chosen one.
        if (name[0] == 'o' && name[1] == 'p' && std::strcmp(name, "option") == 0 &&
            attribute(attributes, "selected") == nullptr)
            kind = Kind::kSkip;
        if (name[0] == 'i' && name[1] == 'n' && std::strcmp(name, "input") == 0 && skipping_ == 0) {
            const char* type = attribute(attributes, "type");
            const char* value = attribute(attributes, "value");
            if (value != nullptr && *value != '\0' && (type == nullptr || isTextInput(type))) {
                builder_.endLine();
                builder_.text(value);
                builder_.endLine();
            }
        }
        // A label's <strong> or <span> styled "display: block" stands on its own
        // line, above its answer in the same cell.
        bool displayBlock = false;
        if (kind == Kind::kInline && attributes != nullptr && isLabelElement(name)) [[unlikely]] {
            displayBlock = isDisplayBlock(attribute(attributes, "style"));
            if (displayBlock) kind = Kind::kLine;
        }
        Part part = partOf(name);
        if (part == Part::kQuote && !isCitation(attributes)) part = Part::kOther;
        // A cell or block styled to keep its line ends ("white-space: pre-wrap",
        // a script's text put in a cell as it came) reads as <pre> does.
        if (part == Part::kOther && attributes != nullptr &&
            (kind == Kind::kCell || kind == Kind::kLine || kind == Kind::kParagraph) &&
            keepsLineEnds(attribute(attributes, "style")))
            part = Part::kPre;
        if (name[0] == 's' && std::strcmp(name, "span") == 0) {
            const char* style = attribute(attributes, "style");
            if (style != nullptr && std::strstr(style, "italic") != nullptr) part = Part::kStress;
        }
        if ((part == Part::kTerm || part == Part::kDefinition) && skipping_ == 0) {
            if (terms_.empty()) {
                part = Part::kOther;  // outside a list: a line as any other
            } else {
                kind = Kind::kCell;
                if (part == Part::kTerm && std::exchange(terms_.back(), char{0})) {
                    builder_.endLine();
                    builder_.rowEnd();
                }
                if (!std::exchange(terms_.back(), char{1})) builder_.rowStart();
            }
        }
        if (displayBlock) [[unlikely]]
            noteStackedLabel();
        bool block = kind == Kind::kLine || kind == Kind::kParagraph;
        bool division = name[0] == 'd' && name[1] == 'i' && name[2] == 'v' && name[3] == '\0';
        if (block && !blocks_.empty() && blocks_.back().blocks < 3) {
            // Only divisions count towards a pair; another block rules it out.
            blocks_.back().blocks = division ? blocks_.back().blocks + 1 : 3;
            if (blocks_.back().blocks == 2) blocks_.back().second = builder_.position();
        }
        open_.push_back(kind);
        parts_.push_back(part);
        if (block) {
            blocks_.push_back({0, false, false, division, builder_.position(), 0});
            if (division && attributes != nullptr) blocks_.back().style = styleKey(attributes);
        }
        // A table's cell counts its divisions as a division does.
        if (kind == Kind::kCell && part == Part::kOther && skipping_ == 0)
            blocks_.push_back(
                {0, false, false, false, builder_.position(), 0, 0, {}, {}, 0, false, false, true});
        if (kind == Kind::kSkip) ++skipping_;
        if (skipping_ > 0) return;
        if (kind == Kind::kLineBreak) builder_.lineBreak();
        if (kind == Kind::kLine) builder_.endLine();
        if (kind == Kind::kParagraph) builder_.paragraph();
        // A page's direction is set on its root, its body or a block (a table).
        const char* dir =
            block || (name[0] == 'h' && name[1] == 't') || (name[0] == 'b' && name[1] == 'o')
                ? attribute(attributes, "dir")
                : nullptr;
        if (dir != nullptr && strcasecmp(dir, "rtl") == 0) builder_.rightToLeft();
        if (part == Part::kTable)
            builder_.tableStart(dir != nullptr && strcasecmp(dir, "ltr") == 0);
        if (part == Part::kList) {
            builder_.tableStart();
            terms_.push_back(0);
        }
        if (part == Part::kRow) builder_.rowStart();
        if (kind == Kind::kCell) {
            builder_.cellStart();
            const char* span = attribute(attributes, "rowspan");
            builder_.cellOpened(part == Part::kHeaderCell, span == nullptr ? 1 : std::atoi(span),
                                attribute(attributes, "style"));
            builder_.cellDepth(1);
        }
        if (part == Part::kPre) builder_.preformatted(true);
        if (part == Part::kQuote) builder_.quoted(true);
        if (part == Part::kLink) builder_.link(true);
        if (part == Part::kStress) builder_.stress(true);
    }
    // A label styled onto a line of its own that opens its cell or division:
    // called as it starts.
    [[gnu::noinline]] void noteStackedLabel() {
        if (skipping_ == 0 && !open_.empty() &&
            ((open_.back() == Kind::kCell && builder_.cellUntouched()) ||
             (open_.back() != Kind::kInline && !blocks_.empty() && blocks_.back().division &&
              blocks_.back().blocks == 0 && builder_.position() == blocks_.back().from)))
            stacked_.push_back({open_.size(), builder_.position(), open_.size() + 1});
    }
    void end() {
        if (open_.empty()) return;
        // The label's and its answer's text, once the cell or division that a
        // stacked label opened ends: where each begins; 0 for none.
        size_t pairFrom = 0, pairAnswer = 0;
        if (!stacked_.empty()) [[unlikely]] {
            Stacked& top = stacked_.back();
            if (top.label == open_.size() && top.answer == 0) {
                top.answer = builder_.position();
            } else if (top.depth == open_.size()) {
                if (top.answered) std::tie(pairFrom, pairAnswer) = std::pair(top.from, top.answer);
                stacked_.pop_back();
            }
        }
        Kind kind = open_.back();
        Part part = parts_.back();
        open_.pop_back();
        parts_.pop_back();
        Blocks blocks{};
        if (kind == Kind::kCell && !blocks_.empty() && blocks_.back().cell) {
            blocks = blocks_.back();
            blocks_.pop_back();
        } else if ((kind == Kind::kLine || kind == Kind::kParagraph) && !blocks_.empty()) {
            blocks = blocks_.back();
            blocks_.pop_back();
            if (!blocks_.empty() && blocks.blocks > 0) blocks_.back().nested = true;
            if (!blocks_.empty() && skipping_ == 0)
                noteSibling(blocks_.back(), blocks.blocks == 0 ? blocks.style : 0, blocks.from);
        }
        if (kind == Kind::kSkip) --skipping_;
        if (skipping_ > 0) return;
        if (kind == Kind::kCell) {
            builder_.cellClosed();
            builder_.cellDepth(-1);
        }
        if (part == Part::kPre) builder_.preformatted(false);
        if (part == Part::kQuote) builder_.quoted(false);
        if (part == Part::kLink) builder_.link(false);
        if (part == Part::kStress) builder_.stress(false);
        if (part == Part::kTable) builder_.tableEnd();
        if (part == Part::kList && !terms_.empty()) {
            builder_.endLine();
            if (terms_.back()) builder_.rowEnd();
            terms_.pop_back();
            builder_.tableEnd();
        }
        // A division of two blocks of text alone and no text of its own: a
        // label's and its answer's.
        if (blocks.division && blocks.blocks == 2 && !blocks.text && !blocks.nested &&
            skipping_ == 0)
            builder_.blocksPair(blocks.from, blocks.second);
        // A cell alone in its row of the same two divisions: a label's and its answer's.
        if (blocks.cell && blocks.blocks == 2 && !blocks.text && !blocks.nested && skipping_ == 0)
            builder_.stackedPair(blocks.from, blocks.second);
        if (pairAnswer != 0 && skipping_ == 0) builder_.stackedPair(pairFrom, pairAnswer);
        if (kind == Kind::kLine) builder_.endLine();
        if (part == Part::kRow) builder_.rowEnd();
        if (kind == Kind::kParagraph) builder_.paragraph();
        if (kind == Kind::kCell) builder_.cellEnd();
    }
    void text(const char* bytes, int length) {
        if (skipping_ > 0 || length <= 0) return;
        if (!stacked_.empty() && stacked_.back().answer != 0 && !stacked_.back().answered)
            stacked_.back().answered = hasText(bytes, length);
        if (!blocks_.empty() && (blocks_.back().division || blocks_.back().cell) &&
            !blocks_.back().text)
            blocks_.back().text = hasText(bytes, length);
        text_.assign(bytes, static_cast<size_t>(length));
        builder_.text(text_.c_str());
    }
    // Whether text holds more than blanks (a no-break space among them); it is
    // not terminated, so a space's second byte is looked at within it.
    static bool hasText(const char* bytes, int length) {
        for (int i = 0; i < length; ++i) {
            char c = bytes[i];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') continue;
            if (c == '\xC2' && i + 1 < length && bytes[i + 1] == '\xA0') {
                ++i;
                continue;
            }
            return true;
        }
        return false;
    }

    // A blockquote that quotes an earlier message, as mail programs mark it:
    // type="cite", a cite attribute, a class or id of a quote ("gmail_quote").
    // One without such a mark is a form's way to set an answer in.
    static bool isCitation(const xmlChar** attributes) {
        if (attribute(attributes, "cite") != nullptr) return true;
        const char* type = attribute(attributes, "type");
        if (type != nullptr && strcasecmp(type, "cite") == 0) return true;
        for (const char* name : {"class", "id"}) {
            const char* value = attribute(attributes, name);
            if (value != nullptr && strcasestr(value, "quot") != nullptr) return true;
        }
        return false;
    }

    static const char* attribute(const xmlChar** attributes, const char* name) {
        for (size_t i = 0; attributes != nullptr && attributes[i] != nullptr; i += 2) {
            if (xmlStrcasecmp(attributes[i], reinterpret_cast<const xmlChar*>(name)) == 0)
                return attributes[i + 1] != nullptr
                           ? reinterpret_cast<const char*>(attributes[i + 1])
                           : "";
        }
        return nullptr;
    }
    // The value a style gives `property` ("white-space: pre-wrap"), from its
    // first letter on; null when it sets none.
    static const char* styleValue(const char* style, const char* property) {
        const char* at = style == nullptr ? nullptr : std::strstr(style, property);
        if (at == nullptr) return nullptr;
        at += std::strlen(property);
        while (*at == ' ' || *at == ':')
            ++at;
        return at;
    }
    // Whether a style sets "white-space" to "pre", "pre-wrap" or "pre-line".
    static bool keepsLineEnds(const char* style) {
        const char* at = styleValue(style, "white-space");
        return at != nullptr && std::strncmp(at, "pre", 3) == 0;
    }
    // The elements a label is set in: <strong>, <b>, <span>, <label>.
    static bool isLabelElement(const char* name) {
        switch (name[0]) {
            case 'b':
                return name[1] == '\0';
            case 's':
                return std::strcmp(name, "strong") == 0 || std::strcmp(name, "span") == 0;
            case 'l':
                return std::strcmp(name, "label") == 0;
            default:
                return false;
        }
    }
    static bool isDisplayBlock(const char* style) {
        const char* at = styleValue(style, "display");
        return at != nullptr && std::strncmp(at, "block", 5) == 0;
    }
    static bool isTextInput(const char* type) {
        for (const char* text : {"text", "email", "tel", "number", "date", "time", "datetime-local",
                                 "url", "search"}) {
            if (strcasecmp(type, text) == 0) return true;
        }
        return false;
    }

    // The walk of the document being parsed on this thread.
    static thread_local Walk* current;

  private:
    // A definition list (<dl>) is read as a table: each term (<dt>) opens a row
    // of a label cell, its definitions (<dd>) the value cells beside it.
    enum class Part : char {
        kOther,
        kTable,
        kRow,
        kHeaderCell,
        kPre,
        kQuote,
        kLink,
        kStress,
        kList,
        kTerm,
        kDefinition
    };
    static Part partOf(const char* name) {
        if (std::strcmp(name, "a") == 0) return Part::kLink;
        if ((name[0] == 'i' && name[1] == '\0') || std::strcmp(name, "em") == 0)
            return Part::kStress;
        if (std::strcmp(name, "blockquote") == 0) return Part::kQuote;
        if (std::strcmp(name, "pre") == 0 ||
            (name[0] == 't' && name[1] == 'e' && std::strcmp(name, "textarea") == 0))
            return Part::kPre;
        if (std::strcmp(name, "table") == 0) return Part::kTable;
        if (std::strcmp(name, "tr") == 0) return Part::kRow;
        if (std::strcmp(name, "th") == 0) return Part::kHeaderCell;
        if (name[0] == 'd' && name[2] == '\0') {
            if (name[1] == 'l') return Part::kList;
            if (name[1] == 't') return Part::kTerm;
            if (name[1] == 'd') return Part::kDefinition;
        }
        return Part::kOther;
    }

    TextBuilder& builder_;
    std::vector<Kind> open_;   // the kinds of the elements open, outermost first
    std::vector<Part> parts_;  // and what each is of a table
    // Of each open block: how many divisions it holds (3 for more, or for
    // another block among them), whether it holds text of its own, whether one
    // of its blocks holds blocks, whether it is a division, where its text
    // begins and where its second block's does.
    struct Blocks {
        unsigned char blocks;
        bool text;
        bool nested;
        bool division;
        size_t from;
        size_t second;
        uint32_t style = 0;  // of a division: its style and class, hashed; 0 for none
        // Its last divisions of text alone, a style each, and where each begins,
        // and how many of them there are; once they run as labels' and answers'
        // divisions in turn, the two styles and where the last label began.
        std::array<uint32_t, 6> styles{};
        std::array<size_t, 6> starts{};
        unsigned char count = 0;
        bool alternating = false;
        bool labelOpen = false;  // alternating: a label's division has ended
        bool cell = false;       // a table's cell, not a block
    };
    std::vector<Blocks> blocks_;
    // The style and class of a division, hashed: 0 when it has neither.
    static uint32_t styleKey(const xmlChar** attributes) {
        uint32_t key = 0;
        for (const char* name : {"style", "class"}) {
            const char* value = attribute(attributes, name);
            if (value == nullptr) continue;
            key = key == 0 ? 2166136261u : key;
            for (const char* c = value; *c != '\0'; ++c)
                key = (key ^ static_cast<unsigned char>(*c)) * 16777619u;
            key = (key ^ '|') * 16777619u;
        }
        return key;
    }
    // A block of `parent` has ended, a division of text alone of `style` (0 for
    // another block) that began at `from`. Divisions of two styles in turn, the
    // first's each a label's line and the second's its answer ("<div
    // class=label>City</div><div class=value>Lyon</div>", three pairs at least),
    // are written again as a table's rows are.
    void noteSibling(Blocks& parent, uint32_t style, size_t from) {
        if (style == 0 || builder_.inTable()) {
            parent.count = 0;
            parent.alternating = parent.labelOpen = false;
            return;
        }
        if (parent.alternating) {
            if (!parent.labelOpen && style == parent.styles[0]) {
                parent.starts[0] = from;
                parent.labelOpen = true;
                return;
            }
            if (parent.labelOpen && style == parent.styles[1]) {
                size_t pair[] = {parent.starts[0], from};
                builder_.writePairs(pair);
                parent.labelOpen = false;
                return;
            }
            parent.count = 0;
            parent.alternating = parent.labelOpen = false;
        }
        auto& styles = parent.styles;
        auto& starts = parent.starts;
        if (parent.count == styles.size()) {
            std::move(styles.begin() + 1, styles.end(), styles.begin());
            std::move(starts.begin() + 1, starts.end(), starts.begin());
            --parent.count;
        }
        styles[parent.count] = style;
        starts[parent.count] = from;
        if (++parent.count < styles.size()) return;
        bool run = styles[0] != styles[1];
        for (size_t k = 2; k < styles.size() && run; ++k)
            run = styles[k] == styles[k - 2];
        if (!run || !builder_.writePairs(starts)) return;
        parent.count = 0;
        parent.alternating = true;
    }

    // Of each open cell or division that a label styled onto a line of its own
    // opened: its depth in open_, where the label's text begins, the label's
    // depth, where the text after the label begins (0 before the label ends)
    // and whether there is any.
    struct Stacked {
        size_t depth;
        size_t from;
        size_t label;
        size_t answer = 0;
        bool answered = false;
    };
    std::vector<Stacked> stacked_;
    size_t skipping_ = 0;      // open elements whose text is dropped
    std::vector<char> terms_;  // per definition list open, whether a row of it is
    std::string text_;

    struct Spare {
        std::vector<Kind> open;
        std::vector<Part> parts;
        std::vector<Blocks> blocks;
        std::string text;
    };
    static Spare& spare() {
        static thread_local Spare spare;
        return spare;
    }
};

thread_local Walk* Walk::current = nullptr;

htmlSAXHandler walkHandler() {
    htmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.startElement = [](void*, const xmlChar* name, const xmlChar** attributes) {
        Walk::current->start(reinterpret_cast<const char*>(name), attributes);
    };
    handler.endElement = [](void*, const xmlChar*) { Walk::current->end(); };
    handler.characters = [](void*, const xmlChar* text, int length) {
        Walk::current->text(reinterpret_cast<const char*>(text), length);
    };
    handler.cdataBlock = handler.characters;
    handler.ignorableWhitespace = [](void*, const xmlChar*, int) {};
    return handler;
}

// One HTML parser context, freed with its thread.
class ParserContext {
  public:
    ParserContext() : context_(htmlNewParserCtxt()) {}
    ~ParserContext() {
        if (context_ != nullptr) htmlFreeParserCtxt(context_);
    }
    ParserContext(const ParserContext&) = delete;
    ParserContext& operator=(const ParserContext&) = delete;
    htmlParserCtxtPtr get() const { return context_; }

  private:
    htmlParserCtxtPtr context_;
};

}  // namespace

bool isRowNumber(std::string_view cell) {
    if (cell.starts_with('#')) cell.remove_prefix(1);
    if (cell.ends_with('.')) cell.remove_suffix(1);
    if (cell.empty() || cell.size() > 8) return false;
    // An ID: letters and digits, a dash, dot or underscore between them, a digit
    // among them ("F-101", "Q7", "A.2").
    bool digit = false;
    for (size_t i = 0; i < cell.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(cell[i]);
        digit = digit || (c >= '0' && c <= '9');
        bool joint = i > 0 && (c == '-' || c == '.' || c == '_');
        if (!std::isalnum(c) && !joint) return false;
    }
    return digit;
}

std::string htmlToText(std::string_view html, bool* cut) {
    if (cut != nullptr) *cut = false;
    if (html.empty()) return std::string();
    // Deep nesting is read whole (XML_PARSE_HUGE): the walk keeps no tree.
    int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                  HTML_PARSE_NONET | HTML_PARSE_NOBLANKS | XML_PARSE_HUGE;
    // Making a parser context costs more than parsing a form's short body, so each
    // thread keeps one and resets it for every document.
    static thread_local ParserContext context;
    if (context.get() == nullptr) return std::string();
    static const htmlSAXHandler kHandler = walkHandler();
    *context.get()->sax = kHandler;
    TextBuilder builder;
    builder.reserve(html.size());
    Walk walk(builder);
    Walk::current = &walk;
    htmlDocPtr doc = htmlCtxtReadMemory(context.get(), html.data(),
                                        static_cast<int>(std::min<size_t>(html.size(), INT32_MAX)),
                                        nullptr, "UTF-8", options);
    Walk::current = nullptr;
    if (doc != nullptr) xmlFreeDoc(doc);
    // The parser gives up where it cannot go on (nesting beyond its own bound):
    // what came after is lost.
    if (cut != nullptr) *cut = context.get()->errNo == XML_ERR_INTERNAL_ERROR;
    std::string text = builder.take();
    while (!text.empty() && (text.back() == '\n' || text.back() == kTableEnd[0]))
        text.pop_back();
    return text;
}

}  // namespace tabulon
