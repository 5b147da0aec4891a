#include "output/output_plan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "output/table_format.h"
#include "test_util.h"

namespace tabulon {
namespace {

// Every input (a file, "-") with every -o (none, "-", a file), in every format;
// "%" stands for the format's extension.
TEST(OutputPlan, WhereEachOutputGoes) {
    struct Case {
        const char* output;
        const char* input;
        const char* target;
    };
    const Case cases[] = {
        {"", "mail.txt", "mail.txt Converted%"},
        {"", "in/-", "in/- Converted%"},
        {"", "-", "standard output"},
        {"-", "mail.txt", "standard output"},
        {"-", "-", "standard output"},
        {"out", "mail.txt", "out"},  // a named output takes no extension
        {"out", "-", "out"},
    };
    for (const FormatInfo& format : tableFormats()) {
        std::string_view extension = format.extension;
        for (const Case& c : cases) {
            OutputTarget target = OutputPlan(c.output, extension).targetFor(c.input);
            std::string want = c.target;
            if (size_t mark = want.find('%'); mark != std::string::npos)
                want.replace(mark, 1, extension);
            EXPECT_EQ(target.name(), want) << format.name << " -o '" << c.output << "' " << c.input;
            EXPECT_EQ(target.isStandardOutput(), want == "standard output");
            EXPECT_EQ(target.path(), target.isStandardOutput() ? "" : want);
        }
    }
}

// Whatever name leads to the input. (Standard output onto an input, and the
// messages, are the command line's tests.)
TEST(OutputPlan, AnOutputThatIsAnInputIsRefused) {
    test::TempDir dir;
    test::writeFile(dir.file("mail"), "x");
    test::writeFile(dir.file("other"), "y");
    ASSERT_EQ(::symlink("mail", dir.file("link").c_str()), 0);
    ASSERT_EQ(::link(dir.file("mail").c_str(), dir.file("hard").c_str()), 0);
    for (auto [output, refused] : {std::pair{"mail", true},
                                   {"link", true},
                                   {"hard", true},
                                   {"other", false},
                                   {"absent", false}}) {
        OutputTarget target = OutputTarget::file(dir.file(output));
        EXPECT_EQ(!target.refuseInput(dir.file("mail")).ok(), refused) << output;
    }
}

}  // namespace
}  // namespace tabulon
