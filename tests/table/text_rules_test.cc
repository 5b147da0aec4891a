// The text rules the writers share: what counts as UTF-8, how wide a cell's
// text shows, which values are guarded against running as formulas.
#include <gtest/gtest.h>

#include "table/formula_guard.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

TEST(Utf8Text, WellFormedSequencesOnly) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"plain ASCII\t\r\n", true},
        {"\xC3\xBC", true},          // ü
        {"\xE2\x82\xAC", true},      // €
        {"\xF0\x9F\x99\x82", true},  // an emoji
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC3", false},             // cut short
        {"\xE2\x82", false},
        {"\xC0\xAF", false},          // overlong "/"
        {"\xE0\x80\xAF", false},      // overlong
        {"\xED\xA0\x80", false},      // a surrogate
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},  // a lone continuation byte
        {"\xFC\xFF", false},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(isValidUtf8(text), valid) << testing::PrintToString(text);
        std::string repaired;
        appendValidUtf8(text, &repaired);
        EXPECT_TRUE(isValidUtf8(repaired)) << testing::PrintToString(text);
        if (valid) {
            EXPECT_EQ(repaired, text);
        }
    }
}

TEST(Utf8Text, OtherBytesReadAsWindows1252) {
    const std::string kUnassigned = "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"M\xFCller", "M\xC3\xBCller"},                // Latin-1 ü
        {"\x80\x9F", "\xE2\x82\xAC\xC5\xB8"},          // € Ÿ
        {"\x81\x8D\x8F\x90\x9D", kUnassigned},         // U+FFFD each
        {"ok \xC3\xBC \xFC", "ok \xC3\xBC \xC3\xBC"},  // both kinds in one value
    };
    for (const auto& [text, want] : cases) {
        std::string repaired;
        appendValidUtf8(text, &repaired);
        EXPECT_EQ(repaired, want) << testing::PrintToString(text);
    }
}

TEST(Utf8Text, DisplayWidth) {
    const std::pair<std::string, size_t> cases[] = {
        {"", 0},
        {"Ann Lee", 7},
        {"J\xC3\xBCrgen", 6},
        {"\xE6\x9D\xB1\xE4\xBA\xAC", 4},  // two wide characters
        {"\xF0\x9F\x99\x82!", 3},
        {"short\na much longer line\r\nmid", 18},
    };
    for (const auto& [text, width] : cases)
        EXPECT_EQ(displayWidth(text), width) << text;
}

TEST(FormulaGuard, WhatASpreadsheetWouldRun) {
    const std::pair<std::string, bool> cases[] = {
        {"=1+1", true},      {"+45 5555 0101", true}, {"-12", true},
        {"@SUM(A1)", true},  {" =1+1", true},         {"\t=1+1", true},
        {"\r\n-1", true},    {"\uFF1D1", true},  // full-width =
        {"\uFF0B1", true},                       // full-width +
        {"\uFF0D1", true},                       // full-width -
        {"\uFF20x", true},                       // full-width @
        {" \uFF1D", true},                       // with nothing after it
        {"", false},         {"   ", false},          {"Ann", false},
        {"0612", false},     {"a=b", false},          {"'=1+1", false},
        {"\uFF21", false},  // full-width A
        {"\xEF\xBC", false},
    };
    for (const auto& [value, guarded] : cases)
        EXPECT_EQ(looksLikeFormula(value), guarded) << testing::PrintToString(value);
}

}  // namespace
}  // namespace tabulon
