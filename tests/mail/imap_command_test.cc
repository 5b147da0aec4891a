// The IMAP text made and read without a server: the search command from the
// user's filters (quoting, dates, refusals), the replies, and server text made
// safe to print.
#include <gtest/gtest.h>

#include "mail/imap_command.h"

namespace tabulon {
namespace {

TEST(ImapCommand, SearchCommandFromFilters) {
    struct Case {
        ImapSearch search;
        uint64_t first, last;
        const char* command;  // or the start of the refusal
    };
    // clang-format off
    for (const Case& c : {
             Case{{}, 0, 0, "UID SEARCH ALL"},
             Case{{}, 1, 20000, "UID SEARCH UID 1:20000"},
             Case{{"Order", "shop", "2026-12-07"}, 0, 0, "UID SEARCH SUBJECT \"Order\" FROM \"shop\" SINCE 7-Dec-2026"},
             Case{{"say \"hi\" \\o/", "", ""}, 5, 9, "UID SEARCH SUBJECT \"say \\\"hi\\\" \\\\o/\" UID 5:9"},
             Case{{"", "J\xc3\xbcrgen", ""}, 0, 0, "UID SEARCH CHARSET UTF-8 FROM \"J\xc3\xbcrgen\""},
             Case{{"", "", "2024-02-29"}, 0, 0, "UID SEARCH SINCE 29-Feb-2024"},
             Case{{"x", "", "", true}, 3, 3, "UID SEARCH SUBJECT \"x\" UNSEEN UID 3:3"},
             Case{{"a\r\nA1 DELETE INBOX", "", ""}, 0, 0, "the search text \"a\\x0D\\x0AA1 DELETE INBOX\" holds a control character"},
             Case{{"", "", "2026-02-29"}, 0, 0, "the date \"2026-02-29\" is not a day"},
             Case{{"", "", "2026-13-01"}, 0, 0, "the date"},
             Case{{"", "", "7.12.2026"}, 0, 0, "the date"},
             Case{{"", "", "2026-1-7"}, 0, 0, "the date"},
         }) {
        // clang-format on
        std::string command;
        Status status = imapSearchCommand(c.search, c.first, c.last, &command);
        std::string got = status.ok() ? command : status.message();
        EXPECT_EQ(got.substr(0, std::string(c.command).size()), c.command) << got;
    }
}

TEST(ImapCommand, UidSets) {
    EXPECT_EQ(imapUidSets({}, 10), std::vector<std::string>{});
    EXPECT_EQ(imapUidSets({1, 2, 3, 5, 7, 8, 20}, 100), std::vector<std::string>{"1:3,5,7:8,20"});
    EXPECT_EQ(imapUidSets({1, 2, 3, 5, 7, 8, 20}, 3),
              (std::vector<std::string>{"1:3", "5,7:8", "20"}));
}

TEST(ImapCommand, RepliesRead) {
    std::vector<uint64_t> uids;
    EXPECT_TRUE(parseSearchReply("* SEARCH 3 17 4294967295\r\n* 5 EXISTS\r\n* search\r\n", &uids));
    EXPECT_EQ(uids, (std::vector<uint64_t>{3, 17, 4294967295}));
    for (const char* garbage : {"* SEARCH 1 x\r\n", "* SEARCH 2x\r\n", "* SEARCH 0\r\n",
                                "* SEARCH -1\r\n", "* SEARCH 99999999999999999999999\r\n"}) {
        EXPECT_FALSE(parseSearchReply(garbage, &uids)) << garbage;
    }
    uint64_t validity = 0, next = 0;
    EXPECT_TRUE(parseStatusReply(
        "* STATUS \"My (old) mail\" (UIDNEXT 31 UIDVALIDITY 1796623436)\r\n", &validity, &next));
    EXPECT_EQ(validity, 1796623436u);
    EXPECT_EQ(next, 31u);
    validity = 0;
    EXPECT_TRUE(parseStatusReply("* STATUS INBOX (UIDVALIDITY x)\r\n", &validity, &next));
    EXPECT_EQ(validity, 0u);
    EXPECT_FALSE(parseStatusReply("* OK hello\r\n", &validity, &next));
}

TEST(ImapCommand, ServerTextIsPrintable) {
    struct Case {
        std::string text;
        size_t limit;
        std::string shown;
    };
    for (const Case& c : {
             Case{"Login failed.", 200, "Login failed."},
             Case{"\x1b]0;owned\x07 \x1b[2J", 200, "\\x1B]0;owned\\x07 \\x1B[2J"},
             Case{"C1 \xc2\x9b"
                  "31m and caf\xc3\xa9",
                  200, "C1 \\x9B31m and caf\xc3\xa9"},
             Case{"latin \xe9", 200, "latin \xc3\xa9"},
             Case{std::string(300, 'x'), 10, std::string(10, 'x') + "..."},
             Case{"\xc3\xa9\xc3\xa9\xc3\xa9", 3, "\xc3\xa9\xc3\xa9..."},
         }) {
        EXPECT_EQ(printableServerText(c.text, c.limit), c.shown);
    }
}

}  // namespace
}  // namespace tabulon
