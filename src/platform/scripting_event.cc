#include "platform/scripting_event.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/text.h"

namespace tabulon {
namespace {

constexpr std::string_view kMagic = "TBEV";
constexpr size_t kHeaderSize = 8;

}  // namespace

std::string encodeEvent(const ScriptingEvent& event) {
    std::string payload = event.eventClass + event.eventId + event.parameter;
    auto size = static_cast<uint32_t>(payload.size());
    std::string message(kMagic);
    for (int shift = 24; shift >= 0; shift -= 8)
        message += static_cast<char>((size >> shift) & 0xff);
    return message + payload;
}

DecodeResult decodeEvent(std::string_view bytes, ScriptingEvent* event) {
    size_t known = std::min(bytes.size(), kMagic.size());
    if (bytes.substr(0, known) != kMagic.substr(0, known)) return DecodeResult::kMalformed;
    if (bytes.size() < kHeaderSize) return DecodeResult::kNeedMore;
    uint32_t size = 0;
    for (size_t i = 4; i < kHeaderSize; ++i)
        size = (size << 8) | static_cast<unsigned char>(bytes[i]);
    if (size < 8 || size > kMaxEventPayload) return DecodeResult::kMalformed;
    if (bytes.size() < kHeaderSize + size) return DecodeResult::kNeedMore;
    if (bytes.size() > kHeaderSize + size) return DecodeResult::kMalformed;  // one event a message
    std::string_view payload = bytes.substr(kHeaderSize, size);
    event->eventClass = std::string(payload.substr(0, 4));
    event->eventId = std::string(payload.substr(4, 4));
    event->parameter = std::string(payload.substr(8));
    return DecodeResult::kComplete;
}

bool eventIdIs(std::string_view id, std::string_view code) {
    std::string reversed(code.rbegin(), code.rend());
    return equalsIgnoringCase(id, code) || equalsIgnoringCase(id, reversed);
}

std::string eventSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/tabulon-events";
    const char* temp = std::getenv("TMPDIR");
    std::string folder = temp != nullptr && temp[0] == '/' ? temp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const passwd* user = ::getpwuid(::getuid());
    std::string name = user != nullptr ? user->pw_name : std::to_string(::getuid());
    return folder + "/runtime-" + name + "/tabulon-events";
}

}  // namespace tabulon
