#pragma once

#include <cstdint>

namespace kb::platform::metafileProtocol {

// What the program and its metafile helper say to each other over the socket
// the helper finds open as this descriptor. Both ends are the same build on
// the same machine, so the messages are plain structures in its byte order.
constexpr int helperSocket = 3;

// The byte the helper sends once it has loaded everything and is sandboxed.
constexpr char ready = 'R';

enum Format : std::uint32_t { windowsMetafile = 1, enhancedMetafile = 2 };

// Followed by size bytes of the file.
struct Request {
    std::uint32_t format;
    // The device pixel ratio to draw at, in thousandths.
    std::uint32_t ratio;
    std::uint64_t size;
};

inline std::uint32_t ratioToWire(double ratio)
{
    return std::uint32_t(ratio * 1000 + 0.5);
}

inline double ratioFromWire(std::uint32_t ratio)
{
    return ratio / 1000.0;
}

// A fixed set, so that even a subverted helper can only pick among the texts
// the program would show anyway.
enum Outcome : std::uint32_t { picture = 0, notValid = 1, outOfMemory = 2, playerDidNotStart = 3 };

// A picture is followed by width x height premultiplied ARGB32 pixels, row by
// row. A retiring helper exits after this reply, having used most of its
// processor time.
struct Reply {
    std::uint32_t outcome;
    std::uint32_t retiring;
    std::uint32_t width;
    std::uint32_t height;
    // The ratio drawn at: the one asked for, or less for a picture that
    // would be larger than the limit at it.
    std::uint32_t ratio;
    std::uint32_t unused;
};

} // namespace kb::platform::metafileProtocol
