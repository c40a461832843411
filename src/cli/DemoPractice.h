#pragma once

#include <cstdint>
#include <string>

namespace quillory::cli {

struct DemoOptions {
    std::string rootDir; // Medisoft's root data folder, created when missing
    long long patients = 200;
    std::uint64_t seed = 1;
};

struct DemoSummary {
    std::string practiceDir;
    long long patients = 0, cases = 0, carriers = 0, employers = 0;
};

// Writes a demo Medisoft installation with one practice, the same for the same options. Its data
// looks like a real practice's and reaches every branch of the message builder: missing and
// dangling keys, empty slots between filled ones, null and empty values, HL7 delimiters and
// Windows-1252 bytes inside values. Throws quillory::Error.
DemoSummary createDemoPractice(const DemoOptions& options);

} // namespace quillory::cli
