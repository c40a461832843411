#pragma once

#include <cstdint>
#include <string>

namespace quillory::ads {

class AdtTable;
class Record;

// Walks the live records of a table in slot order, reading many records per system call.
class RecordScanner {
public:
    explicit RecordScanner(const AdtTable& table);
    // Reads the next live record into record; false at the end. Throws when the file was cut
    // short while it was open.
    bool next(Record& record);

private:
    bool fill();

    const AdtTable& table_;
    std::uint32_t nextSlot_ = 0;     // first slot not yet read from the file
    std::uint32_t chunkFirst_ = 0;   // slot of the first record in chunk_
    std::uint32_t chunkRecords_ = 0; // records in chunk_
    std::uint32_t position_ = 0;     // next record of chunk_ to look at
    std::string chunk_;
};

} // namespace quillory::ads
