// kalicons SOURCE.png OUT_DIR SIZE...: the program icon in the sizes a desktop's icon theme asks
// for, written as OUT_DIR/NxN/apps/kalmirov.png. Each pixel is the area average of the source pixels
// it covers, weighted by their alpha, so the transparent corners of the tile bleed no colour into
// its rounded edge.
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TPicture {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgba; // rows top to bottom, 4 bytes a pixel
};

TPicture ReadPng(const std::string& fileName) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, fileName.c_str()))
        throw std::runtime_error("cannot read " + fileName + ": " + image.message);
    image.format = PNG_FORMAT_RGBA;
    TPicture picture;
    picture.Width = int(image.width);
    picture.Height = int(image.height);
    picture.Rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.Rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot decode " + fileName + ": " + image.message);
    return picture;
}

void WritePng(const std::string& fileName, const TPicture& picture) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.Width);
    image.height = png_uint_32(picture.Height);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, fileName.c_str(), 0, picture.Rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot write " + fileName + ": " + image.message);
}

// How much of source pixel `i` (covering [i, i + 1)) lies inside [from, to).
double Overlap(int i, double from, double to) {
    return std::max(0.0, std::min(to, i + 1.0) - std::max(from, double(i)));
}

TPicture Shrink(const TPicture& source, int size) {
    TPicture out;
    out.Width = out.Height = size;
    out.Rgba.resize(size_t(size) * size * 4);
    double stepX = double(source.Width) / size, stepY = double(source.Height) / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double x0 = x * stepX, x1 = x0 + stepX, y0 = y * stepY, y1 = y0 + stepY;
            std::array<double, 4> sum{}; // colour weighted by alpha, then alpha
            double area = 0;
            for (int sy = int(y0); sy < std::min(source.Height, int(std::ceil(y1))); ++sy)
                for (int sx = int(x0); sx < std::min(source.Width, int(std::ceil(x1))); ++sx) {
                    double weight = Overlap(sx, x0, x1) * Overlap(sy, y0, y1);
                    const uint8_t* p = &source.Rgba[(size_t(sy) * source.Width + sx) * 4];
                    double alpha = p[3] / 255.0;
                    for (int c = 0; c < 3; ++c)
                        sum[size_t(c)] += weight * alpha * p[c];
                    sum[3] += weight * alpha;
                    area += weight;
                }
            uint8_t* q = &out.Rgba[(size_t(y) * size + x) * 4];
            for (int c = 0; c < 3; ++c)
                q[c] = sum[3] > 0 ? uint8_t(std::lround(std::clamp(sum[size_t(c)] / sum[3], 0.0, 255.0))) : 0;
            q[3] = uint8_t(std::lround(std::clamp(255.0 * sum[3] / area, 0.0, 255.0)));
        }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: kalicons SOURCE.png OUT_DIR SIZE...\n");
        return 2;
    }
    try {
        TPicture source = ReadPng(argv[1]);
        for (int i = 3; i < argc; ++i) {
            int size = std::atoi(argv[i]);
            if (size < 1 || size > source.Width || size > source.Height)
                throw std::runtime_error(std::string("no icon of size ") + argv[i] + " from a " +
                                         std::to_string(source.Width) + " x " +
                                         std::to_string(source.Height) + " source");
            std::string name = std::to_string(size) + "x" + std::to_string(size);
            std::filesystem::path folder = std::filesystem::path(argv[2]) / name / "apps";
            std::filesystem::create_directories(folder);
            WritePng((folder / "kalmirov.png").string(), Shrink(source, size));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalicons: %s\n", e.what());
        return 1;
    }
    return 0;
}
