#include "mail/attached_file_name.h"

#include "platform/utf8.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

constexpr size_t kMaxExtensionBytes = 12;  // ".pdf", ".docx", ".tar.gz" kept when cut

// Where the extension of `name` begins (its last "."), npos when it has none
// worth keeping.
size_t extensionStart(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kMaxExtensionBytes)
        return std::string_view::npos;
    return dot;
}

// `text` cut to at most `bytes` bytes at a character's end.
std::string_view cutAt(std::string_view text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = 0;
    while (end < text.size()) {
        size_t length = utf8SequenceLength(text, end);
        if (length == 0) length = 1;
        if (end + length > bytes) break;
        end += length;
    }
    return text.substr(0, end);
}

std::string_view trimmed(std::string_view text) {
    auto drop = [](char c) { return c == ' ' || c == '\t' || c == '.'; };
    while (!text.empty() && drop(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && drop(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::string safeSavedName(std::string_view given) {
    size_t slash = given.find_last_of("/\\");
    if (slash != std::string_view::npos) given.remove_prefix(slash + 1);
    std::string valid;
    appendValidUtf8(given, &valid);
    std::string name;
    for (size_t i = 0; i < valid.size();) {
        if (size_t control = controlLength(valid, i)) {
            name += '_';
            i += control;
        } else if (std::string_view("<>:\"|?*").find(valid[i]) != std::string_view::npos) {
            name += '_';
            ++i;
        } else {
            name += valid[i++];
        }
    }
    std::string_view kept = trimmed(name);
    if (kept.size() > kMaxSavedNameBytes) {
        size_t dot = extensionStart(kept);
        std::string_view extension = dot == std::string_view::npos ? "" : kept.substr(dot);
        std::string_view stem = cutAt(kept, kMaxSavedNameBytes - extension.size());
        return std::string(trimmed(stem)) + std::string(extension);
    }
    return kept.empty() ? "attachment" : std::string(kept);
}

std::string numberedName(const std::string& name, unsigned n) {
    if (n <= 1) return name;
    size_t dot = extensionStart(name);
    std::string number = " (" + std::to_string(n) + ")";
    if (dot == std::string::npos) return name + number;
    return name.substr(0, dot) + number + name.substr(dot);
}

}  // namespace tabulon
