// The conversion that understands mail: each message of the input becomes one row
// of the same columns, the asked-for header fields first, then the template's
// fields. Streams message by message; memory is bounded by the largest message.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/converter.h"
#include "mail/field_extractor.h"
#include "mail/label_census.h"
#include "mail/message_decoder.h"
#include "mail/message_report.h"
#include "platform/byte_stream.h"

namespace tabulon {

struct MessageConversionOptions {
    FieldList fields;
    std::vector<std::string> headers;  // header columns, in this order
    bool countLabels = false;          // for the report's labels the template lacks
};

// Builds rows from messages and keeps the report. Not thread-safe.
class MessageRows {
  public:
    explicit MessageRows(const MessageConversionOptions& options);

    // Header names, then the template's names as they stand.
    std::vector<std::string> columnNames() const;

    // The row of one message (LF line ends); `source` names its file in the report.
    void rowOf(std::string_view message, std::string_view source, std::vector<std::string>* cells);
    void countWritten() { ++report_.rowsWritten; }

    MessageReport report() const;

  private:
    MessageConversionOptions options_;
    FieldExtractor extractor_;
    MessageDecoder decoder_;
    DecodedMessage decoded_;
    std::vector<std::string> fieldCells_;
    std::vector<bool> found_;
    LabelCensus census_;
    MessageReport report_;
};

using RowFn = std::function<Status(const std::vector<std::string>& cells)>;

// Splits `input` into messages and hands each one's row to `onRow`. Stops at the
// first read error or the first error `onRow` returns.
Status convertMessages(ByteSource& input, std::string_view inputName, MessageRows& rows,
                       const RowFn& onRow, const ProgressFn& progress = {});

}  // namespace tabulon
