#include "platform/dbase/MemoFile.h"

#include "core/Error.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace quillory::dbase {

namespace {

constexpr std::uint32_t kDBase4BlockSize = 512;
constexpr std::uint32_t kFoxProBlockSize = 64;
constexpr std::size_t kBlockHeader = 8;
const std::string kDBase4Marker("\xFF\xFF\x08\x00", 4);
constexpr std::uint32_t kFoxProText = 1;
// dbfread reads 8 bytes past the end of a dBASE IV memo and cuts what it got at this byte.
// Our reader goes by the stored length alone.
constexpr char kDBase4Terminator = 0x1F;

std::uint32_t readInt(std::string_view bytes, std::size_t at, int size, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        const int index = bigEndian ? i : size - 1 - i;
        value = value << 8 | static_cast<unsigned char>(bytes[at + index]);
    }
    return value;
}

void putInt(std::string& bytes, std::size_t at, std::uint32_t value, int size, bool bigEndian) {
    for (int i = 0; i < size; ++i) {
        const int index = bigEndian ? size - 1 - i : i;
        bytes[at + index] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

} // namespace

MemoFile::MemoFile(std::string path, Format format, PosixFile::Mode mode)
    : file_(std::move(path), mode), format_(format) {
    if (file_.size() < kHeaderSize)
        throw Error(file_.path() + ": the memo file header is incomplete");
    const std::string header = file_.read(0, kHeaderSize);
    if (format_ == Format::DBase4) {
        blockSize_ = readInt(header, 20, 2, false);
        if (blockSize_ == 0) // dBASE III left it out; its blocks are 512 bytes
            blockSize_ = kDBase4BlockSize;
    } else {
        blockSize_ = readInt(header, 6, 2, true);
    }
    if (blockSize_ == 0)
        throw Error(file_.path() + ": the memo file gives a block size of 0");
}

std::string MemoFile::emptyFile(Format format, std::string_view tableName) {
    std::string header(kHeaderSize, '\0');
    if (format == Format::DBase4) {
        putInt(header, 0, 1, 4, false);
        std::string name(tableName.substr(0, 8));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        header.replace(8, name.size(), name);
        putInt(header, 20, kDBase4BlockSize, 2, false);
    } else {
        putInt(header, 0, kHeaderSize / kFoxProBlockSize, 4, true);
        putInt(header, 6, kFoxProBlockSize, 2, true);
    }
    return header;
}

std::string MemoFile::pathFor(const std::string& tablePath, Format format) {
    const std::size_t slash = tablePath.rfind('/');
    std::size_t dot = tablePath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = tablePath.size();
    const std::string stem = tablePath.substr(0, dot);
    const bool upperCase =
        dot + 1 < tablePath.size() && std::isupper(static_cast<unsigned char>(tablePath[dot + 1]));
    const std::string lower = format == Format::DBase4 ? ".dbt" : ".fpt";
    const std::string upper = format == Format::DBase4 ? ".DBT" : ".FPT";
    const std::string preferred = stem + (upperCase ? upper : lower);
    const std::string other = stem + (upperCase ? lower : upper);
    return fileExists(preferred) || !fileExists(other) ? preferred : other;
}

std::uint32_t MemoFile::firstBlock() const {
    return static_cast<std::uint32_t>((kHeaderSize + blockSize_ - 1) / blockSize_);
}

std::uint32_t MemoFile::nextFreeBlock() const {
    return readInt(file_.read(0, 4), 0, 4, format_ == Format::VisualFoxPro);
}

void MemoFile::setNextFreeBlock(std::uint32_t block) {
    std::string bytes(4, '\0');
    putInt(bytes, 0, block, 4, format_ == Format::VisualFoxPro);
    file_.write(0, bytes);
}

std::string MemoFile::read(std::uint32_t block) const {
    if (block == 0)
        return {};
    const std::string where = path() + ": memo block " + std::to_string(block);
    const std::uint64_t offset = std::uint64_t(block) * blockSize_;
    if (offset < kHeaderSize)
        throw Error(where + " lies inside the file header");
    // The file only grows, so its size is looked up again only when a memo reaches past it.
    if (offset + kBlockHeader > knownSize_)
        knownSize_ = file_.size();
    if (offset + kBlockHeader > knownSize_)
        throw Error(where + " lies past the end of the file");
    const std::string header = file_.read(offset, kBlockHeader);
    std::uint64_t length = 0;
    if (format_ == Format::DBase4) {
        if (header.compare(0, 3, kDBase4Marker, 0, 3) != 0)
            throw Error(where + " does not start a memo");
        length = readInt(header, 4, 4, false);
        if (length < kBlockHeader)
            throw Error(where + " gives an impossible length");
        length -= kBlockHeader;
    } else {
        length = readInt(header, 4, 4, true);
    }
    if (offset + kBlockHeader + length > knownSize_)
        knownSize_ = file_.size();
    if (offset + kBlockHeader + length > knownSize_)
        throw Error(where + " runs past the end of the file");
    return file_.read(offset + kBlockHeader, static_cast<std::size_t>(length));
}

std::uint32_t MemoFile::append(std::string_view data) {
    if (data.empty())
        return 0;
    if (data.size() > 0xFFFFFFFFu - kBlockHeader)
        throw Error(path() + ": a memo of " + std::to_string(data.size()) + " bytes is too long");
    const bool dbase = format_ == Format::DBase4;
    std::string bytes(kBlockHeader, '\0');
    if (dbase) {
        bytes.replace(0, 4, kDBase4Marker);
        putInt(bytes, 4, static_cast<std::uint32_t>(data.size() + kBlockHeader), 4, false);
    } else {
        putInt(bytes, 0, kFoxProText, 4, true);
        putInt(bytes, 4, static_cast<std::uint32_t>(data.size()), 4, true);
    }
    bytes.append(data);
    if (dbase)
        bytes.push_back(kDBase4Terminator);
    bytes.resize((bytes.size() + blockSize_ - 1) / blockSize_ * blockSize_, '\0');

    // A damaged header must never make a memo overwrite the header itself.
    const std::uint32_t block = std::max(nextFreeBlock(), firstBlock());
    const std::uint64_t next = std::uint64_t(block) + bytes.size() / blockSize_;
    if (next > 0xFFFFFFFFu)
        throw Error(path() + ": the memo file is full");
    file_.write(std::uint64_t(block) * blockSize_, bytes);
    setNextFreeBlock(static_cast<std::uint32_t>(next));
    return block;
}

void MemoFile::reset() {
    setNextFreeBlock(firstBlock());
    knownSize_ = std::uint64_t(firstBlock()) * blockSize_;
    file_.truncate(knownSize_);
}

} // namespace quillory::dbase
