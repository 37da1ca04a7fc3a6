#pragma once

namespace kb::platform {

// Closes the metafile helper in for the rest of its life: a memory and a
// processor-time limit, no core file, and a system-call filter under which
// no file can be opened, no socket made and no process or program started.
// Everything the helper needs from files must be loaded before. False when
// the system refuses any of it: the helper then must not draw at all.
bool enterMetafileSandbox();

// Whether the helper has used so much of its processor time that the next
// picture might be cut short: it then retires after its reply.
bool metafileHelperWornOut();

} // namespace kb::platform
