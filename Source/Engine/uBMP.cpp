#include "uBMP.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uGLState.h"
#include "uPlatform.h"

#include <GL/gl.h>

namespace {

constexpr size_t HeaderSize = 54;
constexpr size_t PaletteSize = 1024;

} // namespace

TBMPImage ParseBMP(const std::vector<uint8_t>& bytes, const std::string& fileName) {
    if (bytes.size() < HeaderSize)
        throw EFormatError("error reading image header from " + fileName + ": the header needs " +
                           std::to_string(HeaderSize) + " bytes, the file has " +
                           std::to_string(bytes.size()));
    TByteReader reader(bytes.data(), bytes.size(), fileName);
    reader.Seek(18, "width");
    int32_t width = reader.I32("width");
    int32_t height = reader.I32("height");
    reader.Seek(28, "bits per pixel");
    uint16_t bits = reader.U16("bits per pixel");

    TBMPFormat format;
    size_t dataStart = HeaderSize;
    if (bits == 8) {
        format = TBMPFormat::Alpha;
        dataStart += PaletteSize;
    } else if (bits == 24) {
        format = TBMPFormat::RGB;
    } else if (bits == 32) {
        format = TBMPFormat::RGBA;
    } else {
        throw EFormatError("unsupported bits per pixel (" + std::to_string(bits) + ") in " + fileName);
    }
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192)
        throw EFormatError("invalid image size " + std::to_string(width) + " x " + std::to_string(height) +
                           " in " + fileName);

    TBMPImage image;
    image.Width = width;
    image.Height = height;
    image.Format = format;
    size_t bpp = static_cast<size_t>(image.BytesPerPixel());
    size_t rowBytes = static_cast<size_t>(width) * bpp;
    size_t dataSize = rowBytes * static_cast<size_t>(height);
    if (dataSize > MaxBMPBytes)
        throw EFormatError("image too large (" + std::to_string(width) + " x " + std::to_string(height) +
                           ") in " + fileName);
    // Rows in the file are padded to a multiple of four bytes; the last row's padding may be missing.
    size_t stride = (rowBytes + 3) & ~size_t(3);
    size_t needed = stride * static_cast<size_t>(height - 1) + rowBytes;
    if (bytes.size() < dataStart || bytes.size() - dataStart < needed) {
        size_t have = bytes.size() > dataStart ? bytes.size() - dataStart : 0;
        throw EFormatError("error reading image data from " + fileName + ": " + std::to_string(width) +
                           " x " + std::to_string(height) + " pixels need " + std::to_string(needed) +
                           " bytes after byte " + std::to_string(dataStart) + ", the file has " +
                           std::to_string(have));
    }

    image.Pixels.resize(dataSize);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* src = bytes.data() + dataStart + stride * static_cast<size_t>(row);
        uint8_t* dst = image.Pixels.data() + rowBytes * static_cast<size_t>(row);
        if (bpp == 1) {
            std::copy(src, src + rowBytes, dst);
            continue;
        }
        for (size_t x = 0; x < rowBytes; x += bpp) {
            dst[x] = src[x + 2];
            dst[x + 1] = src[x + 1];
            dst[x + 2] = src[x];
            if (bpp == 4)
                dst[x + 3] = src[x + 3];
        }
    }
    return image;
}

uint32_t UploadTexture(const TBMPImage& image) {
    if (!GraphicsAvailable())
        return HeadlessObjectId();
    GLenum format = image.Format == TBMPFormat::Alpha ? GL_ALPHA : image.Format == TBMPFormat::RGB ? GL_RGB : GL_RGBA;
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.Width, image.Height, 0, format,
                 GL_UNSIGNED_BYTE, image.Pixels.data());
    return id;
}

uint32_t loadBMP(const std::string& fileName, const std::string& usedBy) {
    std::string user = usedBy.empty() ? "" : " (a texture of " + usedBy + ")";
    if (!FileExists(fileName))
        throw EInOutError("File not found - " + fileName + user);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("Cannot read file " + fileName + user);
    TBMPImage image;
    try {
        image = ParseBMP(bytes, fileName);
    } catch (const EFormatError& e) {
        throw EFormatError(e.what() + user);
    }
    return UploadTexture(image);
}
