#include "case_file.h"

#include <cctype>
#include <stdexcept>

#include "test_util.h"

namespace tabulon::test {
namespace {

using Texts = std::map<std::string, std::string>;

bool hex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The text of the quoted item at `*i`, past its closing quote.
std::string quoted(const std::string& v, size_t* i) {
    static const std::string kFrom = "nrtvf0\\\"";
    static const char kTo[] = "\n\r\t\v\f\0\\\"";
    std::string out;
    for (++*i; *i < v.size() && v[*i] != '"'; ++*i) {
        if (v[*i] != '\\') {
            out += v[*i];
        } else if (*i + 3 < v.size() && v[*i + 1] == 'x' && hex(v[*i + 2]) && hex(v[*i + 3])) {
            out += static_cast<char>(std::stoi(v.substr(*i + 2, 2), nullptr, 16));
            *i += 3;
        } else if (*i + 1 < v.size() && kFrom.find(v[*i + 1]) != std::string::npos) {
            out += kTo[kFrom.find(v[++*i])];
        } else {
            throw std::runtime_error("unknown escape");
        }
    }
    if (*i == v.size()) throw std::runtime_error("a quote left open");
    ++*i;
    return out;
}

std::vector<std::string> items(const std::string& v, const Texts& defined) {
    std::vector<std::string> out;
    std::string item;
    bool any = false;
    auto word = [&](size_t* i) {
        size_t start = *i;
        while (*i < v.size() && !std::isspace(static_cast<unsigned char>(v[*i])) && v[*i] != ',')
            ++*i;
        return v.substr(start, *i - start);
    };
    for (size_t i = 0; i < v.size();) {
        if (std::isspace(static_cast<unsigned char>(v[i]))) {
            ++i;
        } else if (v[i] == ',') {
            out.push_back(item);
            item.clear();
            any = false;
            ++i;
        } else if (v[i] == '"') {
            std::string text = quoted(v, &i);
            size_t star = v.find_first_not_of(' ', i);
            if (star != std::string::npos && v[star] == '*') {
                i = v.find_first_not_of(' ', star + 1);
                text = repeat(text, std::stoul(word(&i)));
            }
            item += text;
            any = true;
        } else if (v[i] == '$') {
            ++i;
            auto found = defined.find(word(&i));
            if (found == defined.end()) throw std::runtime_error("not defined above");
            item += found->second;
            any = true;
        } else {
            item += word(&i);
            any = true;
        }
    }
    if (any || !out.empty()) out.push_back(item);
    return out;
}

}  // namespace

std::vector<std::string> Case::list(const std::string& key) const {
    auto found = values.find(key);
    return found == values.end() ? std::vector<std::string>{} : found->second;
}

std::string Case::text(const std::string& key) const {
    if (!has(key)) throw std::runtime_error(where + ": no " + key);
    return text(key, "");
}

std::string Case::text(const std::string& key, const std::string& otherwise) const {
    auto found = values.find(key);
    if (found == values.end()) return otherwise;
    if (found->second.size() != 1)
        throw std::runtime_error(where + ": " + key + " is not one text");
    return found->second[0];
}

std::vector<bool> Case::flags(const std::string& key) const {
    std::vector<bool> out;
    for (const std::string& item : list(key))
        out.push_back(item == "yes");
    return out;
}

std::vector<Case> readCases(const std::string& name) {
    const std::string path = std::string(TABULON_SOURCE_DIR) + "/tests/" + name;
    const std::string content = readFile(path);
    // Each key's value with its continuation lines, then parsed when complete.
    std::vector<Case> cases;
    Texts defined;
    std::vector<std::pair<std::string, std::string>> record;
    int line = 0, recordLine = 0;
    auto close = [&] {
        Case c{name + ":" + std::to_string(recordLine), {}};
        for (const auto& [key, value] : record) {
            if (key[0] == '$') {
                auto list = items(value, defined);
                defined[key.substr(1)] = list.empty() ? "" : list[0];
            } else if (!c.values.emplace(key, items(value, defined)).second) {
                throw std::runtime_error(key + " given twice");
            }
        }
        if (!c.values.empty()) cases.push_back(std::move(c));
        record.clear();
    };
    size_t start = 0;
    try {
        while (start < content.size()) {
            size_t end = content.find('\n', start);
            if (end == std::string::npos) end = content.size();
            const std::string text = content.substr(start, end - start);
            start = end + 1;
            ++line;
            if (text.find_first_not_of(" \t") == std::string::npos) {
                close();
            } else if (text[0] == '#') {
            } else if (text[0] == ' ' || text[0] == '\t') {
                if (record.empty()) throw std::runtime_error("goes on with no key above");
                record.back().second += text;
            } else {
                size_t colon = text.find(':');
                if (colon == std::string::npos) throw std::runtime_error("no key");
                if (record.empty()) recordLine = line;
                record.emplace_back(text.substr(0, colon), text.substr(colon + 1));
            }
        }
        close();
    } catch (const std::exception& e) {
        throw std::runtime_error(path + ":" + std::to_string(line) + ": " + e.what());
    }
    if (cases.empty()) throw std::runtime_error(path + ": no cases");
    return cases;
}

}  // namespace tabulon::test
