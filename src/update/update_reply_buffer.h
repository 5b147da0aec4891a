// What the update window keeps of the server's reply, and when it has enough to
// decide: bytes are added as they arrive, line feeds dropped, at most
// kMaxUpdateReply kept. The text is kept across checks in one window (a second
// check appends to the first reply); whether this check has decided is not.
// Not thread-safe; one per update window.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// No more than this much of a reply is kept.
inline constexpr size_t kMaxUpdateReply = 64 * 1024;

class UpdateReplyBuffer {
  public:
    // What the window does next.
    enum class Action {
        kNone,           // nothing yet (or the check has already decided)
        kDecide,         // the reply says all it will: parse it now
        kDecideAndStop,  // no more fits: parse what is kept and drop the connection
        kUnreachable,    // the connection ended before any reply came
    };

    UpdateReplyBuffer() = default;
    // Starts from text already received (line feeds removed).
    explicit UpdateReplyBuffer(std::string received) : text_(std::move(received)) {}

    // A new check begins: nothing received and nothing decided yet in it.
    void startCheck();
    // Bytes that arrived on the connection.
    Action add(std::string_view bytes);
    // The server closed the connection, or it failed.
    Action closed();

    // Everything kept so far, line feeds removed.
    const std::string& text() const { return text_; }

  private:
    Action decide(Action action);

    std::string text_;
    bool received_ = false;  // bytes arrived in this check
    bool decided_ = false;   // this check has decided
};

}  // namespace tabulon
