#include "ByteWriter.h"

#include <cstring>

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
