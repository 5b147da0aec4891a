#include "mail/html_text.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tabulon {
namespace {

enum class Kind { kInline, kSkip, kLineBreak, kLine, kParagraph, kCell };

Kind kindOf(const char* name) {
    static const std::unordered_map<std::string_view, Kind> kKinds = [] {
        std::unordered_map<std::string_view, Kind> kinds;
        for (const char* skip : {"script", "style", "head", "title", "noscript"})
            kinds.emplace(skip, Kind::kSkip);
        for (const char* line :
             {"div", "tr", "li", "ul", "ol", "dl", "dt", "dd", "section", "article", "header",
              "footer", "center", "address", "form", "tbody", "thead", "tfoot"})
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

class TextBuilder {
  public:
    void text(const char* s) {
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
            if (tab_) {
                line_ += '\t';
                tabbed_ = true;
            } else if (space_) {
                line_ += ' ';
            }
            space_ = tab_ = false;
            line_.append(s + i, end - i);
            i = end;
        }
    }
    // The first cell boundary of a table row is a Tab, so that the label cell
    // stays told from its value; further cells are parted by a blank.
    void cellStart() {
        if (line_.empty()) return;
        if (tabbed_) {
            space_ = true;
        } else {
            tab_ = true;
        }
    }
    void cellEnd() {
        if (!tab_) space_ = !line_.empty();
    }
    void lineBreak() {
        if (tab_) line_ += '\t';  // a row whose value cell is empty
        out_ += line_;
        out_ += '\n';
        line_.clear();
        space_ = tab_ = tabbed_ = false;
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
    std::string take() {
        endLine();
        return std::move(out_);
    }

  private:
    std::string out_;
    std::string line_;
    bool space_ = false;
    bool tab_ = false;     // a Tab goes before the line's next text
    bool tabbed_ = false;  // the line has its Tab
};

void walk(xmlNode* node, TextBuilder& builder, int depth);

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// The element children of `parent` that `keep` takes.
template <typename Keep>
std::vector<xmlNode*> childrenOf(xmlNode* parent, Keep keep) {
    std::vector<xmlNode*> children;
    for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (keep(child)) children.push_back(child);
    }
    return children;
}

// A table laid out across: a first row of header cells (<th>) only, the questions,
// above rows of as many cells, the answers. Each answer row reads as lines of
// "question<Tab>answer", as the rows of a table laid out down the page do.
bool writeTableAcross(xmlNode* table, TextBuilder& builder, int depth) {
    std::vector<xmlNode*> rows;
    for (xmlNode* child = table->children; child != nullptr; child = child->next) {
        if (named(child, "tr")) rows.push_back(child);
        if (named(child, "thead") || named(child, "tbody") || named(child, "tfoot")) {
            for (xmlNode* row : childrenOf(child, [](xmlNode* n) { return named(n, "tr"); }))
                rows.push_back(row);
        }
    }
    auto isCell = [](xmlNode* n) { return named(n, "td") || named(n, "th"); };
    if (rows.size() < 2) return false;
    std::vector<xmlNode*> header = childrenOf(rows[0], isCell);
    if (header.size() < 2) return false;
    for (xmlNode* cell : header) {
        if (!named(cell, "th")) return false;
    }
    std::vector<std::vector<xmlNode*>> answers;
    for (size_t r = 1; r < rows.size(); ++r) {
        answers.push_back(childrenOf(rows[r], isCell));
        if (answers.back().size() != header.size()) return false;
    }
    builder.paragraph();
    for (const std::vector<xmlNode*>& answer : answers) {
        for (size_t i = 0; i < header.size(); ++i) {
            walk(header[i]->children, builder, depth + 1);
            builder.cellStart();
            walk(answer[i]->children, builder, depth + 1);
            builder.cellEnd();
            builder.endLine();
        }
        builder.paragraph();
    }
    return true;
}

void walk(xmlNode* node, TextBuilder& builder, int depth) {
    if (depth > 256) return;  // libxml2 bounds nesting too; this keeps the stack small
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            if (node->content != nullptr)
                builder.text(reinterpret_cast<const char*>(node->content));
            continue;
        }
        if (node->type != XML_ELEMENT_NODE) continue;
        Kind kind = kindOf(reinterpret_cast<const char*>(node->name));
        if (kind == Kind::kSkip) continue;
        if (kind == Kind::kLineBreak) {
            builder.lineBreak();
            continue;
        }
        if (named(node, "table") && writeTableAcross(node, builder, depth)) continue;
        if (kind == Kind::kLine) builder.endLine();
        if (kind == Kind::kParagraph) builder.paragraph();
        if (kind == Kind::kCell) builder.cellStart();
        walk(node->children, builder, depth + 1);
        if (kind == Kind::kLine) builder.endLine();
        if (kind == Kind::kParagraph) builder.paragraph();
        if (kind == Kind::kCell) builder.cellEnd();
    }
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

std::string htmlToText(std::string_view html) {
    if (html.empty()) return std::string();
    int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                  HTML_PARSE_NONET | HTML_PARSE_NOBLANKS;
    // Making a parser context costs more than parsing a form's short body, so each
    // thread keeps one and resets it for every document.
    static thread_local ParserContext context;
    if (context.get() == nullptr) return std::string();
    htmlDocPtr doc = htmlCtxtReadMemory(context.get(), html.data(),
                                        static_cast<int>(std::min<size_t>(html.size(), INT32_MAX)),
                                        nullptr, "UTF-8", options);
    if (doc == nullptr) return std::string();
    TextBuilder builder;
    walk(xmlDocGetRootElement(doc), builder, 0);
    xmlFreeDoc(doc);
    std::string text = builder.take();
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

}  // namespace tabulon
