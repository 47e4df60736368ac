// TByteWriter: the counterpart of TByteReader for bytes kept in memory (a snapshot of the world):
// little-endian values appended to a growing buffer, with marks where its sections begin.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the snapshot bytes are written as they lie in memory");

class TByteWriter {
  public:
    void U8(uint8_t v) { Bytes.push_back(v); }
    void Bool(bool v) { Bytes.push_back(v ? 1 : 0); }
    void U32(uint32_t v) { Raw(&v, sizeof v); }
    void I32(int32_t v) { Raw(&v, sizeof v); }
    void U64(uint64_t v) { Raw(&v, sizeof v); }
    void F32(float v) { Raw(&v, sizeof v); }
    void F64(double v) { Raw(&v, sizeof v); }
    // A length (32 bits) and the bytes.
    void String(const std::string& s) {
        U32(uint32_t(s.size()));
        Raw(s.data(), s.size());
    }
    void Raw(const void* data, size_t count) {
        size_t at = Bytes.size();
        Bytes.resize(at + count);
        if (count)
            std::memcpy(Bytes.data() + at, data, count);
    }
    // A name the graphics driver gave (a display list): kept to restore, but the same world drawn in
    // a window or run headless carries other names, so digests leave these bytes out.
    void Handle(uint32_t v) {
        Handles.push_back(Bytes.size());
        U32(v);
    }
    size_t Size() const { return Bytes.size(); }
    void Clear() {
        Bytes.clear();
        Handles.clear();
    }

    std::vector<uint8_t> Bytes;
    std::vector<size_t> Handles; // where each Handle's four bytes begin
};

// 64-bit FNV-1a of a run of bytes, from the standard offset basis or on from an earlier digest.
constexpr uint64_t FnvOffsetBasis = 14695981039346656037ull;
uint64_t Fnv1a(const uint8_t* data, size_t count, uint64_t digest = FnvOffsetBasis);
