// Reads mail files, or the messages of a mailbox folder, into rows for the
// spreadsheet preview on a thread of its own.
// The first `keptRows` rows are kept and handed out in batches as they come; the
// rest are only counted, so memory is bounded by the kept rows and the largest
// message, whatever the size of the files. All methods are thread-safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "mail/mail_folder.h"
#include "mail/message_conversion.h"
#include "mailbox/mailbox_conversion.h"

namespace tabulon {

using TableRow = std::vector<std::string>;

class PreviewReader {
  public:
    static constexpr size_t kKeptRows = 10000;

    PreviewReader(std::vector<std::string> inputs, MessageConversionOptions options,
                  size_t keptRows = kKeptRows);
    PreviewReader(MailboxQuery mailbox, MessageConversionOptions options,
                  size_t keptRows = kKeptRows);
    // Stops the reading and waits for its thread.
    ~PreviewReader();
    PreviewReader(const PreviewReader&) = delete;
    PreviewReader& operator=(const PreviewReader&) = delete;

    // REQUIRES: called once.
    void start();
    // Asks the reading to stop after the message at hand; returns at once.
    void stop();

    // The columns every row has: header names, then the template's names.
    std::vector<std::string> columnNames() const { return columns_; }

    // Appends the kept rows read since the last call to `rows`.
    void takeRows(std::vector<TableRow>* rows);

    struct Progress {
        // Of files: bytes; of a mailbox: messages fetched and found.
        uint64_t bytesRead = 0;
        uint64_t totalBytes = 0;
        uint64_t messages = 0;  // rows read so far
        uint64_t skipped = 0;   // messages that give no row (MessageReport), once done
        // Per column: messages without it so far (while reading, with those that
        // have it empty; once done, only those without it).
        std::vector<uint64_t> missing;
        std::vector<uint64_t> empty;  // once done, per column: messages that have it empty
        bool done = false;
    };
    Progress progress() const;

    // Once done: how the reading went (a file that could not be read) and the
    // full report, with the labels the template lacks.
    Status status() const;
    MessageReport report() const;

  private:
    PreviewReader(std::vector<std::string> inputs, std::optional<MailboxQuery> mailbox,
                  MessageConversionOptions options, size_t keptRows);
    void run();
    Status readFiles(MessageRows& rows);
    Status readOne(const std::string& input, const MailFolderFiles& listed, MessageRows& rows,
                   uint64_t offset);
    Status takeRow(const std::vector<std::string>& cells);

    const std::vector<std::string> inputs_;
    const std::optional<MailboxQuery> mailbox_;
    const MessageConversionOptions options_;
    const std::vector<std::string> columns_;
    const size_t keptRows_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;

    mutable std::mutex mutex_;  // guards everything below
    std::vector<TableRow> pending_;
    size_t kept_ = 0;
    Progress progress_;
    Status status_;
    MessageReport report_;
};

}  // namespace tabulon
