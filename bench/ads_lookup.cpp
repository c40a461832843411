// ads_lookup [ROWS]: the cost of keyed access to a large Advantage table. Writes a table of ROWS
// patients (default 1,000,000) with a "Chart Number" char(8) key, then measures the index build
// (the first find), the memory it takes, one find()+read(), an SQL equality lookup and an SQL
// full scan.
#include "platform/ads/AdtTable.h"
#include "platform/ads/AdtWriter.h"
#include "platform/ads/Connection.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

using namespace quillory::ads;

namespace {

// Wall-clock and CPU seconds since it was made; CPU time is steadier on a busy machine.
struct Timer {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    double wallSeconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    }
    double cpuSeconds() const { return double(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

void report(const char* what, const Timer& timer, double per, const char* unit, double scale) {
    std::printf("%-26s %9.3f %s wall, %9.3f %s CPU\n", what, timer.wallSeconds() / per * scale,
                unit, timer.cpuSeconds() / per * scale, unit);
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

std::string chartNumber(std::uint32_t i) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "C%07u", i);
    return buffer;
}

void writePatients(const std::string& path, std::uint32_t rows) {
    AdtWriter writer(path, {{"Chart Number", FieldType::Character, 8},
                            {"Last Name", FieldType::Character, 30},
                            {"Patient Type", FieldType::Character, 10},
                            {"Date Modified", FieldType::Timestamp}});
    for (std::uint32_t i = 0; i < rows; ++i)
        writer.append({Value::ofText(chartNumber(i)), Value::ofText("Name " + std::to_string(i)),
                       Value::ofText("Patient"),
                       Value::ofTimestamp({2011, 1 + int(i % 12), 1 + int(i % 28), 8, 0, 0})});
    writer.finish();
}

} // namespace

int main(int argc, char** argv) {
    const std::uint32_t rows = argc > 1 ? std::uint32_t(std::stoul(argv[1])) : 1'000'000;
    const auto folder = std::filesystem::temp_directory_path() / "quillory-ads-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "mwpat.adt").string();

    Timer timer;
    writePatients(path, rows);
    report("write the table (s)", timer, 1, "s", 1);
    std::printf("%-26s %9.1f MB\n", "table file", double(std::filesystem::file_size(path)) / 1e6);

    AdtTable table(path);
    const int field = table.requireField("Chart Number");
    std::vector<std::uint32_t> slots;
    const long before = residentBytes();
    timer = Timer();
    table.find(field, chartNumber(0), true, slots);
    report("index build (first find)", timer, 1, "s", 1);
    std::printf("%-26s %9.1f bytes/row\n", "index memory", double(residentBytes() - before) / rows);

    std::mt19937 random(42);
    const int lookups = 200'000;
    Record record;
    std::size_t found = 0;
    timer = Timer();
    for (int i = 0; i < lookups; ++i)
        table.read(random() % rows, record);
    report("read() alone", timer, lookups, "us", 1e6);
    timer = Timer();
    for (int i = 0; i < lookups; ++i) {
        table.find(field, chartNumber(random() % rows), false, slots);
        for (const std::uint32_t slot : slots)
            found += table.read(slot, record) ? 1 : 0;
    }
    report("find()+read()", timer, lookups, "us", 1e6);

    Connection connection;
    connection.connect(folder.string());
    Query query(connection);
    const int sqlLookups = 20'000;
    timer = Timer();
    for (int i = 0; i < sqlLookups; ++i) {
        query.open("SELECT \"Last Name\" FROM mwpat WHERE \"Chart Number\" = '" +
                   chartNumber(random() % rows) + "'");
        found += query.eof() ? 0 : 1;
    }
    report("SQL equality lookup", timer, sqlLookups, "us", 1e6);

    timer = Timer();
    query.open("SELECT COUNT(*) AS n FROM mwpat WHERE \"Patient Type\" = 'Patient' AND "
               "\"Date Modified\" >= '2011-06-01 00:00:00'");
    report("SQL scan of all rows", timer, 1, "s", 1);
    std::printf("(%zu lookups found, %s rows matched the scan)\n", found, query.text("n").c_str());
    query.close();
    if (!std::getenv("KEEP"))
        std::filesystem::remove_all(folder);
    return 0;
}
