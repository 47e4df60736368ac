#include "BMPWriter.h"
#include "ByteWriter.h"

std::vector<uint8_t> EncodeBMP(const TBMPImage& image) {
    size_t bpp = static_cast<size_t>(image.BytesPerPixel());
    size_t rowBytes = size_t(image.Width) * bpp;
    size_t stride = (rowBytes + 3) & ~size_t(3);
    uint32_t paletteBytes = image.Format == TBMPFormat::Alpha ? 1024 : 0;
    uint32_t dataOffset = 54 + paletteBytes;
    uint32_t dataBytes = static_cast<uint32_t>(stride * size_t(image.Height));

    TByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(dataOffset + dataBytes);
    out.U32(0);
    out.U32(dataOffset);
    out.U32(40);
    out.I32(image.Width);
    out.I32(image.Height);
    out.U16(1);
    out.U16(static_cast<uint16_t>(bpp * 8));
    out.U32(0); // no compression
    out.U32(dataBytes);
    out.U32(2835); // 72 dpi
    out.U32(2835);
    out.U32(paletteBytes ? 256 : 0);
    out.U32(0);
    for (uint32_t i = 0; paletteBytes && i < 256; ++i) {
        out.U8(uint8_t(i));
        out.U8(uint8_t(i));
        out.U8(uint8_t(i));
        out.U8(0);
    }
    for (int32_t row = 0; row < image.Height; ++row) {
        const uint8_t* src = image.Pixels.data() + rowBytes * size_t(row);
        for (size_t x = 0; x < rowBytes; x += bpp) {
            if (bpp == 1) {
                out.U8(src[x]);
                continue;
            }
            out.U8(src[x + 2]);
            out.U8(src[x + 1]);
            out.U8(src[x]);
            if (bpp == 4)
                out.U8(src[x + 3]);
        }
        for (size_t pad = rowBytes; pad < stride; ++pad)
            out.U8(0);
    }
    return out.Bytes;
}
