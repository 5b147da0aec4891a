// The conversion that understands mail, its options and its rows: each message
// of the input becomes one row of the same columns, the asked-for header fields
// first, then the template's fields, and the report counts what was read. An
// input is run through it by convertMessages() (message_stream.h).
#pragma once

#include <functional>
#include <memory>
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
    std::vector<std::string> headers;  // header columns, in this order (header_cell.h)
    bool countLabels = false;          // for the report's labels the template lacks
    // Threads that decode messages: 0 picks one per processor (at most 4); with 1
    // everything runs on the caller's thread. Rows come out in input order anyway.
    unsigned threads = 0;
    // Each row also carries its message's identity (messageIdentity()).
    bool identify = false;
    // Each row also carries the files its message carries (attached_files.h),
    // and the table has a column for where they are saved: the template's
    // field named "Attachments" when it has one, else one more at the end.
    bool attachedFiles = false;
    HeaderStyle headerStyle = {};  // how header columns are written
    // A message's HTML alternative is read beside its text one, and a value the
    // text reading runs on past the HTML's is a doubt (what a report or
    // --strict is for; it costs a second reading).
    bool weighHtml = false;
};

// The column that lists a message's saved files.
inline constexpr const char* kAttachmentsColumn = "Attachments";

// One message made into its row, as a RowMaker leaves it.
struct MessageRow {
    std::vector<std::string> cells;  // header columns, then the template's fields
    std::vector<bool> present;       // per column: whether the message had it
    std::vector<std::string> problems;
    size_t unreadDates = 0;                    // dates of header columns left as written
    size_t unplacedLines = 0;                  // lines between the body's fields that no field took
    size_t labelledLines = 0;                  // label-shaped lines kept inside values
    size_t doubtfulLabels = 0;                 // FormText::doubtfulLabels
    size_t doubtfulEnds = 0;                   // FormText::doubtfulEnds
    std::vector<std::string> unplacedSamples;  // the first few of each
    std::vector<std::string> labelledSamples;
    std::vector<SeenLabel> otherLabels;  // fields no column takes, when labels are counted
    Skip skipped = Skip::kNone;          // when not kNone, no row is written
    std::string identity;                // with `identify`: messageIdentity() of the message
    // With `attachedFiles`: the files, and the folder name they are saved under
    // (attachedFilesFolderName()) when there are any.
    std::vector<AttachedFile> files;
    std::string filesFolder;
};

// Decodes messages and looks up their fields. One per thread.
class RowMaker {
  public:
    // `extractor` must outlive the maker.
    RowMaker(const MessageConversionOptions& options, const FieldExtractor& extractor);
    // REQUIRES: `message` has LF line ends. `tooLarge`: the splitter let the
    // message go (MessageSplitter::next()).
    void make(std::string_view message, MessageRow* row, bool tooLarge = false);
    void useStyle(const HeaderStyle& style) { decoder_.useStyle(style); }

  private:
    // Reads the message's HTML alternative in place of its text one, and keeps
    // that reading when it finds more of the template's fields.
    void readHtmlInstead(std::string_view message);
    // Reads the HTML alternative too and counts each value whose text reading
    // says all the HTML's does and more as a doubtful end.
    void weighHtmlReading(std::string_view message);

    bool keepLabels_;
    bool identify_;
    bool keepFiles_;
    bool weighHtml_;
    FieldList fields_;  // with weighHtml_, for the report's words
    // Where the saved files' column is, and whether it is one after the fields.
    size_t filesColumn_ = 0;
    bool filesColumnAdded_ = false;
    const FieldExtractor& extractor_;
    MessageDecoder decoder_;
    DecodedMessage decoded_;
    std::vector<std::string> fieldCells_;
    std::vector<bool> found_;
    ExtractedExtras extras_;
    // The HTML alternative's reading, while it is weighed against the text's.
    DecodedMessage html_;
    std::vector<std::string> htmlCells_;
    std::vector<bool> htmlFound_;
    ExtractedExtras htmlExtras_;
};

// Builds rows from messages and keeps the report. Not thread-safe: workers each
// take a RowMaker, and the rows they make are recorded on one thread.
class MessageRows {
  public:
    explicit MessageRows(const MessageConversionOptions& options);

    // Header names, then the template's names as they stand, then "Attachments"
    // when the files are kept and no field has that name.
    std::vector<std::string> columnNames() const;
    // With `attachedFiles`: the column of the saved files.
    size_t filesColumn() const;
    const MessageConversionOptions& options() const { return options_; }

    // Whether the form's layout has been learned; convertMessages() learns it from
    // the first messages of its input unless it already was.
    bool learned() const { return learned_; }
    // REQUIRES: no RowMaker is making rows.
    void learn(FormLayout layout);
    // How the header columns of rows made from now on are written (--new-only
    // follows the table it adds to). REQUIRES: no RowMaker is making rows.
    void useHeaderStyle(const HeaderStyle& style) {
        options_.headerStyle = style;
        maker_.useStyle(style);
    }

    std::unique_ptr<RowMaker> newRowMaker() const {
        return std::make_unique<RowMaker>(options_, extractor_);
    }
    // Counts a row made by a RowMaker in the report; `source` names its file.
    // Takes the row's files, for lastFiles().
    void record(MessageRow& row, std::string_view source);
    // make() and record() in one, on the caller's thread; false when the message
    // gives no row.
    bool rowOf(std::string_view message, std::string_view source, std::vector<std::string>* cells,
               bool tooLarge = false);
    void countWritten() { ++report_.rowsWritten; }
    // A row handed on that the table held already (--new-only): not written.
    void countHeld() { ++report_.rowsHeld; }
    // With `identify`: the identity of the message last recorded, the one whose
    // row is handed on next.
    const std::string& lastIdentity() const { return lastIdentity_; }
    // With `attachedFiles`: the files of the message last recorded, and the
    // folder name they are saved under.
    std::vector<AttachedFile>& lastFiles() { return lastFiles_; }
    const std::string& lastFilesFolder() const { return lastFilesFolder_; }
    // Messages left out before they were read: trashed in a Maildir.
    void countTrashed(uint64_t messages) { report_.skippedDeleted += messages; }
    // A message of an IMAP folder that went away before it could be fetched.
    void countGone() {
        ++report_.messagesRead;
        ++report_.skippedGone;
    }
    // A file or folder of a folder given that was not read, and why.
    void countUnreadFile(const std::string& why) { countLeftOut(&report_.unreadFiles, why); }
    void countFolderTooDeep(const std::string& folder) {
        countLeftOut(&report_.foldersTooDeep, folder + ": more than " +
                                                  std::to_string(kMaxFolderDepth) +
                                                  " folders below the one given");
    }
    void countOwnTable() { ++report_.ownTables; }

    MessageReport report() const;

  private:
    void countSkipped(Skip reason, std::string_view source);
    void countLeftOut(uint64_t* count, const std::string& sample);

    MessageConversionOptions options_;
    FieldExtractor extractor_;
    RowMaker maker_;
    MessageRow row_;
    LabelCensus census_;
    MessageReport report_;
    bool learned_ = false;
    std::string source_;  // the file being read, and how many of its messages so far
    uint64_t sourceMessages_ = 0;
    std::string lastIdentity_;
    std::vector<AttachedFile> lastFiles_;
    std::string lastFilesFolder_;
};

using RowFn = std::function<Status(const std::vector<std::string>& cells)>;

}  // namespace tabulon
