#pragma once

#include <cstdint>

namespace quillory::platform {

// Closes a socket descriptor that no Qt object took over (an accepted connection that a socket
// could not adopt), so that it does not stay open for the life of the program.
void closeSocketDescriptor(std::intptr_t descriptor);

} // namespace quillory::platform
