#include "table/formula_guard.h"

namespace tabulon {

bool looksLikeFormula(std::string_view value) {
    size_t i = value.find_first_not_of(" \t\r\n");
    if (i == std::string_view::npos) return false;
    char c = value[i];
    if (c == '=' || c == '+' || c == '-' || c == '@') return true;
    // U+FF1D, U+FF0B, U+FF0D and U+FF20: full-width = + - @ (EF BC 9D, 8B, 8D, A0).
    std::string_view rest = value.substr(i);
    if (rest.size() < 3 || rest[0] != '\xEF' || rest[1] != '\xBC') return false;
    return rest[2] == '\x9D' || rest[2] == '\x8B' || rest[2] == '\x8D' || rest[2] == '\xA0';
}

bool opensQuotedField(std::string_view value) {
    size_t i = value.find_first_not_of(" \t\r\n");
    return i != std::string_view::npos && value[i] == '"';
}

}  // namespace tabulon
