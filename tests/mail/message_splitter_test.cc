#include "mail/message_splitter.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "test_util.h"

namespace tabulon {
namespace {

using Layout = MessageSplitter::Layout;

struct SplitCase {
    const char* what;
    std::string input;
    Layout layout;
    std::vector<std::string> messages;
};

// Each case split in blocks of each size, every byte read; messages over
// `maxBytes` come out as "(too large)".
void expectSplits(std::span<const SplitCase> cases, std::initializer_list<size_t> chunks,
                  size_t maxBytes = MessageSplitter::kMaxMessageBytes, bool oneMessage = false) {
    for (const SplitCase& c : cases) {
        for (size_t chunk : chunks) {
            SCOPED_TRACE(std::string(c.what) + ", blocks of " + std::to_string(chunk));
            test::StringSource source(c.input, chunk);
            MessageSplitter splitter(source, chunk, maxBytes);
            if (oneMessage) splitter.keepOneMessage();
            std::vector<std::string> messages;
            std::string message;
            bool found = true;
            while (found) {
                bool tooLarge = false;
                EXPECT_TRUE(splitter.next(&message, &found, &tooLarge).ok());
                if (found) messages.push_back(tooLarge ? "(too large)" : message);
            }
            EXPECT_EQ(messages, c.messages);
            EXPECT_EQ(splitter.layout(), c.layout);
            EXPECT_EQ(splitter.bytesRead(), c.input.size());
        }
    }
}

const std::string kSaved1 = "From: Form <f@shop.example>\nSubject: one\n\nName: Ann\n\n";
const std::string kSaved2 =
    "From: Form <f@shop.example>\nDate: Mon, 30 Nov 2026\nTo: i@x\n\nName: Bo\n";

const std::string kRaw2 = "From: Form <f@x.example>\nTo: i@x\nSubject: two\n\nName: Bo\n\n";
const std::string kMultipart =
    "From: Form <f@x.example>\nTo: i@x\nSubject: one\nContent-Type: multipart/mixed; "
    "boundary=b\n\n--b\n\nName: Ann\n";
const std::string kSeparator = "From a@b Mon Nov 30 09:14:02 2026\n";
const std::string kBounce =
    "From: Mail Delivery <mailer@x.example>\nTo: f@x.example\nSubject: Undelivered\n"
    "Content-Type: multipart/report; boundary=r\n\n--r\n\nNot delivered.\n\n--r\n"
    "Content-Type: text/rfc822-headers\n\nFrom: Form <f@x.example>\nTo: i@x\nSubject: one\n\n"
    "--r--\n\n";
const std::string kOutlook =
    "From:\tWordPress <wp@x.example>\nSent:\tMonday, December 7, 2026 10:00 AM\nTo:\t"
    "info@x.example\nSubject:\tContact form\n\nA message from your site:\n\nFrom: Ann "
    "<ann@mail.example>\nSubject: Hello\n\nMessage Body:\nHi\n\n";
const std::string kQuoting =
    "From: Ann <ann@mail.example>\nDate: Tue, 1 Dec 2026\nTo: f@shop.example\nSubject: RE: one\n\n"
    "Thanks!\n\n-----Original Message-----\n\nFrom: Form <f@shop.example>\nSent: Monday\nTo: "
    "i@x\nSubject: one\n\nName: Bo\n";

// Messages that come out as they went in, one after another.
const std::string kBooking = kSaved1.substr(0, kSaved1.size() - 1) +
                             "From: Eva <eva@mail.example>\nSubject: Booking\n\nDate: 2 May\n"
                             "Subject: Rome\nTo: Oslo\n\n";
const std::string kTwoBlankLines =
    "From: Form <f@shop.example>\nSubject: one\n\n\nFrom: Eva <eva@mail.example>\nSubject: s\n\n"
    "Name: Ann\n";
const std::string kForward =
    "From: Form <f@shop.example>\nSubject: fwd\nContent-Type: multipart/mixed;\n"
    " boundary=\"b b\"\n\n--b b\n\nSee below.\n\n--b b\nContent-Type: message/rfc822\n\n" +
    kSaved2 + "\n--b b--  \n\n";
const std::string kAlternative =
    "From: Form <f@x.example>\nTo: i@x\nSubject: one\nContent-Type: multipart/alternative; "
    "boundary=b\n\n--b\nContent-Type: text/plain\n\nName: Ann\n\n--b\nContent-Type: "
    "text/html\n\n<p>Name: Ann</p>\n\n";

const SplitCase kCases[] = {
    {"mail client mbox, CR LF, From -",
     "\r\n\r\nFrom - Mon Nov 30 09:14:02 2026\r\nSubject: x\r\n\r\nName: Ann\r\n\r\n"
     "From - Mon Nov 30 10:00:00 2026\r\nSubject: y\r\n\r\nName: Bo",
     Layout::kMbox,
     {"Subject: x\n\nName: Ann\n\n", "Subject: y\n\nName: Bo\n"}},
    {"CR line ends",
     "From a@b  Mon Nov 30 09:14:02 2026\rSubject: x\r\rName: Ann\r\r"
     "From a@b  Mon Nov 30 10:00:00 2026\rSubject: y\r",
     Layout::kMbox,
     {"Subject: x\n\nName: Ann\n\n", "Subject: y\n"}},
    {"From lines that are not separators",
     "From a@b  Mon Nov 30 09:14:02 2026\n\nFrom here on, no time given\n\nFrom 9:30\n\n"
     ">From a@b  Mon Nov 30 09:14:02 2026\n>>From me\n>From\n> From\nText\nFrom a@b at 10:00\n",
     Layout::kMbox,
     {"\nFrom here on, no time given\n\nFrom 9:30\n\nFrom a@b  Mon Nov 30 09:14:02 2026\n>From me\n"
      ">From\n> From\nText\nFrom a@b at 10:00\n"}},
    {"separators with a full date need no blank line before them",
     "From a@b Mon Nov 30 09:14:02 2026\nName: Ann\nFrom 123@x Tue Dec 01 10:00:00 +0000 2026\n"
     "Name: Bo\nFrom a@b Nov 30 09:14:02 2026\nFrom a@b Mon 30 09:14:02 2026\n"
     "From a@b Mon Nov 30 09:14:02\n",
     Layout::kMbox,
     {"Name: Ann\n",
      "Name: Bo\nFrom a@b Nov 30 09:14:02 2026\nFrom a@b Mon 30 09:14:02 2026\n"
      "From a@b Mon Nov 30 09:14:02\n"}},
    {"a separator right after another, and one at the very end",
     "From a@b Mon Nov 30 09:14:02 2026\nFrom MAILER-DAEMON Mon Nov 30 09:14:02 2026\nName: Ann\n\n"
     "From a@b Mon Nov 30 10:00:00 2026\n",
     Layout::kMbox,
     {"Name: Ann\n\n"}},
    {"header-like fields in the first paragraph and a block without From",
     kBooking + kSaved2,
     Layout::kSavedText,
     {kBooking, kSaved2}},
    {"the first paragraph after more than one blank line",
     kTwoBlankLines,
     Layout::kSavedText,
     {kTwoBlankLines}},
    {"header blocks inside a multipart body, then the next message",
     kForward + kSaved1,
     Layout::kSavedText,
     {kForward, kSaved1}},
    {"raw sources one after another, the first a multipart left unclosed",
     kAlternative + kRaw2 + kRaw2,
     Layout::kSavedText,
     {kAlternative, kRaw2, kRaw2}},
    {"raw sources with separator lines, the first a multipart left unclosed",
     kMultipart + kSeparator + kRaw2 + kSeparator + kRaw2,
     Layout::kSavedText,
     {kMultipart, kRaw2, kRaw2}},
    {"a delivery report's returned header block, then the next message",
     kBounce + kRaw2,
     Layout::kSavedText,
     {kBounce, kRaw2}},
    {"a form's own From and Subject after a line of text, in mail saved with Sent and To",
     kOutlook + kOutlook,
     Layout::kSavedText,
     {kOutlook, kOutlook}},
    {"a quoted earlier message after a line that announces it",
     kSaved2 + "\n" + kQuoting,
     Layout::kSavedText,
     {kSaved2 + "\n", kQuoting}},
    {"a header block at the very end",
     kSaved1 + "From: Form <f@shop.example>\nSubject: two",
     Layout::kSavedText,
     {kSaved1, "From: Form <f@shop.example>\nSubject: two\n"}},
    {"not mail",
     "Just some text.\nName: Ann\n\n\nMore text",
     Layout::kSavedText,
     {"Just some text.\nName: Ann\n\n\nMore text\n"}},
    {"nothing", "", Layout::kUndecided, {}},
    {"only blank lines", "\n\r\n \n", Layout::kUndecided, {}},
};

TEST(MessageSplitter, SplitsEveryLayoutWhereverTheBlocksEnd) {
    expectSplits(kCases, {1, 2, 3, 7, 65536});
}

// With a limit of 40 bytes.
const SplitCase kLimitCases[] = {
    {"a long line in an mbox message, the next one kept",
     "From a@b Mon Nov 30 09:14:02 2026\nName: Ann\n\nFrom a@b Mon Nov 30 09:14:02 2026\n"
     "Name: " +
         std::string(100, 'x') +
         "\nFrom a@b Mon Nov 30 09:14:02\nFrom a@b\n\nFrom a@b Mon Nov 30 10:00:00 2026\nName: "
         "Bo\n",
     Layout::kMbox,
     {"Name: Ann\n\n", "(too large)", "Name: Bo\n"}},
    {"many short lines, then a saved message",
     "From: Form <f@x.example>\nSubject: one\n\nName: Ann\n" + std::string(30, '\n') +
         "Name: Ann\nName: Ann\n\nFrom: F <f@x.example>\nTo: y\n\nName: Bo\n",
     Layout::kSavedText,
     {"(too large)", "From: F <f@x.example>\nTo: y\n\nName: Bo\n"}},
    {"a line without an end, LF unknown yet",
     std::string(1000, '\0'),
     Layout::kSavedText,
     {"(too large)"}},
    {"a long first line, then mail",
     std::string(100, 'x') + "\r\n\r\nText\r\n\r\nFrom: F <f@x.example>\r\nTo: y\r\n\r\nA\r\n",
     Layout::kSavedText,
     {"(too large)", "From: F <f@x.example>\nTo: y\n\nA\n"}},
};

TEST(MessageSplitter, AMessageOverTheLimitIsLetGoAndTheNextOneKept) {
    expectSplits(kLimitCases, {1, 7, 65536}, 40);
}

// A file that is one message (a Maildir's, an .eml) whatever its body quotes.
const SplitCase kOneMessageCases[] = {
    {"a forwarded header block", kSaved1 + kSaved2, Layout::kSavedText, {kSaved1 + kSaved2}},
    {"a separator line in the body",
     kRaw2 + kSeparator + kSaved1,
     Layout::kSavedText,
     {kRaw2 + kSeparator + kSaved1}},
    {"an opening separator",
     kSeparator + kRaw2 + kSeparator + "Hi\n",
     Layout::kMbox,
     {kRaw2 + kSeparator + "Hi\n"}},
};

TEST(MessageSplitter, OneMessageIsNeverSplit) {
    expectSplits(kOneMessageCases, {1, 65536}, MessageSplitter::kMaxMessageBytes, true);
}

}  // namespace
}  // namespace tabulon
