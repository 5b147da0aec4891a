// The record --new-only keeps for one output: which rows the table holds, by
// their keys (a message's identity, a mailbox message's UID), and the table's
// size and time of change then, so that a table changed behind its back is
// noticed instead of given a row twice or missing one. One small file per
// output, under the user's state folder, and beside it a lock that one run at
// a time holds from load() on.
//
// The table and its record are committed together (commitSteps()): the record
// is first written "pending", naming the new table's size and digest, then the
// table takes its name, then the record is marked done. A run that finds a
// pending record finishes that commit when the table is the new one, and
// goes back to the record before it when the table is still the old one.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "output/output_write.h"
#include "platform/file_lock.h"
#include "platform/status.h"

namespace tabulon {

class Sha256;

class SeenMessages {
  public:
    SeenMessages();
    ~SeenMessages();

    // Waits for any other run adding to `output` to end (a while, then refuses),
    // and holds its lock until destroyed. Then reads the record kept for the
    // table at `output` and checks it against the table. A table that exists
    // with no record, a record that cannot be read or is not whole, or a table
    // changed since it was recorded, is refused with a message saying which. No
    // table: a fresh start. The wait ends with Status::Stopped() once `stopped`
    // (when given) says so.
    Status load(const std::string& output, const std::function<bool()>& stopped = {});

    // Whether the output table exists (it is then added to, else written whole).
    bool tableExists() const { return tableExists_; }
    // Whether the table holds `key`, or `olderKey`: the form an older record
    // kept of it ("" for none).
    bool has(std::string_view key, std::string_view olderKey = {}) const;
    void add(std::string_view key);

    // What writeOutput() does with the table's commit so that this record
    // follows it: the record is replaced, atomically and flushed, before and
    // after the table takes its name. Valid while this object lives.
    const CommitSteps& commitSteps();

    // The file holding the record of `output`, for tests and messages.
    static std::string recordPath(const std::string& output);

  private:
    // The lines of a record, taken one by one as they are read.
    struct RecordLines {
        SeenMessages& record;
        size_t count = 0;
        bool known = false;  // the first line is a record's, and all since fit
        bool older = false;  // an older record, without its "end N" line
        bool ended = false;  // "end N" was taken
        bool cutShort = false;
        void take(std::string_view line);
        bool whole() const { return known && count >= 2 && !cutShort && (older || ended); }
    };
    static int readLines(int fd, RecordLines& lines);

    Status read();
    Status finishOrGoBack(const std::string& stamp);
    Status write(const std::string& pending);

    std::string output_;
    std::string record_;
    bool tableExists_ = false;
    FileLock lock_;
    std::string stamp_;  // of the table the record is of; "none" when there was none
    // What the table holds, in the record's order, then what this run adds;
    // `seen_` looks into both (a deque keeps its strings in place).
    std::deque<std::string> held_;
    std::deque<std::string> added_;
    std::unordered_set<std::string_view> seen_;
    // A pending record read: the new table's size and digest, and what it adds.
    std::string pending_;
    std::deque<std::string> pendingAdded_;
    uint64_t written_ = 0;
    std::unique_ptr<Sha256> digest_;
    CommitSteps steps_;
};

}  // namespace tabulon
