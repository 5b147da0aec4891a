#include "mail/link_references.h"

#include <string_view>
#include <vector>

#include "mail/html_text.h"

namespace tabulon {
namespace {

// The number of a reference "[12]" at `at` of `line`, or 0.
size_t referenceAt(std::string_view line, size_t at, size_t* end) {
    if (at >= line.size() || line[at] != '[') return 0;
    size_t number = 0;
    size_t i = at + 1;
    for (; i < line.size() && i < at + 5 && line[i] >= '0' && line[i] <= '9'; ++i)
        number = number * 10 + static_cast<size_t>(line[i] - '0');
    if (i == at + 1 || i >= line.size() || line[i] != ']') return 0;
    *end = i + 1;
    return number;
}

// The number a line of the list gives its target ("[2] mailto:ann@example.org"), or 0.
size_t listedNumber(std::string_view line) {
    size_t end = 0;
    size_t number = referenceAt(line, 0, &end);
    if (number == 0 || end >= line.size() || line[end] != ' ') return 0;
    std::string_view target = line.substr(end + 1);
    bool link = target.find("://") != target.npos || target.starts_with("mailto:") ||
                target.starts_with("tel:");
    return link ? number : 0;
}

}  // namespace

void markLinkReferences(std::string* text) {
    // Looked for from its "[", which few lines hold (a search from the line end
    // would stop at every line).
    size_t list = text->find("[1] ");
    while (list != std::string::npos && (list == 0 || (*text)[list - 1] != '\n'))
        list = text->find("[1] ", list + 1);
    if (list == std::string::npos) return;
    --list;  // the line end above the list
    std::vector<bool> listed;
    for (size_t at = list + 1; at < text->size();) {
        size_t end = std::min(text->find('\n', at), text->size());
        size_t number = listedNumber(std::string_view(*text).substr(at, end - at));
        if (number == 0 && end > at) break;
        if (number >= listed.size()) listed.resize(number + 1);
        if (number > 0) listed[number] = true;
        at = end + 1;
    }
    if (listed.size() < 2) return;
    std::string marked;
    marked.reserve(text->size());
    for (size_t at = 0; at < list + 1;) {
        size_t end = std::min(text->find('\n', at), list);
        std::string_view line = std::string_view(*text).substr(at, end - at);
        std::string kept;
        size_t marks = 0;
        bool last = false;  // a mark ends the line
        size_t done = 0;
        for (size_t open = line.find(" ["); open != line.npos; open = line.find(" [", open + 1)) {
            size_t close = 0;
            size_t number = referenceAt(line, open + 1, &close);
            if (number == 0 || number >= listed.size() || !listed[number]) continue;
            kept.append(line, done, open - done);
            done = close;
            ++marks;
            last = close == line.size();
        }
        kept.append(line, done);
        // The line held a link's text alone: no label before it.
        if (marks == 1 && last && kept.find(':') == std::string::npos &&
            kept.find_first_not_of(' ') != std::string::npos)
            marked += kHtmlLinkOnly;
        marked += kept;
        if (end < list) marked += '\n';
        at = end + 1;
    }
    marked.append(*text, list);
    text->swap(marked);
}

}  // namespace tabulon
