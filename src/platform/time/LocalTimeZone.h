#pragma once

namespace quillory::platform {

// With TZ unset, the C library looks at /etc/localtime again on every conversion to local time
// (a file system call for each message's time stamp). Naming that file in TZ lets it read the
// zone once. Call at the start of main(), before any thread starts; a TZ already set is kept.
void pinLocalTimeZone();

} // namespace quillory::platform
