#include "mail/message_conversion.h"

#include <algorithm>

#include "mail/conversion_limits.h"
#include "mail/message_identity.h"
#include "platform/text.h"
#include "table/table_writer.h"

namespace tabulon {
namespace {

constexpr size_t kUndecodedSamples = 10;

// The template's field that names the saved files' column ("Attachments",
// "Attachments:"), or `fields.size()` when none does.
size_t attachmentsField(const FieldList& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (equalsIgnoringCase(trimBlanks(columnTitle(fields[i])), kAttachmentsColumn)) return i;
    }
    return fields.size();
}

// Where `text` says all `html` says, word for word, and goes on: the words it
// adds (a tool's lines that its HTML ends a value before). Empty otherwise, and
// when `html` is empty.
std::string wordsPast(std::string_view text, std::string_view html) {
    auto nextWord = [](std::string_view* rest) {
        size_t start = rest->find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos) start = rest->size();
        rest->remove_prefix(start);
        size_t end = std::min(rest->find_first_of(" \t\r\n"), rest->size());
        std::string_view word = rest->substr(0, end);
        rest->remove_prefix(end);
        return word;
    };
    bool any = false;
    for (std::string_view word = nextWord(&html); !word.empty();
         word = nextWord(&html), any = true) {
        if (nextWord(&text) != word) return {};
    }
    std::string past;
    for (std::string_view word = nextWord(&text); any && !word.empty(); word = nextWord(&text)) {
        if (!past.empty()) past += ' ';
        past.append(word);
    }
    return past;
}

}  // namespace

RowMaker::RowMaker(const MessageConversionOptions& options, const FieldExtractor& extractor)
    : keepLabels_(options.countLabels),
      identify_(options.identify),
      keepFiles_(options.attachedFiles),
      weighHtml_(options.weighHtml),
      extractor_(extractor),
      decoder_(options.headers, options.headerStyle) {
    if (weighHtml_) fields_ = options.fields;
    if (!keepFiles_) return;
    decoder_.keepAttachedFiles();
    size_t field = attachmentsField(options.fields);
    filesColumn_ = options.headers.size() + field;
    filesColumnAdded_ = field == options.fields.size();
}

