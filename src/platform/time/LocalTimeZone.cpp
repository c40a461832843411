#include "platform/time/LocalTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace quillory::platform {

void pinLocalTimeZone() {
    if (std::getenv("TZ") != nullptr || ::access("/etc/localtime", R_OK) != 0)
        return;
    ::setenv("TZ", ":/etc/localtime", 0);
    ::tzset();
}

} // namespace quillory::platform
