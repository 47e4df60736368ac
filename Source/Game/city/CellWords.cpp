#include "city/CellWords.h"

#include "uErrors.h"

TCellWords TCellWords::FromBytes(const uint8_t* block, size_t size) {
    if (size != size_t(MapCells) * MapCells * 4)
        throw ERangeError("Cell word block of " + std::to_string(size) + " bytes, expected " +
                          std::to_string(size_t(MapCells) * MapCells * 4));
    TCellWords words;
    for (size_t i = 0; i < words.Words.size(); ++i) {
        const uint8_t* b = block + i * 4;
        words.Words[i] = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                              uint32_t(b[3]) << 24);
    }
    return words;
}