void RowMaker::make(std::string_view message, MessageRow* row, bool tooLarge) {
    row->cells.clear();
    row->present.clear();
    row->problems.clear();
    row->unreadDates = 0;
    row->unplacedLines = 0;
    row->labelledLines = 0;
    row->doubtfulLabels = 0;
    row->doubtfulEnds = 0;
    row->unplacedSamples.clear();
    row->labelledSamples.clear();
    row->otherLabels.clear();
    row->skipped = Skip::kTooLarge;
    row->identity.clear();
    row->files.clear();
    row->filesFolder.clear();
    if (tooLarge) return;
    if (identify_) row->identity = messageIdentity(message);
    decoder_.decode(message, &decoded_);
    row->skipped = decoded_.skipped;
    if (decoded_.skipped != Skip::kNone) return;
    extractor_.extract(decoded_.body, &fieldCells_, &found_, &extras_, decoded_.fileNames);
    // A text alternative may lose what its HTML shows (a program that wrote a
    // table's label and answer cells on one line, a blank between them): where
    // it shows fewer than half the template's fields, the HTML is read too. A
    // reply is told by its text.
    if (decoded_.htmlAlternative && !decoded_.quotesEarlier &&
        2 * static_cast<size_t>(std::count(found_.begin(), found_.end(), true)) < found_.size())
        readHtmlInstead(message);
    else if (weighHtml_ && decoded_.htmlAlternative && !decoded_.quotesEarlier)
        weighHtmlReading(message);
    // A reply to a form mail would give the row of the mail it quotes again; its
    // own words may hold a line that looks like a field ("Name: as below"). A
    // reply read alone (one saved message), or in a folder of replies alone, is
    // all there is of that mail: it gives the row.
    if (decoded_.quotesEarlier && !found_.empty() &&
        (decoded_.replySubject ||
         std::none_of(found_.begin(), found_.end(), [](bool found) { return found; }))) {
        if (extractor_.layout().messages() != 1 && !extractor_.layout().onlyReplies()) {
            row->skipped = Skip::kQuotedReply;
            return;
        }
        extractor_.extract(decoded_.quoted, &fieldCells_, &found_, &extras_, decoded_.fileNames);
    }
    for (std::string& header : decoded_.headers) {
        row->present.push_back(!header.empty());
        row->cells.push_back(std::move(header));
    }
    for (size_t i = 0; i < fieldCells_.size(); ++i) {
        row->present.push_back(found_[i]);
        row->cells.push_back(std::move(fieldCells_[i]));
    }
    if (keepFiles_) {
        // The column is filled when the files are saved (AttachmentsWriter); until
        // then it holds their folder's name, so that the report counts a message
        // without files as one whose cell is empty.
        if (filesColumnAdded_) {
            row->cells.emplace_back();
            row->present.push_back(true);
        }
        row->present[filesColumn_] = true;
        row->files.swap(decoded_.files);
        if (!row->files.empty()) {
            row->filesFolder = attachedFilesFolderName(decoded_.date, message);
            row->cells[filesColumn_] = row->filesFolder;
        }
    }
    row->problems = std::move(decoded_.problems);
    row->unreadDates = std::count(decoded_.unreadDates.begin(), decoded_.unreadDates.end(), true);
    row->unplacedLines = extras_.unplacedLines;
    row->labelledLines = extras_.labelledLines;
    row->doubtfulLabels = extras_.doubtfulLabels;
    row->doubtfulEnds = extras_.doubtfulEnds;
    row->unplacedSamples.swap(extras_.unplacedSamples);
    // The other messages a digest holds give no rows of their own.
    if (decoded_.otherMessages > 0) {
        row->unplacedLines += static_cast<size_t>(decoded_.otherMessages);
        row->unplacedSamples.push_back(std::to_string(decoded_.otherMessages) +
                                       " more messages attached to it, not read");
    }
    row->labelledSamples.swap(extras_.labelledTextLines);
    row->otherLabels.clear();
    if (keepLabels_) row->otherLabels.swap(extras_.otherLabels);
    // A rare huge message should not keep its buffers in memory.
    if (decoded_.body.capacity() > kKeptBytes) std::string().swap(decoded_.body);
    if (html_.body.capacity() > kKeptBytes) std::string().swap(html_.body);
    for (std::string& cell : fieldCells_) {
        if (cell.capacity() > kKeptBytes) std::string().swap(cell);
    }
}

void RowMaker::readHtmlInstead(std::string_view message) {
    decoder_.decodeHtml(message, &html_);
    if (html_.skipped != Skip::kNone || html_.quotesEarlier) return;
    extractor_.extract(html_.body, &htmlCells_, &htmlFound_, &htmlExtras_, html_.fileNames);
    if (std::count(htmlFound_.begin(), htmlFound_.end(), true) <=
        std::count(found_.begin(), found_.end(), true))
        return;
    std::swap(decoded_, html_);
    fieldCells_.swap(htmlCells_);
    found_.swap(htmlFound_);
    std::swap(extras_, htmlExtras_);
}

MessageRows::MessageRows(const MessageConversionOptions& options)
    : options_(options), extractor_(options.fields), maker_(options_, extractor_) {
    report_.columns = columnNames();
    report_.missing.assign(report_.columns.size(), 0);
    report_.empty.assign(report_.columns.size(), 0);
}

void MessageRows::learn(FormLayout layout) {
    extractor_.setLayout(std::move(layout));
    learned_ = true;
}

std::vector<std::string> MessageRows::columnNames() const {
    std::vector<std::string> names = options_.headers;
    names.insert(names.end(), options_.fields.begin(), options_.fields.end());
    if (options_.attachedFiles && attachmentsField(options_.fields) == options_.fields.size())
        names.push_back(kAttachmentsColumn);
    return names;
}

size_t MessageRows::filesColumn() const {
    return options_.headers.size() + attachmentsField(options_.fields);
}

