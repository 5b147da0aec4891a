static const char kUsage[] = R"(Usage: tabulon-send [--class=CODE] ID [TEXT]
       tabulon-send --help | --version

Sends one scripting event to the running Tabulon and prints whether it was
handled; the reason Tabulon gives when it did not handle it (a conversion that
failed, a file it cannot read) goes to standard error. CODE and ID are four
characters each; CODE defaults to "aevt".

  quit        quits Tabulon about a second later
  hail TEXT   shows "You called me? TEXT"
  prcs FILE   converts FILE into "FILE Converted" beside it, without dialogs,
              and answers once the output is written
  odoc FILE   opens FILE as a document: converted after asking where to

A FILE may be a native path (relative ones are taken from the current folder)
or a ":"-path relative to Tabulon's folder.

The event socket is $XDG_RUNTIME_DIR/tabulon-events (or the same in
$TMPDIR/runtime-USER when XDG_RUNTIME_DIR is unset). Nothing is sent unless
that folder is yours alone and the Tabulon listening there runs as you.

Exit status:
  0  handled
  1  not handled, or the conversion failed (the reason on standard error)
  2  wrong usage
  3  Tabulon is not running (or not as you): nothing was sent
)";

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/exit_status.h"
#include "platform/event_client.h"
#include "platform/scripting_event.h"
#include "version.h"

namespace tabulon {
namespace {

int usageError(const std::string& problem) {
    std::fprintf(stderr, "tabulon-send: %s\nTry 'tabulon-send --help'.\n", problem.c_str());
    return kExitUsage;
}

// Paths that name files are made absolute: Tabulon runs in another folder.
std::string pathArgument(const std::string& text) {
    if (text.empty() || text[0] == '/' || text[0] == ':') return text;
    char folder[4096];
    if (::getcwd(folder, sizeof folder) == nullptr) return text;
    return std::string(folder) + "/" + text;
}

int run(int argc, char** argv) {
    ScriptingEvent event{"aevt", "", ""};
    int i = 1;
    if (i < argc && (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (i < argc && std::string(argv[i]) == "--version") {
        std::printf("tabulon-send %s\n", kVersion);
        return kExitOk;
    }
    if (i < argc && std::string(argv[i]).starts_with("--class=")) {
        event.eventClass = std::string(argv[i++]).substr(8);
    } else if (i < argc && std::string(argv[i]) == "--class") {
        if (i + 1 >= argc) return usageError("--class needs a four-character code");
        event.eventClass = argv[i + 1];
        i += 2;
    }
    if (i >= argc) return usageError("no event ID given");
    event.eventId = argv[i++];
    if (i < argc) event.parameter = argv[i++];
    if (i < argc) return usageError("too many arguments");
    if (event.eventClass.size() != 4) return usageError("the class must be four characters");
    if (event.eventId.size() != 4) return usageError("the event ID must be four characters");
    if (eventIdIs(event.eventId, "prcs") || eventIdIs(event.eventId, "odoc")) {
        event.parameter = pathArgument(event.parameter);
    }

    std::string message;
    switch (sendEvent(event, &message)) {
        case SendResult::kHandled:
            std::puts("handled");
            return kExitOk;
        case SendResult::kNotHandled:
            std::puts("not handled");
            // Tabulon's own words, as its window would have shown them.
            if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
            return kExitFailure;
        case SendResult::kNoApp:
        case SendResult::kUntrusted:
            std::fprintf(stderr, "tabulon-send: %s\n", message.c_str());
            return kExitNoApp;
        case SendResult::kFailed:
            break;
    }
    std::fprintf(stderr, "tabulon-send: %s\n", message.c_str());
    return kExitFailure;
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
    return tabulon::run(argc, argv);
}
