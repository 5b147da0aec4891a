#include "mail/flowed_text.h"

#include <string_view>

namespace tabulon {

void unwrapFlowed(std::string* text, bool delsp) {
    std::string out;
    out.reserve(text->size());
    std::string_view rest(*text);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        bool lastLine = end == std::string_view::npos;
        if (line.starts_with(' ')) line.remove_prefix(1);  // space-stuffed
        bool soft = !line.empty() && line.back() == ' ' && line != "-- " && !lastLine;
        if (soft && delsp) line.remove_suffix(1);
        out.append(line);
        if (!soft && !lastLine) out += '\n';
    }
    text->swap(out);
}

}  // namespace tabulon
