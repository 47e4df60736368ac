// Fuzz target: the BMP parser must reject any damaged file with a message, never crash.
#include "BMPWriter.h"
#include "uBMP.h"
#include "uErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    TBMPImage image;
    try {
        image = ParseBMP(bytes, "fuzz.bmp");
    } catch (const EFormatError&) {
        return 0;
    }
    if (image.Pixels.size() != size_t(image.Width) * size_t(image.Height) * size_t(image.BytesPerPixel()))
        __builtin_trap();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (TBMPFormat format : {TBMPFormat::Alpha, TBMPFormat::RGB, TBMPFormat::RGBA}) {
        TBMPImage image;
        image.Width = 5;
        image.Height = 3;
        image.Format = format;
        image.Pixels.assign(size_t(5 * 3 * image.BytesPerPixel()), 0x5a);
        seeds.push_back(EncodeBMP(image));
    }
    return seeds;
}
