#include "mail/quoted_message.h"

#include "mail/charset_text.h"

namespace tabulon {

bool isQuoteMarker(std::string_view line) {
    line = trimBlanks(line);
    if (line.size() >= 3 && (line[0] == '-' || line[0] == '_'))
        return line.substr(1, 2) == line.substr(0, 2);
    return line.substr(0, 23) == "Begin forwarded message";
}

}  // namespace tabulon
