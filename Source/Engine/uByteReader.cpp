#include "uByteReader.h"
#include "uByteWriter.h"

#include <cstring>
#include <fstream>
#include <sys/stat.h>

void TByteReader::Need(size_t count, const char* what) const {
    if (count > Size - Pos)
        throw EReadError(Name + ": unexpected end of data reading " + what + " at byte " + std::to_string(Pos) +
                         " (" + std::to_string(count) + " bytes needed, " + std::to_string(Size - Pos) + " left)");
}

uint8_t TByteReader::U8(const char* what) {
    Need(1, what);
    return Data[Pos++];
}

uint16_t TByteReader::U16(const char* what) {
    Need(2, what);
    uint16_t v = static_cast<uint16_t>(Data[Pos] | (Data[Pos + 1] << 8));
    Pos += 2;
    return v;
}

uint32_t TByteReader::U32(const char* what) {
    Need(4, what);
    uint32_t v = static_cast<uint32_t>(Data[Pos]) | (static_cast<uint32_t>(Data[Pos + 1]) << 8) |
                 (static_cast<uint32_t>(Data[Pos + 2]) << 16) | (static_cast<uint32_t>(Data[Pos + 3]) << 24);
    Pos += 4;
    return v;
}

float TByteReader::F32(const char* what) {
    uint32_t bits = U32(what);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

uint64_t TByteReader::U64(const char* what) {
    uint64_t low = U32(what);
    return low | uint64_t(U32(what)) << 32;
}

double TByteReader::F64(const char* what) {
    uint64_t bits = U64(what);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string TByteReader::String(const char* what) {
    uint32_t length = U32(what);
    Need(length, what);
    std::string s(reinterpret_cast<const char*>(Data + Pos), length);
    Pos += length;
    return s;
}

std::string TByteReader::ZString(const char* what, size_t maxKept) {
    std::string s;
    for (;;) {
        uint8_t c = U8(what);
        if (c == 0)
            return s;
        if (s.size() < maxKept)
            s.push_back(static_cast<char>(c));
    }
}

std::string TByteReader::ShortString(const char* what, size_t fieldSize) {
    Need(fieldSize + 1, what);
    size_t length = Data[Pos];
    if (length > fieldSize)
        throw ERangeError(Name + ": " + what + " at byte " + std::to_string(Pos) + " has the length " +
                         std::to_string(length) + ", longer than its field of " + std::to_string(fieldSize) +
                         " bytes");
    std::string s(reinterpret_cast<const char*>(Data + Pos + 1), length);
    Pos += fieldSize + 1;
    return s;
}

void TByteReader::Bytes(void* out, size_t count, const char* what) {
    Need(count, what);
    std::memcpy(out, Data + Pos, count);
    Pos += count;
}

void TByteReader::Skip(size_t count, const char* what) {
    Need(count, what);
    Pos += count;
}

void TByteReader::Seek(size_t position, const char* what) {
    if (position > Size)
        throw EReadError(Name + ": " + what + " lies beyond the end of the data");
    Pos = position;
}

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes) {
    // A folder opens as a stream too, its end at the largest offset there is.
    if (!FileExists(fileName))
        return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return false;
    return true;
}

bool FileExists(const std::string& fileName) {
    struct stat st;
    return stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

uint64_t Fnv1a(const uint8_t* data, size_t count, uint64_t digest) {
    for (size_t i = 0; i < count; ++i)
        digest = (digest ^ data[i]) * 1099511628211ull;
    return digest;
}
