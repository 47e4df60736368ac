#include "uText1250.h"

namespace {

// Code points of the bytes 0x80 to 0xFF; 0 where the code page defines nothing.
const uint16_t High[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, 0,      0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Lower-case letter bytes above 0x7F and their upper-case bytes.
const uint8_t LowerUpper[][2] = {
    {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xB3, 0xA3}, {0xB9, 0xA5},
    {0xBA, 0xAA}, {0xBE, 0xBC}, {0xBF, 0xAF},
};

} // namespace

uint32_t Cp1250ToUnicode(uint8_t byte) { return byte < 0x80 ? byte : High[byte - 0x80]; }

uint8_t UnicodeToCp1250(uint32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<uint8_t>(codePoint);
    for (int i = 0; i < 128; ++i)
        if (High[i] == codePoint)
            return static_cast<uint8_t>(0x80 + i);
    return 0;
}

std::string Utf8ToCp1250(std::string_view utf8) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        uint8_t lead = static_cast<uint8_t>(utf8[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        uint32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = extra >= 0 && i + size_t(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            uint8_t next = static_cast<uint8_t>(utf8[i + size_t(k)]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back('?');
            ++i;
            continue;
        }
        uint8_t byte = UnicodeToCp1250(code);
        out.push_back(byte != 0 || code == 0 ? static_cast<char>(byte) : '?');
        i += size_t(extra) + 1;
    }
    return out;
}

std::string Cp1250ToUtf8(std::string_view text) {
    std::string out;
    for (char c : text) {
        uint32_t code = Cp1250ToUnicode(static_cast<uint8_t>(c));
        if (code == 0 && c != 0)
            code = 0xFFFD;
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::string UpperCp1250(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        uint8_t b = static_cast<uint8_t>(c);
        if (b >= 'a' && b <= 'z') {
            c = static_cast<char>(b - 32);
        } else if (b >= 0xE0 && b != 0xF7 && b != 0xFF) {
            c = static_cast<char>(b - 32); // the accented block mirrors 0xC0-0xDE, as in Latin-1
        } else {
            for (const auto& pair : LowerUpper)
                if (b == pair[0])
                    c = static_cast<char>(pair[1]);
        }
    }
    return out;
}
