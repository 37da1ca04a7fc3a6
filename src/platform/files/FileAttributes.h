#pragma once

namespace kb::platform {

// Gives the open file to what the open file from carries besides its bytes,
// owner and mode: its extended attributes of every namespace that can be
// read (POSIX ACLs, user.*, trusted.*, security.*) and its inode flags.
// False when any of it cannot be given (not permitted, not supported, or an
// immutable or append-only file, which a new file must not replace): the
// caller then rewrites the old file in place instead, so that access never
// widens and nothing is dropped.
bool copyFileAttributes(int from, int to);

} // namespace kb::platform
