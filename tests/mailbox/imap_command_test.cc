// The IMAP text made and read without a server: the search command from the
// user's filters (quoting, dates, refusals), the replies, folder names, and
// server text made safe to print (mailbox/cases/imap_text.cases).
#include <gtest/gtest.h>

#include "case_file.h"
#include "mailbox/imap_command.h"
#include "mailbox/imap_folder_name.h"

namespace tabulon {
namespace {

TEST(ImapCommand, SearchCommandFromFilters) {
    for (const test::Case& c : test::readCases("mailbox/cases/imap_text.cases")) {
        if (!c.has("command")) continue;
        ImapSearch search{c.text("subject", ""), c.text("from", ""), c.text("since", ""),
                          c.has("unread")};
        std::string command, expected = c.text("command");
        Status status = imapSearchCommand(search, std::stoul(c.text("first", "0")),
                                          std::stoul(c.text("last", "0")), &command);
        std::string got = status.ok() ? command : status.message();
        EXPECT_EQ(got.substr(0, expected.size()), expected) << c.where;
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
    for (const char* line : {"* OK [UIDVALIDITY 1796623436] UIDs valid", "* ok [UIDNEXT 31] x",
                             "* OK [UIDVALIDITY x]", "* 3 EXISTS", "* OK [UIDNEXT 9"}) {
        parseExamineLine(line, &validity, &next);
    }
    EXPECT_EQ(validity, 1796623436u);
    EXPECT_EQ(next, 31u);

    struct Case {
        const char* piece;
        uint64_t uid;
        bool nil, body, literal;
        uint64_t bytes;
    };
    for (const Case& c : {
             Case{"* 3 FETCH (UID 5 BODY[] {120}", 5, false, true, true, 120},
             Case{"* 3 fetch (BODY[] {7}", 0, false, true, true, 7},
             Case{" UID 12)", 12, false, false, false, 0},
             Case{"* 3 FETCH (UID 5 BODY[] NIL)", 5, true, false, false, 0},
             Case{"* 3 FETCH (FLAGS (\\Seen) UID 5)", 5, false, false, false, 0},
             Case{"* 3 FETCH (UID 5 BODY[HEADER] {9}", 5, false, false, true, 9},
             Case{"* 3 FETCH (UID 5 BODY[] {9+}", 5, false, true, true, 9},
         }) {
        FetchPiece p = readFetchPiece(c.piece);
        EXPECT_EQ(
            std::vector<uint64_t>({p.uid, p.bodyNil, p.bodyFollows, p.literal, p.literalBytes}),
            std::vector<uint64_t>({c.uid, c.nil, c.body, c.literal, c.bytes}))
            << c.piece;
    }
    EXPECT_FALSE(isFetchReply("* 3 EXISTS"));
    EXPECT_FALSE(isFetchReply("* OK [UIDNEXT 4]"));
}

TEST(ImapCommand, FolderNamesInModifiedUtf7) {
    for (const test::Case& c : test::readCases("mailbox/cases/imap_text.cases")) {
        std::string decoded;
        if (c.has("folder")) {
            EXPECT_EQ(encodeImapFolder(c.text("folder")), c.text("encoded"));
            EXPECT_TRUE(decodeImapFolder(c.text("encoded"), &decoded)) << c.where;
            EXPECT_EQ(decoded, c.text("folder"));
        }
        for (const std::string& invalid : c.list("invalid"))
            EXPECT_FALSE(decodeImapFolder(invalid, &decoded)) << invalid;
    }
}

TEST(ImapCommand, ServerTextIsPrintable) {
    for (const test::Case& c : test::readCases("mailbox/cases/imap_text.cases")) {
        if (!c.has("server")) continue;
        EXPECT_EQ(printableServerText(c.text("server"), std::stoul(c.text("limit"))),
                  c.text("shown"))
            << c.where;
    }
}

}  // namespace
}  // namespace tabulon
