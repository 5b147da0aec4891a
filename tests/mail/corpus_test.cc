// The corpus in tests/mail/corpus/: mail files written the way real form tools
// and mail clients write them, each converted and compared cell by cell with the
// table a reader would fill (cases.txt; README.md there says how a case is
// written). A case named in known_failing.txt is still run and its differences
// shown, but it is skipped instead of failing; TABULON_CORPUS_STRICT=1 fails it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "mail/layout_lookahead.h"
#include "mail/mail_folder.h"
#include "mail/message_stream.h"
#include "test_util.h"

namespace tabulon {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct CorpusCase {
    std::string file;
    std::string note;
    FieldList fields;
    std::vector<std::string> headers;
    std::vector<unsigned> threads;
    Rows rows;
    bool unsure = false;  // "strict 4": the mail lacks what the template asks for
};

std::string corpusPath(const std::string& name) {
    return std::string(TABULON_SOURCE_DIR) + "/tests/mail/corpus/" + name;
}

// Cells separated by `separator`; \n, \t, \\ and \<separator> are escapes.
std::vector<std::string> splitCells(const std::string& text, char separator = '|') {
    std::vector<std::string> cells(1);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            c = text[++i];
            cells.back() += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else if (c == separator) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

// The lines of the corpus file `name` that are neither blank nor comments.
std::vector<std::string> entries(const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(test::readFile(corpusPath(name)));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return lines;
}

std::vector<CorpusCase> loadCases() {
    std::vector<CorpusCase> cases;
    for (const std::string& line : entries("cases.txt")) {
        size_t space = line.find(' ');
        std::string key = line.substr(0, space);
        std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "case") {
            cases.push_back({rest, "", {}, {}, {1}, {}, false});
        } else if (cases.empty()) {
            ADD_FAILURE() << "cases.txt: \"" << line << "\" before the first case";
        } else if (key == "note") {
            cases.back().note = rest;
        } else if (key == "fields") {
            cases.back().fields = splitCells(rest);
        } else if (key == "headers") {
            cases.back().headers = splitCells(rest);
        } else if (key == "threads") {
            cases.back().threads.clear();
            for (const std::string& n : splitCells(rest, ','))
                cases.back().threads.push_back(std::stoul(n));
        } else if (key == "strict") {
            cases.back().unsure = rest == "4";
        } else if (key == "row") {
            cases.back().rows.push_back(splitCells(rest));
        } else {
            ADD_FAILURE() << "cases.txt: unknown line \"" << line << "\"";
        }
    }
    return cases;
}

std::set<std::string> knownFailing() {
    std::vector<std::string> names = entries("known_failing.txt");
    return {names.begin(), names.end()};
}

// The case's table, and whether --strict would call it unsure.
Rows convert(const CorpusCase& c, unsigned threads, bool* unsure) {
    MessageConversionOptions options{c.fields, c.headers, true, threads};
    options.weighHtml = true;  // as --strict reads
    MessageRows rows(options);
    Rows result;
    // A mail folder (a Maildir, an MH folder) is read file by file, its layout
    // learned from all of them, as the command line reads it.
    MailFolderFiles listed;
    EXPECT_TRUE(expandMailInputs({corpusPath(c.file)}, &listed).ok()) << c.file;
    if (listed.files.size() > 1) learnFromFiles(listed.files, rows);
    for (const std::string& file : listed.files) {
        // Odd block sizes put block edges inside lines and line ends.
        test::StringSource source(test::readFile(file), 97);
        Status status = convertMessages(
            source, c.file, rows,
            [&](const auto& cells) {
                result.push_back(cells);
                return Status::Ok();
            },
            {}, holdsOneMessage(file));
        EXPECT_TRUE(status.ok()) << c.file << ": " << status.message();
    }
    *unsure = rows.report().unsure();
    return result;
}

std::string shown(const std::string& cell) {
    std::string out = "\"";
    for (char c : cell)
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + "\"";
}

// Each differing cell on a line of its own: file, row, column, expected, got.
std::string differences(const CorpusCase& c, const Rows& got, unsigned threads) {
    std::ostringstream out;
    std::string where = c.file + " (threads " + std::to_string(threads) + ")";
    std::vector<std::string> names = c.headers;
    names.insert(names.end(), c.fields.begin(), c.fields.end());
    const std::vector<std::string> none;  // a row missing on one side
    for (size_t r = 0; r < std::max(got.size(), c.rows.size()); ++r) {
        const auto& wantRow = r < c.rows.size() ? c.rows[r] : none;
        const auto& gotRow = r < got.size() ? got[r] : none;
        for (size_t col = 0; col < std::max(gotRow.size(), wantRow.size()); ++col) {
            std::string want = col < wantRow.size() ? shown(wantRow[col]) : "<no cell>";
            std::string have = col < gotRow.size() ? shown(gotRow[col]) : "<no cell>";
            if (want == have) continue;
            out << where << ": row " << r + 1 << ", column " << col + 1 << " ("
                << (col < names.size() ? names[col] : "?") << "): expected " << want << ", got "
                << have << "\n";
        }
    }
    return out.str();
}

// Names the case in test output, which would otherwise show its bytes.
void PrintTo(const CorpusCase& c, std::ostream* os) {
    *os << c.file;
}

class MailCorpus : public testing::TestWithParam<CorpusCase> {};

TEST_P(MailCorpus, GivesTheTableAReaderWouldFill) {
    const CorpusCase& c = GetParam();
    test::ScopedEnv utc("TZ", "UTC");  // the cases' dates are written in UTC
    for (const auto& row : c.rows) {
        ASSERT_EQ(row.size(), c.headers.size() + c.fields.size()) << c.file << ": a row's cells";
    }
    std::string diff;
    for (unsigned threads : c.threads) {
        bool unsure = false;
        diff += differences(c, convert(c, threads, &unsure), threads);
        if (unsure != c.unsure) {
            diff += c.file + ": --strict would " + (unsure ? "" : "not ") +
                    "call this table unsure (\"strict 4\" says it should " +
                    (c.unsure ? "" : "not") + ")\n";
        }
    }
    bool known = knownFailing().count(c.file) > 0;
    if (known && diff.empty()) {
        ADD_FAILURE() << c.file << " gives its table now: take it out of known_failing.txt";
    } else if (known && std::getenv("TABULON_CORPUS_STRICT") == nullptr) {
        GTEST_SKIP() << "known to fail (" << c.note << "):\n" << diff;
    }
    if (!diff.empty()) ADD_FAILURE() << c.note << ":\n" << diff;
}

std::string caseName(const testing::TestParamInfo<CorpusCase>& info) {
    std::string name;
    for (char c : info.param.file)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, MailCorpus, testing::ValuesIn(loadCases()), caseName);

TEST(MailCorpusFiles, EveryFileHasItsCaseAndEveryCaseItsFile) {
    std::set<std::string> cased, files;
    for (const CorpusCase& c : loadCases()) {
        // The shared samples ("../samples/…") are checked where they lie.
        if (c.file.find('/') != std::string::npos) {
            EXPECT_TRUE(std::filesystem::exists(corpusPath(c.file))) << c.file;
            continue;
        }
        EXPECT_TRUE(cased.insert(c.file).second) << c.file;
    }
    for (const auto& entry : std::filesystem::directory_iterator(corpusPath(""))) {
        std::string name = entry.path().filename().string();
        if (name != "cases.txt" && name != "known_failing.txt" && name != "README.md")
            files.insert(name);
    }
    EXPECT_EQ(cased, files);
    for (const std::string& name : knownFailing())
        EXPECT_TRUE(cased.count(name)) << name;
}

}  // namespace
}  // namespace tabulon
