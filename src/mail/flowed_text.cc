#include "mail/flowed_text.h"

#include <string_view>

#include "mail/label_shape.h"

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
        // A form's label left unanswered keeps the blank after its colon: a
        // field of its own below it ("Phone: ", "Service: Checkup") is no wrap.
        LabelLine next;
        if (soft && line.ends_with(": ") &&
            colonLabelOf(rest.substr(0, rest.find('\n')), &next, kShortLabelWords))
            soft = false;
        if (soft && delsp) line.remove_suffix(1);
        out.append(line);
        if (!soft && !lastLine) out += '\n';
    }
    text->swap(out);
}

}  // namespace tabulon