void MessageRows::record(MessageRow& row, std::string_view source) {
    ++report_.messagesRead;
    lastIdentity_ = row.identity;
    lastFiles_.swap(row.files);
    row.files.clear();
    lastFilesFolder_ = row.filesFolder;
    if (source != source_) {
        source_ = source;
        sourceMessages_ = 0;
    }
    ++sourceMessages_;
    if (row.skipped != Skip::kNone) {
        countSkipped(row.skipped, source);
        return;
    }
    bool lacking = false;
    for (size_t i = 0; i < row.present.size() && i < report_.missing.size(); ++i) {
        if (!row.present[i]) {
            ++report_.missing[i];
            lacking = true;
        } else if (row.cells[i].empty()) {
            ++report_.empty[i];
        }
    }
    report_.rowsLackingField += lacking;
    report_.unreadDates += row.unreadDates;
    report_.unplacedLines += row.unplacedLines;
    report_.labelledLines += row.labelledLines;
    report_.doubtfulLabels += row.doubtfulLabels;
    report_.doubtfulEnds += row.doubtfulEnds;
    report_.unsureRows += row.unplacedLines + row.doubtfulLabels + row.doubtfulEnds > 0;
    for (const auto* lines : {&row.unplacedSamples, &row.labelledSamples}) {
        for (const std::string& doubt : *lines) {
            if (report_.unsureSamples.size() >= kUndecodedSamples) break;
            report_.unsureSamples.push_back(std::string(source) + ", message " +
                                            std::to_string(sourceMessages_) + ": " + doubt);
        }
    }
    if (options_.countLabels) census_.add(row.otherLabels);
    for (const std::string& problem : row.problems) {
        ++report_.undecodedParts;
        if (report_.undecodedSamples.size() < kUndecodedSamples) {
            report_.undecodedSamples.push_back(std::string(source) + ", message " +
                                               std::to_string(sourceMessages_) + ": " + problem);
        }
    }
}

void MessageRows::countSkipped(Skip reason, std::string_view source) {
    if (reason == Skip::kDeleted || reason == Skip::kQuotedReply || reason == Skip::kFolderData) {
        ++(reason == Skip::kDeleted      ? report_.skippedDeleted
           : reason == Skip::kFolderData ? report_.skippedFolderData
                                         : report_.skippedReplies);
        return;
    }
    ++(reason == Skip::kTooLarge ? report_.skippedTooLarge : report_.skippedTooManyParts);
    if (report_.skippedSamples.size() < kUndecodedSamples) {
        report_.skippedSamples.push_back(std::string(source) + ", message " +
                                         std::to_string(sourceMessages_) + ": " + skipText(reason));
    }
}

void MessageRows::countLeftOut(uint64_t* count, const std::string& sample) {
    ++*count;
    if (report_.leftOutSamples.size() < kUndecodedSamples) report_.leftOutSamples.push_back(sample);
}

bool MessageRows::rowOf(std::string_view message, std::string_view source,
                        std::vector<std::string>* cells, bool tooLarge) {
    maker_.make(message, &row_, tooLarge);
    record(row_, source);
    cells->swap(row_.cells);
    return row_.skipped == Skip::kNone;
}

MessageReport MessageRows::report() const {
    MessageReport report = report_;
    report.rowsWritten -= std::min(report.rowsWritten, report.rowsHeld);
    if (!options_.countLabels) return report;
    uint64_t many = std::max<uint64_t>(2, (census_.messages() + 9) / 10);
    report.unknownLabels = census_.labels(many);
    return report;
}

void RowMaker::weighHtmlReading(std::string_view message) {
    decoder_.decodeHtml(message, &html_);
    if (html_.skipped != Skip::kNone || html_.quotesEarlier) return;
    extractor_.extract(html_.body, &htmlCells_, &htmlFound_, &htmlExtras_, html_.fileNames);
    for (size_t i = 0; i < fieldCells_.size() && i < htmlCells_.size(); ++i) {
        std::string past = wordsPast(fieldCells_[i], htmlCells_[i]);
        if (past.empty()) continue;
        if (extras_.unplacedSamples.size() < kKeptSamples) {
            extras_.unplacedSamples.push_back("the HTML part ends " + columnTitle(fields_[i]) +
                                              " before \"" + past + "\"");
        }
        ++extras_.doubtfulEnds;
    }
}

}  // namespace tabulon
