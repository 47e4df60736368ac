#include "ByteWriter.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

void TByteWriter::U16(uint16_t v) {
    Bytes.push_back(static_cast<uint8_t>(v));
    Bytes.push_back(static_cast<uint8_t>(v >> 8));
}

void TByteWriter::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i)
        Bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void TByteWriter::F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
}

void TByteWriter::ZString(const std::string& s) {
    Raw(s.data(), s.size());
    U8(0);
}

void TByteWriter::Raw(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    Bytes.insert(Bytes.end(), p, p + count);
}

void TByteWriter::PatchU32(size_t position, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        Bytes[position + size_t(i)] = static_cast<uint8_t>(v >> (8 * i));
}

bool WriteFileAtomic(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::filesystem::path path(fileName);
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    std::string temporary = fileName + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
