#include "mailbox/mailbox_options.h"

#include <algorithm>

namespace tabulon {

std::string& valueOf(MailboxOptions& options, const MailboxOption& option) {
    return option.filter ? options.search.*option.filter : options.*option.setting;
}

const std::string& valueOf(const MailboxOptions& options, const MailboxOption& option) {
    return option.filter ? options.search.*option.filter : options.*option.setting;
}

std::string setMailboxOption(MailboxOptions& options, const MailboxOption& option,
                             const std::string& value) {
    unsigned year = 0, month = 0, day = 0;
    if (option.day && !readCalendarDay(value, &year, &month, &day))
        return "'" + value + "' is not a day written YYYY-MM-DD";
    valueOf(options, option) = value;
    return "";
}

std::string mailboxOptionsHelp() {
    std::string text;
    for (const MailboxOption& option : mailboxOptions()) {
        std::string spelling = std::string("--") + option.name + "=" + option.value;
        spelling.resize(std::max<size_t>(spelling.size(), 21), ' ');
        text += "      " + spelling + "  " + option.help + "\n";
    }
    return text;
}

std::vector<std::string> mailboxArguments(const MailboxOptions& options) {
    std::vector<std::string> args;
    for (const MailboxOption& option : mailboxOptions()) {
        const std::string& value = valueOf(options, option);
        if (!value.empty()) args.insert(args.end(), {std::string("--") + option.name, value});
    }
    return args;
}

}  // namespace tabulon
