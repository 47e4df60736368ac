// Texts inside the game are Windows-1250 bytes (the fonts index their glyphs by that byte); source
// files are UTF-8. These helpers convert between the two and upper-case Czech text correctly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The Unicode code point of a Windows-1250 byte; 0 for the five bytes the code page leaves undefined.
uint32_t Cp1250ToUnicode(uint8_t byte);
// The Windows-1250 byte of a code point, or 0 when the code page has none.
uint8_t UnicodeToCp1250(uint32_t codePoint);
// UTF-8 to Windows-1250; characters without a byte (and malformed UTF-8) become '?'.
std::string Utf8ToCp1250(std::string_view utf8);
// Windows-1250 to UTF-8 (for messages shown outside the game window).
std::string Cp1250ToUtf8(std::string_view text);
// Upper case of Windows-1250 text: a-z and every accented letter with an upper-case form in the code
// page (á -> Á, č -> Č, ř -> Ř, ů -> Ů ...); ß and other letters without one stay as they are.
std::string UpperCp1250(std::string_view text);
