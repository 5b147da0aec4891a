// Saves the files each message carries as its row is written (--attachments
// DIR): one folder per message inside DIR, named by attachedFilesFolderName(),
// each file under safeSavedName() of its name, numbered when the name is
// taken; and fills the row's Attachments cell with the saved paths, relative
// to the table's folder, one per line. Nothing is written outside DIR
// (ContainedFolder). Rows the table holds already (only the new messages) save
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mail/message_conversion.h"
#include "output/seen_messages.h"
#include "platform/contained_folder.h"
#include "table/table_writer.h"

namespace tabulon {

class AttachmentsWriter : public TableWriter {
  public:
    // `rows` must keep attached files; `seen`, when given, is the record of
    // only the new messages, which the next writer applies.
    AttachmentsWriter(TableWriter& next, MessageRows& rows, ContainedFolder& folder,
                      std::string shownFolder, const SeenMessages* seen)
        : next_(next), rows_(rows), folder_(folder), shown_(std::move(shownFolder)), seen_(seen) {}
    Status begin(const std::vector<std::string>& names) override { return next_.begin(names); }
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return next_.finish(); }

    const SavedFilesCount& count() const { return count_; }

  private:
    TableWriter& next_;
    MessageRows& rows_;
    ContainedFolder& folder_;
    std::string shown_;  // DIR as the table's cells name it, ending in "/"
    const SeenMessages* seen_;
    SavedFilesCount count_;
    std::vector<std::string> cells_;
};

// DIR as seen from the folder of `table` ("-": the working folder), ending
// in "/": "files/" for -o out.csv --attachments files.
std::string folderFromTable(const std::string& folder, const std::string& table);

}  // namespace tabulon
