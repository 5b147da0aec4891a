#include "mail/message_decoder.h"

#include <gtest/gtest.h>

#include <tuple>

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
// addresses without quotes, their parts as columns of their own.
TEST(MessageDecoder, HeaderColumnsAsPeopleReadThem) {
    test::ScopedEnv tokyo("TZ", "Asia/Tokyo");  // +09:00, no summer time
    const std::string mail =
        "From: \"Chapman, Tim\" <timc@example.org>\n"
        "Reply-To: =?ISO-8859-1?Q?Mairie_d=92Exemple?= <m@example.org>, b@example.org\n"
        "To: Team: ann@example.org, \"Bo \\\"B\\\" Ek\" <bo@example.org>;\n"
        "Sender: \"J\xfcrgen\" <j\xfcrgen@x.example>\nCc: Web Form\nDate: Mon, 30 Nov 2026 "
        "09:14:02 +0100 (CET)\n"
        "Received: from a by b; Sun, 29 Nov 2026 23:59:59 -0500\nSubject: s\n\nName: A\n";
    const struct {
        const char* column;
        const char* cell;
        HeaderStyle style = {};
        bool unread = false;
    } kCases[] = {
        {"From", "Chapman, Tim <timc@example.org>"},
        {"from-name:", "Chapman, Tim"},
        {"From-Address", "timc@example.org"},
        {"Reply-To", "Mairie d\u2019Exemple <m@example.org>, b@example.org"},
        {"Reply-To-Name", "Mairie d\u2019Exemple"},
        {"To", "ann@example.org, Bo \"B\" Ek <bo@example.org>"},
        {"Cc", "Web Form"},                                 // no address: as written
        {"Sender", "J\u00fcrgen <j\u00fcrgen@x.example>"},  // undeclared 8-bit: Windows-1252
        {"Cc-Address", ""},
        {"Date", "2026-11-30 17:14:02"},
        {"Date:", "Mon, 30 Nov 2026 09:14:02 +0100 (CET)", {DateStyle::kAsWritten}},
        {"From", "\"Chapman, Tim\" <timc@example.org>", {DateStyle::kLocal, true}},
        {"From-Name", "Chapman, Tim", {DateStyle::kLocal, true}},
        {"Received", "2026-11-30 13:59:59"},
        {"Subject", "s"},
    };
    for (const auto& c : kCases) {
        MessageDecoder decoder({c.column}, c.style);
        DecodedMessage decoded;
        decoder.decode(mail, &decoded);
        EXPECT_EQ(decoded.headers, std::vector<std::string>{c.cell}) << c.column;
        EXPECT_EQ(decoded.unreadDates, std::vector<bool>{c.unread}) << c.column;
    }
    // Mail saved as text gives its date as "Sent:"; a date that cannot be read
    // stays as written, and is counted.
    MessageDecoder decoder({"Date:", "From"});
    DecodedMessage decoded;
    for (const auto& [message, date, unread] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"From:\tForm <f@x.example>\nSent:\tMonday, December 7, 2026 10:00 AM\n\nA\n",
              "2026-12-07 10:00:00", 0},
             {"Sent: Monday\nDate: 7 Dec 2026 01:30 +0000\nFrom: f@x.example\n\nA\n",
              "2026-12-07 10:30:00", 0},
             {"Date: last Tuesday\nFrom: f@x.example\n\nA\n", "last Tuesday", 1},
             // A 12-hour clock; a day that is 12 July or 7 December by country.
             {"Sent: Monday, December 7, 2026 2:30 PM\nFrom: f@x\n\nA\n", "2026-12-07 14:30:00", 0},
             {"Sent: Monday, December 7, 2026 12:10 am\nFrom: f@x\n\nA\n", "2026-12-07 00:10:00",
              0},
             {"Date: 12/07/2026 10:00\nFrom: f@x\n\nA\n", "12/07/2026 10:00", 1},
             // The date of a message forwarded whole, as the outer one has none.
             {"From: a@b\nContent-Type: message/rfc822\n\nDate: never\nFrom: f@x\n\nName: A\n",
              "never", 1},
         }) {
        decoder.decode(message, &decoded);
        EXPECT_EQ(decoded.headers[0], date) << message;
        EXPECT_EQ(decoded.unreadDates[0], unread) << message;
    }
}

}  // namespace
}  // namespace tabulon
