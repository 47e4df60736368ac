// TByteReader: a checked little-endian reader over bytes already in memory. Every read is checked
// against the bytes left, so a truncated or corrupt file fails with a message, never an overrun.
#pragma once

#include "uErrors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Raised when a read would pass the end of the data; the message names the file and the field.
class EReadError : public Exception {
  public:
    using Exception::Exception;
};

class TByteReader {
  public:
    TByteReader(const uint8_t* data, size_t size, std::string name)
        : Data(data), Size(size), Pos(0), Name(std::move(name)) {}

    size_t Position() const { return Pos; }
    size_t Remaining() const { return Size - Pos; }
    const std::string& FileName() const { return Name; }

    uint8_t U8(const char* what);
    uint16_t U16(const char* what);
    uint32_t U32(const char* what);
    int32_t I32(const char* what) { return static_cast<int32_t>(U32(what)); }
    float F32(const char* what);
    uint64_t U64(const char* what);
    double F64(const char* what);
    bool Bool(const char* what) { return U8(what) != 0; }
    // A 32-bit length and that many bytes, as TByteWriter::String writes them.
    std::string String(const char* what);
    // A zero-terminated string; at most maxKept characters are kept, the rest is consumed.
    std::string ZString(const char* what, size_t maxKept = 255);
    // A Pascal short string: one length byte then a fixed field of `fieldSize` bytes; a length
    // longer than the field is an error.
    std::string ShortString(const char* what, size_t fieldSize = 255);
    void Bytes(void* out, size_t count, const char* what);
    void Skip(size_t count, const char* what);
    void Seek(size_t position, const char* what);

  private:
    void Need(size_t count, const char* what) const;

    const uint8_t* Data;
    size_t Size;
    size_t Pos;
    std::string Name;
};

// The whole file as bytes; false when it is no regular file or cannot be opened or read.
bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes);
bool FileExists(const std::string& fileName);
