#include "conversion/output_plan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "table/table_format.h"
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

TEST(OutputPlan, AnOutputThatIsAnInputIsRefused) {
    test::TempDir dir;
    test::writeFile(dir.file("mail"), "x");
    test::writeFile(dir.file("other"), "y");
    ASSERT_EQ(::symlink("mail", dir.file("link").c_str()), 0);
    ASSERT_EQ(::link(dir.file("mail").c_str(), dir.file("hard").c_str()), 0);
    struct Case {
        const char* output;
        bool refused;
    };
    for (const Case& c : {Case{"mail", true}, Case{"link", true}, Case{"hard", true},
                          Case{"other", false}, Case{"absent", false}}) {
        OutputTarget target = OutputTarget::file(dir.file(c.output));
        Status byPath = target.refuseInput(dir.file("mail"));
        EXPECT_EQ(!byPath.ok(), c.refused) << c.output;
        if (c.refused) {
            EXPECT_EQ(byPath.message(), "Cannot write \"" + dir.file(c.output) +
                                            "\": it is the input file \"" + dir.file("mail") +
                                            "\"; choose another name for the output");
        }
    }
    // Standard output is refused only where it is the input's regular file.
    int saved = ::dup(STDOUT_FILENO);
    for (const char* out : {"mail", "other"}) {
        FILE* file = std::fopen(dir.file(out).c_str(), "a");
        ::dup2(::fileno(file), STDOUT_FILENO);
        Status status = OutputTarget::standardOutput().refuseInput(dir.file("link"));
        ::dup2(saved, STDOUT_FILENO);
        std::fclose(file);
        EXPECT_EQ(status.ok(), out == std::string("other"));
    }
    ::close(saved);
}

}  // namespace
}  // namespace tabulon
