#include "mail/message_decoder.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_util.h"

#include <string>

namespace tabulon {
namespace {

// A message of one quoted-printable Latin-1 part in a multipart of `contentType`.
std::string multipart(const std::string& contentType, const std::string& boundary,
                      const std::string& parts) {
    return "Subject: s\nContent-Type: " + contentType + "\n\n--" + boundary +
           "\nContent-Type: text/plain; charset=iso-8859-1\n"
           "Content-Transfer-Encoding: quoted-printable\n\n" +
           parts;
}

// A multipart/alternative whose text part is base64 of "Name: Ann\r\nPhone: 1\r\n".
const std::string kBase64Part =
    "Subject: s\nContent-Type: multipart/alternative; boundary=b\n\n--b\n"
    "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: base64\n\n";

const std::string kQuote =
    "From: Form <f@x.example>\nSent: Monday\nTo: i@x\nSubject: Contact\n\nName: Ann\n";

TEST(MessageDecoder, BodiesAndHeadersComeOutAsUtf8Text) {
    const struct {
        const char* what;
        std::string message;
        std::string body;
        std::string subject = "s";
        std::vector<std::string> problems = {};
    } kCases[] = {
        {"not mail: all of it is body", "Name: Ann\nPhone: 1\n\nComments: x\n",
         "Name: Ann\nPhone: 1\n\nComments: x\n", ""},
        {"8-bit header without a charset", "Subject: caf\xe9\n\nx\n", "x\n", "caf\xc3\xa9"},
        {"an encoded word whose bytes are not its charset's",
         "Subject: =?utf-8?q?caf=E9?= ok\n\nx\n", "x\n", "caf\xc3\xa9 ok"},
        {"encoded words labelled Latin-1 or ASCII read as Windows-1252, as bodies",
         "Subject: =?ISO-8859-1?Q?A_=96_B?= =?latin1?q?=80?=\n =?us-ascii*en?B?k3iU?=\n\n", "",
         "A \xe2\x80\x93 B\xe2\x82\xac\xe2\x80\x9cx\xe2\x80\x9d"},
        {"a character split between two words; text between words kept",
         "Subject: =?UTF-8?B?w6k=?= =?UTF-8?Q?=C3?=\t=?UTF-8?Q?=A9?= x =?bad?Q?a b?= =?x?Q?\n\n",
         "", "\xc3\xa9\xc3\xa9 x =?bad?Q?a b?= =?x?Q?"},
        {"= before letters that are not hex digits stays as written",
         "Subject: =?utf-8?Q?1=GZ_=e9?=\n\n", "", "1=GZ \xc3\xa9"},
        {"folded RFC 2047 subject",
         "Subject: =?ISO-8859-1?Q?Fran=E7ois?=\n =?UTF-8?B?IOKAkyBUZXN0?=\n\n", "",
         "Fran\xc3\xa7ois \xe2\x80\x93 Test"},
        // A reply's quote of an earlier message is not its text; a forwarded one is
        // all of it, the forwarder's note and signature left out.
        {"", "Subject: s\n\nThanks.\n\n-----Original Message-----\n" + kQuote, "Thanks.\n\n"},
        {"", "Subject: s\n\nThanks.\n________________________________\n" + kQuote, "Thanks.\n"},
        {"", "Subject: s\n\nThanks.\n\n" + kQuote, "Thanks.\n\n"},
        {"",
         "Subject: s\n\nDanke.\n\nVon: F <f@x>\nGesendet: Montag\nAn: i@x\nBetreff: K\n\nName: A\n",
         "Danke.\n\n"},
        {"", "Subject: s\n\nGrazie.\n\nDa: F <f@x>\nInviato: luned\xc3\xac\nA: i@x\nOggetto: K\n\n",
         "Grazie.\n\n"},
        {"", "Subject: s\n\nSee below.\n-- \nBo\n---------- Forwarded message ---------\n" + kQuote,
         "Name: Ann\n"},
        {"", "Subject: s\n\nBegin forwarded message:\n\n" + kQuote, "Name: Ann\n"},
        {"", "Subject: FW: s\n\nFYI\nBo, Phone: 555 0100\n\n-----Original Message-----\n" + kQuote,
         "Name: Ann\n", "FW: s"},
        {"", "Subject: Fwd: s\n\nFYI\n\nOn Monday Form wrote:\n" + kQuote, "Name: Ann\n", "Fwd: s"},
        {"", "Subject: s\n\n" + kQuote, kQuote},
        {"", "Subject: s\n\nHello\nFrom: Ann <a@x>\nSubject: Hi\nTo: us\n",
         "Hello\nFrom: Ann <a@x>\nSubject: Hi\nTo: us\n"},
        {"attachments are not the text",
         "Subject: s\nContent-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n"
         "Content-Disposition: attachment; filename=a.txt\n\nName: attached\n--b\n"
         "Content-Type: text/plain; charset=iso-8859-1\n"
         "Content-Transfer-Encoding: quoted-printable\n\nName: Ren=E9\n--b--\n",
         "Name: Ren\xc3\xa9"},  // the line end before a boundary is the boundary's
        {"a body that is not text", "Subject: s\nContent-Type: application/pdf\n\n%PDF-1.4\n", ""},
        {"uuencoded text",
         "Subject: s\nContent-Transfer-Encoding: x-uuencode\n\nbegin 644 t\n"
         "*3F%M93H@06YN\"@``\n`\nend\n",
         "Name: Ann\n"},
        {"base64 with CR LF inside",
         "Subject: s\nContent-Transfer-Encoding: base64\n\nTmFtZTogQW5uDQpQaG9uZTogMQ0K\n",
         "Name: Ann\nPhone: 1\n"},
        // Multipart types as senders write them.
        {"", multipart("Multipart/Alternative ;boundary=\"b\"", "b", "Name: Ren=E9\n--b--\n"),
         "Name: Ren\xc3\xa9"},
        {"", multipart("multipart/mixed;\tboundary=b", "b", "Name: Ren=E9\n--b--\n"),
         "Name: Ren\xc3\xa9"},
        {"", multipart("multipart/x-custom.sub+type; boundary=b", "b", "Name: Ren=E9\n--b--\n"),
         "Name: Ren\xc3\xa9"},
        // Over the copy kept between messages: let go (a leak check sees a leak).
        {"",
         multipart("multipart/mixed; boundary=b", "b",
                   "Name: Ren=E9\n--b\nContent-Type: image/png\n\n" + std::string(2 << 20, 'x') +
                       "\n--b--\n"),
         "Name: Ren\xc3\xa9"},
        {"a message forwarded as an attachment: its text, the outer header fields",
         "Subject: Fwd: form\nContent-Type: multipart/mixed; boundary=b\n\n--b\n\nSee below.\n"
         "--b\nContent-Type: message/rfc822\n\nSubject: Contact\nContent-Type: text/plain; "
         "charset=iso-8859-1\nContent-Transfer-Encoding: quoted-printable\n\nName: Ren=E9\n--b--\n",
         "Name: Ren\xc3\xa9", "Fwd: form"},
        {"a whole body that is a message; header fields the outer one lacks come from it",
         "From: a@b\nContent-Type: message/rfc822\n\nSubject: =?utf-8?q?s?=\n\nName: Ann\n",
         "Name: Ann\n"},
        {"a delivery report is not the message it returns",
         "Subject: s\nContent-Type: multipart/report; boundary=b\n\n--b\n\nNot delivered.\n"
         "--b\nContent-Type: message/rfc822\n\nSubject: Contact\n\nName: Ann\n--b--\n",
         "Not delivered."},
        {"no subtype: not read as multipart",
         multipart("multipart/ (comment); boundary=b", "b", "Name: Ren=E9\n--b--\n"), ""},
        {"base64 in a part", kBase64Part + "TmFtZTogQW5uDQpQaG9uZTogMQ0K\n--b--\n",
         "Name: Ann\nPhone: 1\n"},
        {"a stray character in base64: left out, and told",
         kBase64Part + "TmFtZTogQW5uDQpQa*G9uZTogMQ0K\n--b--\n",
         "Name: Ann\nPhone: 1\n",
         "s",
         {"broken base64"}},
    };
    MessageDecoder decoder({"Subject"});
    DecodedMessage decoded;
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.what) + c.message.substr(0, 60));
        decoder.decode(c.message, &decoded);
        EXPECT_EQ(decoded.body, c.body);
        EXPECT_EQ(decoded.headers, std::vector<std::string>{c.subject});
        EXPECT_EQ(decoded.problems, c.problems);
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
