// The record --new-only keeps for one output: which messages the table holds
// (by messageIdentity()) and the table's size and time of change then, so
// that a table changed behind its back is noticed instead of given a row twice
// or missing one. One small file per output, under the user's state folder,
// and beside it a lock that one run at a time holds from load() on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>

#include "platform/file_lock.h"
#include "platform/status.h"

namespace tabulon {

class SeenMessages {
  public:
    // Waits for any other run adding to `output` to end (a while, then refuses),
    // and holds its lock until destroyed. Then reads the record kept for the
    // table at `output` and checks it against the table. A table that exists
    // with no record, or changed since it was recorded, is refused with a
    // message telling how to start over. No table: a fresh start. The wait ends
    // with Status::Stopped() once `stopped` (when given) says so.
    Status load(const std::string& output, const std::function<bool()>& stopped = {});

    // Whether the output table exists (it is then added to, else written whole).
    bool tableExists() const { return tableExists_; }
    bool has(const std::string& identity) const { return seen_.count(identity) > 0; }
    void add(const std::string& identity) { seen_.insert(identity); }

    // Replaces the record, atomically, once the table has been committed.
    Status save();

    // The file holding the record of `output`, for tests and messages.
    static std::string recordPath(const std::string& output);

  private:
    std::string output_;
    std::string record_;
    bool tableExists_ = false;
    FileLock lock_;
    std::unordered_set<std::string> seen_;
};

}  // namespace tabulon
