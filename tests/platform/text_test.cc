#include "platform/text.h"

#include <gtest/gtest.h>

#include <utility>

namespace tabulon {
namespace {

TEST(Text, ValReadsTheLeadingNumber) {
    // clang-format off
    for (const auto& [text, value] : {
             std::pair{"1.2", 1.2}, {"1.10", 1.1}, {"2.0.1", 2.0}, {"  42 px", 42.0}, {"-7\r", -7.0},
             {".5", 0.5}, {"3e2x", 300.0}, {"3e", 3.0},
             {"x1", 0.0}, {"", 0.0}, {"-", 0.0}, {".", 0.0}}) {
        // clang-format on
        EXPECT_DOUBLE_EQ(Val(text), value) << text;
    }
}

TEST(Text, StrWritesNumbersBack) {
    // clang-format off
    for (const auto& [value, text] : {
             std::pair{1.2, "1.2"}, {2.0, "2"}, {1.1, "1.1"}, {-15.0, "-15"}, {2.5e-5, "2.5e-5"},
             {1.0 / 3.0, "0.3333333"}, {1.5e20, "1.5e+20"},
             {15000000.5, "1.5e+7"}}) {  // no padding zero in the exponent
        // clang-format on
        EXPECT_EQ(Str(value), text) << value;
    }
    EXPECT_EQ(Str(int64_t{-2147483648}), "-2147483648");
}

}  // namespace
}  // namespace tabulon
