// The IMAP text made and read without a server: the search command from the
// user's filters (quoting, dates, refusals), the replies, folder names, and
// server text made safe to print.
#include <gtest/gtest.h>

#include "mail/imap_command.h"
#include "mail/imap_folder_name.h"

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
    struct Case {
        const char* name;
        const char* encoded;
    };
    for (const Case& c : {
             Case{"INBOX", "INBOX"},
             Case{"Auftr\xc3\xa4ge", "Auftr&AOQ-ge"},
             Case{"A&B", "A&-B"},
             Case{"~peter/mail/\xe5\x8f\xb0\xe5\x8c\x97/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",
                  "~peter/mail/&U,BTFw-/&ZeVnLIqe-"},
             Case{"\xf0\x9f\x93\xa7 mail", "&2D3c5w- mail"},
         }) {
        EXPECT_EQ(encodeImapFolder(c.name), c.encoded);
        std::string decoded;
        EXPECT_TRUE(decodeImapFolder(c.encoded, &decoded)) << c.encoded;
        EXPECT_EQ(decoded, c.name);
    }
    std::string decoded;
    for (const char* invalid : {"A&B", "&AOQ", "&A-", "&2D0-", "caf\xc3\xa9", "&AOQx-"})
        EXPECT_FALSE(decodeImapFolder(invalid, &decoded)) << invalid;
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
                  200, "C1 \\u009B31m and caf\xc3\xa9"},
             Case{"latin \xe9", 200, "latin \xc3\xa9"},
             Case{std::string(300, 'x'), 10, std::string(10, 'x') + "..."},
             Case{"\xc3\xa9\xc3\xa9\xc3\xa9", 2, "\xc3\xa9\xc3\xa9..."},  // characters counted
         }) {
        EXPECT_EQ(printableServerText(c.text, c.limit), c.shown);
    }
}

}  // namespace
}  // namespace tabulon
