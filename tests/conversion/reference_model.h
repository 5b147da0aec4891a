// A naive model of the conversion, written independently of the engine for
// checking it: the whole input in memory, split into lines one by one.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "templates/field_list.h"

namespace tabulon::test {

inline std::vector<std::string> modelLines(const std::string& input) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < input.size(); ++i) {
        char c = input[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty() || input.empty() || (input.back() != '\r' && input.back() != '\n')) {
        lines.push_back(line);
    }
    return lines;
}

inline std::string modelLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

inline std::string modelCheckline(const std::string& line, const FieldList& fields) {
    std::string result;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i];
        if (line.size() >= name.size() &&
            modelLower(line.substr(0, name.size())) == modelLower(name)) {
            result = line.substr(name.size()) + (i + 1 == fields.size() ? "\r" : "\t");
        }
    }
    return result;
}

inline std::string modelConvert(const std::string& input, const FieldList& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        out += fields[i] + (i + 1 == fields.size() ? "\r" : "\t");
    }
    for (const std::string& line : modelLines(input))
        out += modelCheckline(line, fields);
    return out;
}

// Input for comparing a conversion with the model: up to `maxLength` characters
// drawn from `alphabet`.
inline std::string randomText(std::mt19937& random, const std::string& alphabet, size_t maxLength) {
    std::string text(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
    for (char& c : text)
        c = alphabet[random() % alphabet.size()];
    return text;
}

}  // namespace tabulon::test
