#pragma once

#include <string>

namespace quillory::dbase {

// The two table variants the program keeps: dBASE IV with a .dbt memo file (the transfer log)
// and Visual FoxPro with a .fpt memo file (the sent-data table).
enum class Format { DBase4, VisualFoxPro };

// Character fields hold fixed-width bytes padded with blanks; memo fields hold any number of
// bytes in the memo file. Tables with other field types are refused when opened.
enum class FieldType { Character, Memo };

struct Field {
    std::string name; // at most 10 bytes
    FieldType type = FieldType::Character;
    int width = 0; // character fields: 1 to 254; memo fields: set by the format
};

// Shared: other openers may read and append at the same time. Exclusive: fails while anyone else
// has the table open, and keeps others out until closed; needed to empty or pack a table.
enum class Access { Shared, Exclusive };

// What a finished write survives. ProcessCrash keeps the table sound when the program dies at any
// point; PowerLoss also flushes each step to disk before the next one, at the cost of a few disk
// syncs per write.
enum class Durability { ProcessCrash, PowerLoss };

} // namespace quillory::dbase
