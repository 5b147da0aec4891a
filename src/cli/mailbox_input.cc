#include "cli/mailbox_input.h"

#include <optional>

#include "cli/keyring_password.h"
#include "cli/progress_line.h"
#include "mailbox/mailbox_conversion.h"

namespace tabulon {

Status convertMailboxInput(const std::string& url, const MessageJobOptions& options,
                           MessageRows& rows, const RowFn& onRow, SeenMessages* seen) {
    std::optional<ProgressLine> line;
    return readMailboxAt(url, options.mailbox, {keyringPassword, !options.neverPrompt}, rows, onRow,
                         seen, [&](uint64_t done, uint64_t total) {
                             if (!options.showProgress) return;
                             if (!line) line.emplace(mailboxName(url));
                             line->update(done, total);
                         });
}

}  // namespace tabulon
