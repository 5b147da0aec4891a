#include "mail/message_conversion.h"

#include <algorithm>

#include "mail/message_splitter.h"

namespace tabulon {
namespace {

constexpr size_t kUndecodedSamples = 10;

}  // namespace

MessageRows::MessageRows(const MessageConversionOptions& options)
    : options_(options), extractor_(options.fields), decoder_(options.headers) {
    report_.columns = columnNames();
    report_.missing.assign(report_.columns.size(), 0);
}

std::vector<std::string> MessageRows::columnNames() const {
    std::vector<std::string> names = options_.headers;
    names.insert(names.end(), options_.fields.begin(), options_.fields.end());
    return names;
}

void MessageRows::rowOf(std::string_view message, std::string_view source,
                        std::vector<std::string>* cells) {
    ++report_.messagesRead;
    decoder_.decode(message, &decoded_);
    extractor_.extract(decoded_.body, &fieldCells_, &found_);
    if (options_.countLabels) census_.add(decoded_.body);

    cells->clear();
    size_t headerCount = options_.headers.size();
    for (size_t i = 0; i < headerCount; ++i) {
        if (decoded_.headers[i].empty()) ++report_.missing[i];
        cells->push_back(std::move(decoded_.headers[i]));
    }
    for (size_t i = 0; i < fieldCells_.size(); ++i) {
        if (!found_[i]) ++report_.missing[headerCount + i];
        cells->push_back(std::move(fieldCells_[i]));
    }
    for (const std::string& problem : decoded_.problems) {
        ++report_.undecodedParts;
        if (report_.undecodedSamples.size() < kUndecodedSamples) {
            report_.undecodedSamples.push_back(std::string(source) + ", message " +
                                               std::to_string(report_.messagesRead) + ": " +
                                               problem);
        }
    }
}

MessageReport MessageRows::report() const {
    MessageReport report = report_;
    if (!options_.countLabels) return report;
    uint64_t many = std::max<uint64_t>(2, (census_.messages() + 9) / 10);
    for (const LabelCensus::Label& label : census_.labels(many)) {
        if (!extractor_.isFieldLine(label.text)) report.unknownLabels.push_back(label);
    }
    return report;
}

Status convertMessages(ByteSource& input, std::string_view inputName, MessageRows& rows,
                       const RowFn& onRow, const ProgressFn& progress) {
    MessageSplitter splitter(input);
    std::string message;
    std::vector<std::string> cells;
    uint64_t reported = 0;
    for (;;) {
        bool found = false;
        Status status = splitter.next(&message, &found);
        if (!status.ok()) return status;
        if (!found) break;
        rows.rowOf(message, inputName, &cells);
        status = onRow(cells);
        if (!status.ok()) return status;
        rows.countWritten();
        if (progress && splitter.bytesRead() - reported >= (1 << 20)) {
            reported = splitter.bytesRead();
            progress(reported, input.size());
        }
    }
    if (progress) progress(splitter.bytesRead(), input.size());
    return Status::Ok();
}

}  // namespace tabulon
