#include "cli/Arguments.h"
#include "cli/Commands.h"

#include "platform/ads/AdtTable.h"

namespace quillory::cli {

namespace {

// RFC 4180: a value with a comma, a quote or a line break goes in quotes, quotes doubled.
void writeCsvValue(std::ostream& out, const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        out << value;
        return;
    }
    out << '"';
    for (char c : value) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

void writeCsvLine(std::ostream& out, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out << ',';
        writeCsvValue(out, values[i]);
    }
    out << "\r\n";
}

} // namespace

int tableCommand(const Invocation& call) {
    const Arguments args(call.args, {}, 1);
    const ads::AdtTable table(args.positional(0));
    std::vector<std::string> values;
    for (const ads::FieldDef& field : table.fields())
        values.push_back(field.name);
    writeCsvLine(call.env.out, values);
    ads::Record record;
    for (std::uint32_t slot = 0; slot < table.slotCount(); ++slot) {
        if (!table.read(slot, record))
            continue;
        for (std::size_t f = 0; f < values.size(); ++f)
            values[f] = record.text(static_cast<int>(f));
        writeCsvLine(call.env.out, values);
    }
    return call.env.out.flush() ? Success : Failure;
}

} // namespace quillory::cli
