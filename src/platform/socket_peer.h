// Questions about the process at the other end of a connected local socket,
// asked of its descriptor.
#pragma once

namespace tabulon {

// True when the peer runs as this process's user. For a connecting client the
// peer is the process that listens; for a server, the one that connected.
bool peerIsThisUser(int fd);

// True when the peer has closed its end and nothing it sent is left unread: a
// message it left incomplete will never be completed.
bool peerHasLeft(int fd);

}  // namespace tabulon
