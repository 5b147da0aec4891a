#include "mail/label_census.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

TEST(LabelCensus, WhatCountsAsALabel) {
    const struct {
        const char* line;
        const char* label;
    } kCases[] = {
        {"Name: Ann", "Name:"},
        {"Your Message:", "Your Message:"},
        {"E-mail address: a@b", "E-mail address:"},
        {"Téléphone: 01", "Téléphone:"},
        {"http://shop.example", ""},
        {"Meeting at 10:30", ""},
        {"Note:x", ""},
        {": nothing", ""},
        {"  Name: indented", ""},
        {"This is a whole sentence with words: no", ""},
        {"Price <b>: 1", ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(labelOf(c.line), c.label) << c.line;
}

}  // namespace
}  // namespace tabulon
