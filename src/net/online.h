#pragma once

namespace zorbin::net {

// Whether the computer is on line, as the system's network information reports it. Only a
// definite "disconnected" counts as off line: without a network information backend, or
// when the state is unknown, the answer is true and the bounded fetch decides.
bool isOnLine();

} // namespace zorbin::net
