#pragma once

#include "platform/ads/ByteSource.h"

#include <memory>

namespace quillory::ads {

// Keeps recently read blocks of source in memory, up to budget bytes. Building one message reads
// a dozen records scattered over five tables; one system call each costs more than the message.
// Blocks read short (at the end of the file) are read again when more is asked of them, so a
// file that grows is still seen.
std::unique_ptr<ByteSource> cachedSource(std::unique_ptr<ByteSource> source, std::size_t budget);

} // namespace quillory::ads
