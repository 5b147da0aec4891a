// Test cases held as data: the records of a file under tests/, each a set of
// named values, for table-driven tests whose rows are texts.
//
// Records are parted by blank lines; a line is `key: value`, a line that begins
// with a blank goes on with the value above, and `#` opens a comment line. A
// value is a list of items parted by commas; an item is C-quoted texts one after
// another ("a\tb" "c" is "a\tbc"; escapes \n \r \t \v \f \0 \\ \" \xHH), a
// quoted text then `* N` for N copies, `$name` for the text a line
// `$name: value` defined above, or a bare word (yes, 7). Errors throw, naming
// the file and line.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tabulon::test {

struct Case {
    std::string where;  // "file:line" of the record's first line
    std::map<std::string, std::vector<std::string>> values;

    bool has(const std::string& key) const { return values.count(key) != 0; }
    // The items under `key`; none when the record lacks it.
    std::vector<std::string> list(const std::string& key) const;
    // The one item under `key`; it throws when the record lacks it.
    std::string text(const std::string& key) const;
    // The one item under `key`, or `otherwise` when the record lacks it.
    std::string text(const std::string& key, const std::string& otherwise) const;
    // Items "yes" and "no" as true and false.
    std::vector<bool> flags(const std::string& key) const;
};

// The records of tests/`name`; at least one, or it throws.
std::vector<Case> readCases(const std::string& name);

}  // namespace tabulon::test
