#include "table/table_writer.h"

#include "platform/text.h"

namespace tabulon {

std::string columnTitle(std::string_view name) {
    std::string_view title = trimEndBlanks(name);
    if (!title.empty() && title.back() == ':') {
        title = trimEndBlanks(title.substr(0, title.size() - 1));
    }
    return std::string(title);
}

}  // namespace tabulon
