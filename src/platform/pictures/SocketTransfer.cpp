#include "SocketTransfer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <poll.h>
#include <sys/socket.h>

namespace kb::platform {
namespace {

// Waits until fd is ready for events or the deadline has passed.
bool waitFor(int fd, short events, SocketClock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SocketClock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready =
            ::poll(&entry, 1, int(std::min<std::chrono::milliseconds::rep>(left.count(), INT_MAX - 1)) + 1);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

template <typename Byte, typename Transfer>
bool transferAll(int fd, Byte* data, std::size_t size, short events, SocketClock::time_point deadline,
                 Transfer transfer)
{
    while (size > 0) {
        const ssize_t moved = transfer(fd, data, size);
        if (moved > 0) {
            data += moved;
            size -= std::size_t(moved);
        } else if (moved < 0 && errno == EINTR) {
        } else if (moved < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, events, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool sendAll(int fd, const char* data, std::size_t size, SocketClock::time_point deadline)
{
    return transferAll(fd, data, size, POLLOUT, deadline, [](int to, const char* bytes, std::size_t count) {
        return ::send(to, bytes, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    });
}

bool receiveAll(int fd, char* data, std::size_t size, SocketClock::time_point deadline)
{
    return transferAll(fd, data, size, POLLIN, deadline, [](int from, char* bytes, std::size_t count) {
        return ::recv(from, bytes, count, MSG_DONTWAIT);
    });
}

} // namespace kb::platform
