#include "platform/ads/AdtWriter.h"

#include "core/Error.h"
#include "platform/ads/FieldEncoder.h"
#include "platform/ads/KeyIndex.h"
#include "platform/ads/LittleEndian.h"
#include "platform/ads/MemoFile.h"
#include "platform/ads/TableLayout.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace quillory::ads {
namespace {

constexpr std::size_t kFlushBytes = 1 << 20;
constexpr std::uint32_t kMemoBlockSize = 8;
constexpr std::uint32_t kMemoHeaderSize = 512; // the engine's own files start memos further in

// A file written through a buffer; failures throw naming the file.
class OutputFile {
public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0)
            fail("cannot be created");
    }
    ~OutputFile() { close(); }

    void append(const char* data, std::size_t size) {
        buffer_.append(data, size);
        written_ += size;
        if (buffer_.size() >= kFlushBytes)
            flush();
    }
    std::uint64_t size() const { return written_; }

    void writeAt(std::uint64_t offset, const char* data, std::size_t size) {
        flush();
        if (::pwrite(fd_, data, size, off_t(offset)) != ssize_t(size))
            fail("cannot be written");
    }

    void finish() {
        flush();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            fail("cannot be written");
    }

    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    void flush() {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("cannot be written");
            done += std::size_t(n);
        }
        buffer_.clear();
    }

    [[noreturn]] void fail(const char* what) {
        throw Error(path_ + " " + what + ": " + std::strerror(errno));
    }

    std::string path_;
    int fd_ = -1;
    std::string buffer_;
    std::uint64_t written_ = 0;
};

std::vector<FieldDef> layOut(const std::vector<FieldSpec>& specs, std::uint32_t& recordLength) {
    if (specs.empty() || specs.size() > 0xFFFF)
        throw Error("A table needs between 1 and 65535 fields.");
    std::vector<FieldDef> fields;
    std::uint64_t offset = header::kRecordPrefix;
    for (const FieldSpec& wanted : specs) {
        if (wanted.name.empty() || wanted.name.size() >= header::kNameSize ||
            wanted.name.find('\0') != std::string::npos)
            throw Error("The field name \"" + wanted.name + "\" is empty or too long.");
        if (!isKnownFieldType(std::uint16_t(wanted.type)))
            throw Error("field \"" + wanted.name + "\" has an unknown type " +
                        std::to_string(int(wanted.type)));
        const std::uint16_t fixed = fixedFieldSize(wanted.type);
        const std::uint16_t length =
            fixed != 0 ? (wanted.type == FieldType::Memo || wanted.type == FieldType::Binary ||
                                  wanted.type == FieldType::Image
                              ? 9
                              : fixed)
                       : wanted.length;
        if (length == 0)
            throw Error("field \"" + wanted.name + "\" needs a length.");
        fields.push_back(
            {wanted.name, wanted.type, std::uint32_t(offset), length, wanted.decimals});
        offset += length;
    }
    if (offset > header::kMaxRecordLength)
        throw Error("The records of this table would be too long.");
    recordLength = std::uint32_t(offset);
    return fields;
}

std::string headerBytes(const std::vector<FieldDef>& fields, std::uint32_t recordLength) {
    std::string bytes(header::kSize + fields.size() * header::kDescriptorSize, '\0');
    char* h = bytes.data();
    std::memcpy(h, header::kSignature, sizeof header::kSignature);
    writeLe32(h + 0x14, 1); // as in the engine's own files
    writeLe32(h + header::kFirstRecordAt, std::uint32_t(bytes.size()));
    writeLe32(h + header::kRecordLengthAt, recordLength);
    writeLe16(h + 0x164, 4); // as in the engine's own files
    writeLe16(h + header::kFieldCountAt, std::uint16_t(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        char* d = h + header::kSize + i * header::kDescriptorSize;
        std::memcpy(d, fields[i].name.data(), fields[i].name.size());
        writeLe16(d + header::kTypeAt, std::uint16_t(fields[i].type));
        writeLe32(d + header::kOffsetAt, fields[i].offset);
        writeLe16(d + header::kLengthAt, fields[i].length);
        writeLe16(d + header::kDecimalsAt, fields[i].decimals);
    }
    return bytes;
}

} // namespace

