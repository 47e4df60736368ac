// Fuzz target: the font width files. Any 256 bytes are widths; any other size is refused with the
// file named. Accepted widths lay out and wrap every text without trouble.
#include "FuzzSeeds.h"
#include "uErrors.h"
#include "uGLFont.h"

#include <cmath>
#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string file = ScratchPath("font");
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, data, size) != ssize_t(size))
        __builtin_trap();
    close(fd);
    std::array<uint8_t, 256> widths;
    try {
        widths = TGLFont::ReadWidths(file);
    } catch (const EInOutError& e) {
        if (std::string(e.what()).find(file) == std::string::npos)
            __builtin_trap();
        return 0;
    }
    TGLFont font(0, widths, 640, 480);
    // Every character, and the text of the file itself.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(char(c));
    std::string_view own(reinterpret_cast<const char*>(data), size);
    for (std::string_view text : {std::string_view(all), own}) {
        if (!std::isfinite(font.TextWidth(text)))
            __builtin_trap();
        size_t kept = 0;
        for (std::string_view line : font.WrapLines(text, 3.5f))
            kept += line.size();
        if (kept > text.size())
            __builtin_trap();
        font.LayoutLine(text);
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    AddDataSeeds(seeds, {"fonts/menu_item.dat", "fonts/menu_text.dat"});
    seeds.push_back(std::vector<uint8_t>(256, 16));
    seeds.push_back(std::vector<uint8_t>(256, 0));
    AddDamagedSeeds(seeds);
    return seeds;
}
