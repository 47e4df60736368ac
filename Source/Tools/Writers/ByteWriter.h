// TByteWriter: little-endian binary output into a byte buffer. Files are written whole with
// WriteFileAtomic (uAtomicFile.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TByteWriter {
  public:
    void U8(uint8_t v) { Bytes.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v);
    void ZString(const std::string& s);
    void Raw(const void* data, size_t count);
    // Writes a 32-bit value at an earlier position (chunk lengths known only at the end).
    void PatchU32(size_t position, uint32_t v);
    size_t Size() const { return Bytes.size(); }

    std::vector<uint8_t> Bytes;
};
