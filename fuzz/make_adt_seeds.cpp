// make_adt_seeds OUTDIR [TABLE.adt ...]: writes seeds for fuzz_adt_table into OUTDIR: a few
// tables made by the writer (every field type, memos, deleted records) and the given files with
// their memo files, if any.
#include "FuzzInput.h"

#include "platform/ads/AdtWriter.h"
#include "platform/ads/MemoFile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

using namespace quillory;
using namespace quillory::ads;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void emit(const std::string& outDir, const std::string& name, const std::string& tablePath) {
    const std::string memoPath = memoPathFor(tablePath);
    const std::string memo = std::filesystem::exists(memoPath) ? slurp(memoPath) : std::string();
    std::ofstream(outDir + "/" + name, std::ios::binary) << FuzzInput::join(slurp(tablePath), memo);
}

void writeAllTypes(const std::string& path) {
    AdtWriter writer(path, {{"Chart Number", FieldType::Character, 8},
                            {"Kind", FieldType::CiCharacter, 6},
                            {"Born", FieldType::Date},
                            {"Changed", FieldType::Timestamp},
                            {"At", FieldType::Time},
                            {"N", FieldType::Integer},
                            {"S", FieldType::ShortInteger},
                            {"Id", FieldType::AutoIncrement},
                            {"Ok", FieldType::Logical},
                            {"Amount", FieldType::Numeric, 8, 2},
                            {"D", FieldType::Double},
                            {"M", FieldType::Money},
                            {"Note", FieldType::Memo},
                            {"Blob", FieldType::Binary},
                            {"U", FieldType::NCharacter, 8},
                            {"V", FieldType::RowVersion},
                            {"C", FieldType::CurrencyDouble},
                            {"T", FieldType::ModTime}});
    Value time;
    time.kind = Value::Kind::Time;
    time.dateTime = {1899, 12, 30, 13, 45, 10, 250};
    Value blob = Value::ofText(std::string("\0\1\2\3", 4));
    blob.kind = Value::Kind::Bytes;
    writer.append({Value::ofText("AB001"), Value::ofText("Pat"), Value::ofDate(1970, 1, 1),
                   Value::ofTimestamp({2011, 10, 18, 15, 30, 45, 500}), time, Value::ofInteger(-7),
                   Value::ofInteger(300), Value::null(), Value::ofLogical(true),
                   Value::ofReal(12.5), Value::ofReal(0.25), Value::ofReal(19.99),
                   Value::ofText("a memo text"), blob, Value::ofText("Ü"), Value::null(),
                   Value::ofReal(3.5), Value::ofTimestamp({2020, 2, 29, 0, 0, 0, 0})});
    writer.append(std::vector<Value>(18, Value::null()));
    writer.append({Value::ofText("ab001"), Value::ofText("x"), Value::null(), Value::null(),
                   Value::null(), Value::ofInteger(1), Value::null(), Value::null(),
                   Value::ofLogical(false), Value::ofInteger(3), Value::null(), Value::null(),
                   Value::ofText(""), Value::null(), Value::null(), Value::null(), Value::null(),
                   Value::null()},
                  true);
    writer.finish();
}

void writeChartTable(const std::string& path) {
    AdtWriter writer(path, {{"Chart Number", FieldType::Character, 8},
                            {"Case Number", FieldType::Integer},
                            {"Date Modified", FieldType::Timestamp}});
    for (int i = 0; i < 20; ++i)
        writer.append({Value::ofText("CH" + std::to_string(i % 7)), Value::ofInteger(i),
                       Value::ofTimestamp({2011, 10, 1 + i, 8, i, 0, 0})},
                      i % 5 == 4);
    writer.finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: make_adt_seeds OUTDIR [TABLE.adt ...]\n";
        return 2;
    }
    const std::string outDir = argv[1];
    std::filesystem::create_directories(outDir);
    const std::string work = outDir + "/.work";
    std::filesystem::create_directories(work);
    try {
        writeAllTypes(work + "/alltypes.adt");
        writeChartTable(work + "/charts.adt");
        emit(outDir, "writer-alltypes", work + "/alltypes.adt");
        emit(outDir, "writer-charts", work + "/charts.adt");
        for (int i = 2; i < argc; ++i)
            emit(outDir, "sample-" + std::filesystem::path(argv[i]).filename().string(), argv[i]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::filesystem::remove_all(work);
    return 0;
}
