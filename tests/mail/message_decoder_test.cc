#include "mail/message_decoder.h"

#include <gtest/gtest.h>

#include "case_file.h"
#include "test_util.h"

#include <string>

namespace tabulon {
namespace {

// The cases are in mail/cases/message_decoder.cases.
TEST(MessageDecoder, BodiesAndHeadersComeOutAsUtf8Text) {
    MessageDecoder decoder({"Subject"});
    DecodedMessage decoded;
    for (const test::Case& c : test::readCases("mail/cases/message_decoder.cases")) {
        SCOPED_TRACE(c.where);
        decoder.decode(c.text("message"), &decoded);
        EXPECT_EQ(decoded.body, c.text("body"));
        EXPECT_EQ(decoded.headers, std::vector<std::string>{c.text("subject", "s")});
        EXPECT_EQ(decoded.problems, c.list("problems"));
    }
}

// A header column's cell as a person reads it: dates in the local time zone,
// addresses without quotes, their parts as columns of their own
// (mail/cases/header_columns.cases).
TEST(MessageDecoder, HeaderColumnsAsPeopleReadThem) {
    test::ScopedEnv tokyo("TZ", "Asia/Tokyo");
    for (const test::Case& c : test::readCases("mail/cases/header_columns.cases")) {
        SCOPED_TRACE(c.where);
        const std::string kept = c.text("as written", "");
        MessageDecoder decoder(
            c.list("column"),
            {kept == "dates" ? DateStyle::kAsWritten : DateStyle::kLocal, kept == "addresses"});
        DecodedMessage decoded;
        decoder.decode(c.text("message"), &decoded);
        EXPECT_EQ(decoded.headers.at(0), c.text("cell"));
        EXPECT_EQ(decoded.unreadDates.at(0), c.text("unread", "no") == "yes");
    }
}

}  // namespace
}  // namespace tabulon
