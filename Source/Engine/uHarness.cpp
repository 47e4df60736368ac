#include "uHarness.h"
#include "uErrors.h"

#include <png.h>
#include <cstring>

THarnessOptions ParseHarnessOptions(std::vector<std::string>& args) {
    THarnessOptions options;
    std::vector<std::string> rest;
    auto number = [](const std::string& text, const std::string& option) -> uint64_t {
        if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
            throw Exception(option + " needs a tick number, not \"" + text + "\"");
        return std::stoull(text);
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw Exception(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--keys") {
            options.KeyScript = value();
        } else if (arg == "--frames") {
            options.FrameLimit = number(value(), arg);
        } else if (arg == "--shot") {
            std::string shot = value();
            std::string::size_type colon = shot.find(':');
            if (colon == std::string::npos || colon + 1 == shot.size())
                throw Exception("--shot needs FRAME:FILE, not \"" + shot + "\"");
            options.Shots.emplace_back(number(shot.substr(0, colon), arg), shot.substr(colon + 1));
        } else if (arg == "--pad") {
            options.PadScript = value();
        } else if (arg == "--fixed-clock") {
            options.FixedClock = true;
        } else if (arg == "--headless") {
            options.Headless = true;
        } else {
            rest.push_back(arg);
        }
    }
    args = rest;
    return options;
}

bool WritePNG(const std::string& fileName, int width, int height, const std::vector<uint8_t>& rgbBottomUp) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // A negative row stride writes the rows bottom-up, turning OpenGL's order into a picture's.
    int stride = -width * 3;
    return png_image_write_to_file(&image, fileName.c_str(), 0, rgbBottomUp.data(), stride, nullptr) != 0;
}

bool ReadPNG(const std::string& fileName, int& width, int& height, std::vector<uint8_t>& rgbTopDown) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, fileName.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    rgbTopDown.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    bool ok = png_image_finish_read(&image, nullptr, rgbTopDown.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
