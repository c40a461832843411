#include "platform/net/SocketDescriptor.h"

#include <unistd.h>

namespace quillory::platform {

void closeSocketDescriptor(std::intptr_t descriptor) {
    ::close(static_cast<int>(descriptor));
}

} // namespace quillory::platform
