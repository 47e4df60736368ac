#include "sprites/SymbolSprite.h"
#include "Resources.h"
#include "uErrors.h"

#include <string>

namespace {

uint32_t SymbolTexture(uint8_t kind) {
    static const char* const names[6] = {"symbol_fuel",    "symbol_damage", "symbol_time",
                                         "symbol_targets", "symbol_load",   "symbol_fragile"};
    if (kind > 5)
        throw ERangeError("Symbol kind " + std::to_string(kind) + " out of range 0..5");
    return Resources().GetTexture(names[kind]);
}

} // namespace

TSymbolSprite::TSymbolSprite(TSpriteHost& host, uint8_t kind)
    : TSprite(SymbolTexture(kind), 0, 0, 32, 32, 255), Host(host), Kind(kind) {}

void TSymbolSprite::Update() {
    ++Count;
}

void TSymbolSprite::SetSlot(int32_t i) {
    X = 590 - 50 * i;
    Y = 440;
}
