#include "settings/SettingsFile.h"

#include "core/Error.h"
#include "core/IniText.h"
#include "platform/files/WholeFile.h"

#include <filesystem>
#include <mutex>

namespace quillory {
namespace {

// Serialises read-modify-write cycles of this process, so two threads writing different keys
// at once cannot lose one of the two.
std::mutex writeMutex;

std::optional<std::string> readValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    const platform::WholeFileRead file = platform::readWholeFile(path);
    if (file.status != platform::WholeFileRead::Status::Read)
        return std::nullopt;
    return iniReadValue(file.bytes, section, key);
}

[[noreturn]] void throwUnableToWrite(const std::string& path) {
    std::error_code error;
    const auto full = std::filesystem::absolute(path, error);
    throw Error("Unable to write to " + (error ? path : full.string()));
}

} // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    return readValue(path_, section, key).value_or(std::string(def));
}

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    std::lock_guard lock(writeMutex);
    const platform::WholeFileRead file = platform::readWholeFile(path_);
    // A file that is there but cannot be read must not be replaced by one holding a single key.
    if (file.status == platform::WholeFileRead::Status::Failed)
        throwUnableToWrite(path_);
    const std::string updated = iniWriteValue(file.bytes, section, key, value);
    if (!platform::replaceWholeFile(path_, updated))
        throwUnableToWrite(path_);
}

LocalDateTime SettingsFile::ReadDateTime(std::string_view section, std::string_view key,
                                         LocalDateTime def) const {
    const std::optional<std::string> text = readValue(path_, section, key);
    if (!text)
        return def;
    return parseSettingsDateTime(*text).value_or(LocalDateTime::zero());
}

void SettingsFile::WriteDateTime(std::string_view section, std::string_view key,
                                 LocalDateTime value) {
    WriteString(section, key, formatSettingsDateTime(value));
}

} // namespace quillory
