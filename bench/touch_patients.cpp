// Changes the address of every Nth patient of a practice and stamps it as modified now, the way
// a day's work at the front desk would, so that the next cycle has something to send.
//
//   touch_patients PRACTICE_DIR EVERY_NTH
#include "core/Clock.h"
#include "platform/ads/AdtTable.h"
#include "platform/ads/AdtWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace quillory;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PRACTICE_DIR EVERY_NTH\n", argv[0]);
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/mwpat.adt";
    const long every = std::atol(argv[2]);
    long touched = 0;
    {
        const ads::AdtTable table(path);
        std::vector<ads::FieldSpec> specs;
        for (const ads::FieldDef& f : table.fields())
            specs.push_back({f.name, f.type, f.length, f.decimals});
        ads::AdtWriter writer(path + ".new", specs);
        const int street = table.requireField("Street 1");
        const int modified = table.requireField("Date Modified");
        const LocalDateTime now = SystemClock().now();
        ads::Record record;
        std::vector<ads::Value> values(specs.size());
        for (std::uint32_t slot = 0; slot < table.slotCount(); ++slot) {
            if (!table.read(slot, record))
                continue;
            for (std::size_t f = 0; f < specs.size(); ++f)
                values[f] = record.value(static_cast<int>(f));
            if (slot % every == 0) {
                values[street] = ads::Value::ofText("1 CHANGED ST");
                values[modified] = ads::Value::ofTimestamp(now);
                ++touched;
            }
            writer.append(values);
        }
        writer.finish();
    }
    std::filesystem::rename(path + ".new", path);
    std::printf("touched %ld patients\n", touched);
    return 0;
}
