// The cost of parsing the game's asset formats: a car-sized 3DS model and a 1024 x 1024 picture.
#include "BMPWriter.h"
#include "Writer3ds.h"
#include "u3ds.h"
#include "uBMP.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A closed grid sphere of about 1,500 triangles with a textured material, like a car body.
std::vector<uint8_t> CarSizedModel() {
    T3dsModel model;
    T3dsMaterial paint;
    paint.Name = "paint";
    paint.TextureFile = "paint.bmp";
    model.Materials.push_back(paint);
    T3dsObject body;
    body.Name = "body";
    body.MaterialName = "paint";
    const int rings = 28, segments = 28;
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s) {
            float a = float(M_PI) * float(r) / rings, b = 2 * float(M_PI) * float(s) / segments;
            body.Vertices.push_back(VectorMake(2.1f * std::sin(a) * std::cos(b), 0.85f * std::sin(a) * std::sin(b),
                                               0.7f * std::cos(a)));
            body.TexCoords.push_back({float(s) / segments, float(r) / rings});
        }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            uint32_t i = uint32_t(r * (segments + 1) + s);
            body.Faces.push_back({i, i + segments + 1, i + 1});
            body.Faces.push_back({i + 1, i + segments + 1, i + segments + 2});
        }
    model.Objects.push_back(body);
    return Encode3DS(model);
}

void Parse3dsModel(benchmark::State& state) {
    std::vector<uint8_t> bytes = CarSizedModel();
    for (auto _ : state) {
        T3dsModel model = Parse3DS(bytes, "car.3ds");
        for (T3dsObject& object : model.Objects)
            ComputeNormals(object);
        dVector3 extent;
        CentreAndScale(model, 1.0f, extent);
        benchmark::DoNotOptimize(model.Objects.data());
    }
    state.counters["triangles"] = 28 * 28 * 2;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(Parse3dsModel)->Unit(benchmark::kMicrosecond);

void ParseBmp1024(benchmark::State& state) {
    TBMPImage picture;
    picture.Width = picture.Height = 1024;
    picture.Format = TBMPFormat::RGB;
    picture.Pixels.resize(1024 * 1024 * 3);
    for (size_t i = 0; i < picture.Pixels.size(); ++i)
        picture.Pixels[i] = uint8_t(i * 31);
    std::vector<uint8_t> bytes = EncodeBMP(picture);
    for (auto _ : state) {
        TBMPImage image = ParseBMP(bytes, "intro.bmp");
        benchmark::DoNotOptimize(image.Pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(ParseBmp1024)->Unit(benchmark::kMillisecond);

} // namespace
