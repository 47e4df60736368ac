#include "uHarness.h"
#include "uErrors.h"
#include "uOptions.h"

#include <png.h>
#include <cstring>

THarnessOptions ParseHarnessOptions(std::vector<std::string>& args) {
    THarnessOptions options;
    std::vector<std::string> rest;
    constexpr uint64_t MostTicks = 999'999'999'999; // a tick number in twelve digits: 317 years of play
    TOptionParser()
        .Text("--keys", options.KeyScript)
        .UInt64("--frames", options.FrameLimit, 0, MostTicks)
        .Custom("--shot",
                [&options](const std::string& shot) {
                    std::string::size_type colon = shot.find(':');
                    if (colon == std::string::npos || colon + 1 == shot.size())
                        TOptionParser::Refuse("--shot", "FRAME:FILE", shot);
                    uint64_t tick = TOptionParser::WholeNumber("--shot", shot.substr(0, colon), 0, MostTicks);
                    options.Shots.emplace_back(tick, shot.substr(colon + 1));
                })
        .Text("--pad", options.PadScript)
        .Flag("--fixed-clock", options.FixedClock)
        .Flag("--headless", options.Headless)
        .Parse(args, [&rest](const std::string& argument) { rest.push_back(argument); });
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