struct AdtWriter::Impl {
    std::string path;
    std::vector<FieldDef> fields;
    std::uint32_t recordLength = 0;
    std::unique_ptr<OutputFile> table;
    std::unique_ptr<OutputFile> memo;
    std::uint64_t records = 0;
    std::vector<std::int64_t> lastNumber; // autoincrement and row version fields
    std::string record;
    bool finished = false;

    std::uint32_t storeMemo(const std::string& bytes) {
        const std::uint64_t block = memo->size() / kMemoBlockSize;
        if (block > std::numeric_limits<std::uint32_t>::max())
            throw Error(memoPathFor(path) + " is full.");
        memo->append(bytes.data(), bytes.size());
        static const char padding[kMemoBlockSize] = {};
        memo->append(padding, (kMemoBlockSize - bytes.size() % kMemoBlockSize) % kMemoBlockSize);
        return std::uint32_t(block);
    }

    // Null autoincrement and row version fields are numbered as the engine would.
    Value numbered(std::size_t i, const Value& value) {
        const FieldType type = fields[i].type;
        if (type != FieldType::AutoIncrement && type != FieldType::RowVersion)
            return value;
        if (value.isNull())
            return Value::ofInteger(++lastNumber[i]);
        lastNumber[i] = std::max(lastNumber[i], value.integer);
        return value;
    }
};

AdtWriter::AdtWriter(std::string path, std::vector<FieldSpec> fields)
    : d(std::make_unique<Impl>()) {
    d->path = std::move(path);
    d->fields = layOut(fields, d->recordLength);
    d->lastNumber.assign(d->fields.size(), 0);
    d->record.resize(d->recordLength);
    d->table = std::make_unique<OutputFile>(d->path);
    const std::string head = headerBytes(d->fields, d->recordLength);
    d->table->append(head.data(), head.size());
    bool hasMemo = false;
    for (const FieldDef& field : d->fields)
        hasMemo = hasMemo || isMemoType(field.type);
    const std::string memoPath = memoPathFor(d->path);
    if (!hasMemo) {
        ::unlink(memoPath.c_str()); // a memo file left from the table this one replaces
        return;
    }
    d->memo = std::make_unique<OutputFile>(memoPath);
    std::string memoHead(kMemoHeaderSize, '\0');
    writeBe32(memoHead.data() + 4, kMemoBlockSize);
    d->memo->append(memoHead.data(), memoHead.size());
}

AdtWriter::~AdtWriter() {
    try {
        finish();
    } catch (...) {
        // The destructor must not throw; a caller that cares calls finish() itself.
    }
}

int AdtWriter::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < d->fields.size(); ++i) {
        if (equalsIgnoringCase(d->fields[i].name, name))
            return int(i);
    }
    return -1;
}

void AdtWriter::append(const std::vector<Value>& values, bool deleted) {
    if (d->finished)
        throw Error(d->path + " is already finished.");
    if (values.size() != d->fields.size())
        throw Error(d->path + ": a record needs " + std::to_string(d->fields.size()) +
                    " values, not " + std::to_string(values.size()) + ".");
    if (d->records == std::numeric_limits<std::uint32_t>::max())
        throw Error(d->path + " cannot hold more records.");
    char* record = d->record.data();
    std::memset(record, 0, header::kRecordPrefix);
    record[0] = deleted ? 0x05 : 0x04;
    const MemoStore store = [this](const std::string& bytes) { return d->storeMemo(bytes); };
    for (std::size_t i = 0; i < d->fields.size(); ++i) {
        const FieldDef& field = d->fields[i];
        try {
            encodeField(field, d->numbered(i, values[i]), record + field.offset, store);
        } catch (const Error& e) {
            throw Error(d->path + ", record " + std::to_string(d->records + 1) + ": " + e.what());
        }
    }
    d->table->append(record, d->recordLength);
    ++d->records;
}

void AdtWriter::finish() {
    if (d->finished)
        return;
    d->finished = true;
    char count[4];
    writeLe32(count, std::uint32_t(d->records));
    d->table->writeAt(header::kRecordCountAt, count, sizeof count);
    d->table->finish();
    if (d->memo) {
        char next[4];
        writeBe32(next, std::uint32_t(d->memo->size() / kMemoBlockSize));
        d->memo->writeAt(0, next, sizeof next);
        d->memo->finish();
    }
}

} // namespace quillory::ads
