// Scripting events as they travel over the event socket. A message is "TBEV",
// the payload's length (4 bytes, big-endian), then the payload: the event class
// (4 bytes), the event ID (4 bytes) and the direct parameter (the rest, UTF-8).
// The answer is one byte, 'H' when the event was handled, 'N' when not, which may
// be followed by a text (UTF-8, at most kMaxReplyText bytes) saying why it was
// not handled or what went wrong; the answer ends when Tabulon closes the
// connection. A client that reads only the first byte understands every answer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

struct ScriptingEvent {
    std::string eventClass;  // four characters, such as "aevt"
    std::string eventId;     // four characters, such as "quit"
    std::string parameter;   // the direct parameter
};

// The largest payload accepted; larger messages are refused unread.
inline constexpr size_t kMaxEventPayload = 1 << 20;
inline constexpr char kHandled = 'H';
inline constexpr char kNotHandled = 'N';
// The longest text an answer carries; longer texts are cut.
inline constexpr size_t kMaxReplyText = 64 * 1024;

// REQUIRES: class and ID of four bytes each.
std::string encodeEvent(const ScriptingEvent& event);

enum class DecodeResult { kNeedMore, kComplete, kMalformed };
// Reads one message from the start of `bytes`.
DecodeResult decodeEvent(std::string_view bytes, ScriptingEvent* event);

// True when `id` is `code` or `code` with its bytes reversed, ignoring case.
bool eventIdIs(std::string_view id, std::string_view code);

// $XDG_RUNTIME_DIR/tabulon-events, or, when the variable is unset, the same in
// <temp>/runtime-<user>/ (the fallback folder Qt uses). Either folder is used
// only when it is private to this user (see private_folder.h).
std::string eventSocketPath();

}  // namespace tabulon
