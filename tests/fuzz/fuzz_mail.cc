// The message splitter and decoder on any bytes: every byte is read, and every
// body, header value and cell that comes out is valid UTF-8. The first byte picks
// the block size the input is read in and, with its high bit, a message limit of
// 300 bytes, so that long lines and messages over the limit are met often. Each
// body is read once more as HTML (deep nesting, broken markup), and the last once
// more with the form layout the messages taught.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mail/charset_text.h"
#include "mail/field_extractor.h"
#include "mail/form_layout.h"
#include "mail/html_text.h"
#include "mail/label_census.h"
#include "mail/message_decoder.h"
#include "mail/message_splitter.h"
#include "platform/utf8.h"
#include "test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t chunk = 1 + data[0] % 97;
    std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    tabulon::test::StringSource source(input, chunk);
    size_t limit = (data[0] & 0x80) != 0 ? 300 : tabulon::MessageSplitter::kMaxMessageBytes;
    tabulon::MessageSplitter splitter(source, chunk, limit);
    tabulon::MessageDecoder decoder(
        {"Subject", "From", "Reply-To-Name", "To-Address", "Date", "Received"});
    // A question and a name without colon reach the readings of "Question? answer"
    // and of dot leaders.
    tabulon::FieldExtractor extractor({"Name:", "Comments:", "", "Which day?", "Phone"});
    tabulon::LabelCensus census;
    tabulon::FormLayoutLearner learner;
    tabulon::ExtractedExtras extras;
    std::string message;
    tabulon::DecodedMessage decoded;
    std::vector<std::string> cells;
    std::vector<bool> found;
    for (;;) {
        bool more = false;
        bool tooLarge = false;
        if (!splitter.next(&message, &more, &tooLarge).ok()) __builtin_trap();
        if (!more) break;
        if (tooLarge && !message.empty()) __builtin_trap();
        if (message.size() > 2 * limit + chunk) __builtin_trap();  // memory stays bounded
        decoder.decode(message, &decoded);
        if (!tabulon::isValidUtf8(decoded.body)) __builtin_trap();
        for (const std::string& header : decoded.headers) {
            if (!tabulon::isValidUtf8(header)) __builtin_trap();
        }
        extractor.extract(decoded.body, &cells, &found, &extras);
        for (const std::string& cell : cells) {
            if (!tabulon::isValidUtf8(cell)) __builtin_trap();
        }
        for (const tabulon::SeenLabel& label : extras.otherLabels) {
            if (!tabulon::isValidUtf8(label.text)) __builtin_trap();
        }
        census.add(extras.otherLabels);
        learner.add(decoded.body);
        if (!tabulon::isValidUtf8(tabulon::htmlToText(decoded.body))) __builtin_trap();
    }
    if (splitter.bytesRead() != input.size()) __builtin_trap();
    census.labels(1);
    // What these messages teach, then each body read again with it.
    tabulon::FieldExtractor learned({"Name:", "Comments:"}, learner.layout());
    learned.extract(decoded.body, &cells, &found, &extras);
    return 0;
}
