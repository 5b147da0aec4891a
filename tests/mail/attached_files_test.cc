#include <gtest/gtest.h>

#include <string>

#include "mail/attached_file_name.h"
#include "mail/message_decoder.h"

namespace tabulon {
namespace {

TEST(SavedName, NamesFromMailNameOneFileInTheFolderAndNoMore) {
    const std::string longStem(300, 'x');
    const struct {
        std::string given, saved;
    } kCases[] = {
        {"form.pdf", "form.pdf"},
        {"../../etc/passwd", "passwd"},
        {"C:\\Users\\ann\\cv.docx", "cv.docx"},
        {"..", "attachment"},
        {"", "attachment"},
        {".bashrc", "bashrc"},
        {" .. .hidden. ", "hidden"},
        {"a\x1b[31mred\x07.txt", "a_[31mred_.txt"},
        {"photo\xC2\x85\xC3\xB6.png", "photo_\xC3\xB6.png"},  // C1 control, then ö
        {"what?<>|*\":.pdf", "what_______.pdf"},
        {"caf\xE9.txt", "caf\xC3\xA9.txt"},  // not UTF-8: read as Windows-1252
        {longStem + ".pdf", std::string(116, 'x') + ".pdf"},
        {"\xC3\xB6" + longStem, "\xC3\xB6" + std::string(118, 'x')},
        {std::string(119, 'x') + "\xC3\xB6", std::string(119, 'x')},  // never half a character
    };
    for (const auto& c : kCases) {
        std::string saved = safeSavedName(c.given);
        EXPECT_EQ(saved, c.saved) << c.given;
        EXPECT_LE(saved.size(), kMaxSavedNameBytes);
    }
    EXPECT_EQ(numberedName("form.pdf", 1), "form.pdf");
    EXPECT_EQ(numberedName("a.pdf", 2), "a (2).pdf");  // a one-letter stem too
    EXPECT_EQ(numberedName("notes", 12), "notes (12)");
}

// The files are the parts beside the body: not the text or HTML rendering of
// it, and also those of a forwarded message.
TEST(AttachedFiles, EveryPartButTheBodyInTheMessagesOrder) {
    const std::string message =
        "Subject: s\nDate: Mon, 30 Nov 2026 09:14:02 +0000\nMIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=m\n\n"
        "--m\nContent-Type: multipart/alternative; boundary=a\n\n"
        "--a\nContent-Type: text/plain\n\nName: Ann\n--a\nContent-Type: text/html\n\n"
        "<p>Name: Ann</p>\n--a--\n"
        "--m\nContent-Type: application/pdf; name=cv.pdf\nContent-Transfer-Encoding: base64\n\n"
        "SGVsbG8=\n"
        "--m\nContent-Type: text/plain\nContent-Disposition: attachment; filename=\"n.txt\"\n\n"
        "notes\n"
        "--m\nContent-Type: image/png\n\nPNG\n--m--\n";
    MessageDecoder decoder;
    DecodedMessage decoded;
    decoder.decode(message, &decoded);
    EXPECT_TRUE(decoded.files.empty());  // only when asked for
    decoder.keepAttachedFiles();
    decoder.decode(message, &decoded);
    EXPECT_EQ(decoded.body, "Name: Ann");
    ASSERT_EQ(decoded.files.size(), 3u);
    EXPECT_EQ(decoded.files[0].name, "cv.pdf");
    EXPECT_EQ(decoded.files[0].bytes, "Hello");
    EXPECT_EQ(decoded.files[1].name, "n.txt");
    EXPECT_EQ(decoded.files[1].bytes, "notes");
    EXPECT_EQ(decoded.files[2].name, "");
    EXPECT_EQ(decoded.date, "Mon, 30 Nov 2026 09:14:02 +0000");
    EXPECT_EQ(attachedFilesFolderName("no date", message).substr(0, 8), "undated_");

    // A file over the limit is counted with its size, not kept.
    const std::string big(kMaxAttachedFileBytes + 1, 'x');
    decoder.decode(
        "Subject: s\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=m\n\n"
        "--m\nContent-Type: text/plain\n\nName: Ann\n--m\nContent-Type: "
        "application/pdf\n\n" +
            big + "\n--m--\n",
        &decoded);
    ASSERT_EQ(decoded.files.size(), 1u);
    EXPECT_TRUE(decoded.files[0].tooLarge);
    EXPECT_EQ(decoded.files[0].size, big.size());
    EXPECT_TRUE(decoded.files[0].bytes.empty());
}

}  // namespace
}  // namespace tabulon
