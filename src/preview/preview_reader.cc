#include "preview/preview_reader.h"

#include "mail/layout_lookahead.h"
#include "mail/mail_folder.h"
#include "mail/message_stream.h"
#include "platform/file_info.h"
#include "platform/file_source.h"

namespace tabulon {
namespace {

std::vector<std::string> columnsOf(const MessageConversionOptions& options) {
    return MessageRows(options).columnNames();
}

}  // namespace

PreviewReader::PreviewReader(std::vector<std::string> inputs, MessageConversionOptions options,
                             size_t keptRows)
    : PreviewReader(std::move(inputs), std::nullopt, std::move(options), keptRows) {}

PreviewReader::PreviewReader(MailboxQuery mailbox, MessageConversionOptions options,
                             size_t keptRows)
    : PreviewReader({}, std::move(mailbox), std::move(options), keptRows) {}

PreviewReader::PreviewReader(std::vector<std::string> inputs, std::optional<MailboxQuery> mailbox,
                             MessageConversionOptions options, size_t keptRows)
    : inputs_(std::move(inputs)),
      mailbox_(std::move(mailbox)),
      options_(std::move(options)),
      columns_(columnsOf(options_)),
      keptRows_(keptRows) {
    progress_.missing.assign(columns_.size(), 0);
    for (const std::string& input : inputs_)
        progress_.totalBytes += fileSize(input);
}

PreviewReader::~PreviewReader() {
    stop();
    if (thread_.joinable()) thread_.join();
}

void PreviewReader::start() {
    thread_ = std::thread([this] { run(); });
}

void PreviewReader::stop() {
    stopping_.store(true, std::memory_order_relaxed);
}

void PreviewReader::takeRows(std::vector<TableRow>* rows) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (rows->empty()) {
        rows->swap(pending_);
        return;
    }
    for (TableRow& row : pending_)
        rows->push_back(std::move(row));
    pending_.clear();
}

PreviewReader::Progress PreviewReader::progress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
}

Status PreviewReader::status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

MessageReport PreviewReader::report() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return report_;
}

void PreviewReader::run() {
    MessageRows rows(options_);
    Status status;
    if (mailbox_) {
        ImapAccount account = mailbox_->account;
        account.stop = &stopping_;
        status = readMailbox(
            account, mailbox_->search, rows,
            [this](const std::vector<std::string>& cells) { return takeRow(cells); }, nullptr,
            [this](uint64_t fetched, uint64_t found) {
                std::lock_guard<std::mutex> lock(mutex_);
                progress_.bytesRead = fetched;
                progress_.totalBytes = found;
            });
    } else {
        status = readFiles(rows);
    }
    if (status.isStopped()) status = Status::Ok();
    MessageReport report = rows.report();
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = status;
    progress_.missing = report.missing;
    progress_.empty = report.empty;
    progress_.messages = report.rowsWritten;
    progress_.skipped = report.skipped();
    report_ = std::move(report);
    progress_.done = true;
}

Status PreviewReader::readFiles(MessageRows& rows) {
    MailFolderFiles listed;
    Status status = expandMailInputs(inputs_, &listed);
    countLeftOut(listed, rows);
    const std::vector<std::string>& files = listed.files;
    {
        uint64_t total = 0;
        for (const std::string& file : files)
            total += fileSize(file);
        std::lock_guard<std::mutex> lock(mutex_);
        progress_.totalBytes = total;
    }
    if (files.size() > 1) learnFromFiles(files, rows);
    uint64_t offset = 0;
    for (const std::string& input : files) {
        if (!status.ok()) break;
        status = readOne(input, listed, rows, offset);
        if (!status.ok()) break;
        offset += fileSize(input);
    }
    return status;
}

Status PreviewReader::takeRow(const std::vector<std::string>& cells) {
    if (stopping_.load(std::memory_order_relaxed)) return Status::Stopped();
    std::lock_guard<std::mutex> lock(mutex_);
    ++progress_.messages;
    for (size_t i = 0; i < cells.size() && i < progress_.missing.size(); ++i) {
        if (cells[i].empty()) ++progress_.missing[i];
    }
    if (kept_ < keptRows_) {
        pending_.push_back(cells);
        ++kept_;
    }
    return Status::Ok();
}

Status PreviewReader::readOne(const std::string& input, const MailFolderFiles& listed,
                              MessageRows& rows, uint64_t offset) {
    std::unique_ptr<FileSource> source;
    Status status = openMailFile(input, listed, rows, &source);
    if (!status.ok() || !source) return status;  // a file left out is counted
    auto onRow = [this](const std::vector<std::string>& cells) { return takeRow(cells); };
    auto onProgress = [this, offset](uint64_t read, uint64_t) {
        std::lock_guard<std::mutex> lock(mutex_);
        progress_.bytesRead = offset + read;
    };
    return convertMessages(*source, input, rows, onRow, onProgress, holdsOneMessage(input));
}

}  // namespace tabulon
