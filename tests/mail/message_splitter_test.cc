#include "mail/message_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "test_util.h"

namespace tabulon {
namespace {

using Layout = MessageSplitter::Layout;

// The cases of mail/cases/message_splitter.cases with a limit (`limit`) or
// without, and made to keep one message (`one message`) or not.
std::vector<test::Case> splitCases(bool limit, bool oneMessage) {
    std::vector<test::Case> out;
    for (test::Case& c : test::readCases("mail/cases/message_splitter.cases"))
        if (c.has("limit") == limit && c.has("one message") == oneMessage) out.push_back(c);
    return out;
}

// Each case split in blocks of each size, every byte read; messages over the
// limit come out as "(too large)".
void expectSplits(const std::vector<test::Case>& cases, std::initializer_list<size_t> chunks,
                  bool oneMessage = false) {
    ASSERT_FALSE(cases.empty());
    for (const test::Case& c : cases) {
        const std::string input = c.text("input");
        const std::string layout = c.text("layout");
        for (size_t chunk : chunks) {
            SCOPED_TRACE(c.where + ", blocks of " + std::to_string(chunk));
            test::StringSource source(input, chunk);
            MessageSplitter splitter(
                source, chunk,
                std::stoul(c.text("limit", std::to_string(MessageSplitter::kMaxMessageBytes))));
            if (oneMessage) splitter.keepOneMessage();
            std::vector<std::string> messages;
            std::string message;
            bool found = true;
            while (found) {
                bool tooLarge = false;
                EXPECT_TRUE(splitter.next(&message, &found, &tooLarge).ok());
                if (found) messages.push_back(tooLarge ? "(too large)" : message);
            }
            EXPECT_EQ(messages, c.list("messages"));
            EXPECT_EQ(splitter.layout(), layout == "mbox"         ? Layout::kMbox
                                         : layout == "saved-text" ? Layout::kSavedText
                                                                  : Layout::kUndecided);
            EXPECT_EQ(splitter.bytesRead(), input.size());
        }
    }
}

TEST(MessageSplitter, SplitsEveryLayoutWhereverTheBlocksEnd) {
    expectSplits(splitCases(false, false), {1, 2, 3, 7, 65536});
}

TEST(MessageSplitter, AMessageOverTheLimitIsLetGoAndTheNextOneKept) {
    expectSplits(splitCases(true, false), {1, 7, 65536});
}

// A file that is one message (a Maildir's, an .eml) whatever its body quotes.
TEST(MessageSplitter, OneMessageIsNeverSplit) {
    expectSplits(splitCases(false, true), {1, 65536}, true);
}

}  // namespace
}  // namespace tabulon
