#pragma once

#include <chrono>
#include <cstddef>

namespace kb::platform {

using SocketClock = std::chrono::steady_clock;

// Sends or receives all size bytes through the socket fd, a part at a time
// without blocking, interruptions retried, waiting for the socket between
// parts until the deadline; false when the other side ended or the time ran
// out. A send never raises SIGPIPE. Both sides of the metafile helper's
// socket use them; the helper waits for its next request with no deadline.
bool sendAll(int fd, const char* data, std::size_t size, SocketClock::time_point deadline);
bool receiveAll(int fd, char* data, std::size_t size, SocketClock::time_point deadline);

inline constexpr SocketClock::time_point noDeadline = SocketClock::time_point::max();

} // namespace kb::platform
