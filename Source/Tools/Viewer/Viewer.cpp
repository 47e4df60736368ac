// kalviewer: renders every mesh key of the data set through the engine's own loader and GL state
// and saves contact sheets as PNG files. Cars are assembled with their wheels the way the vehicle
// draws them (body r below the chassis centre, wheels H - 2r under it), so a sheet shows at once
// whether every body sits on its wheels.
//   kalviewer [--data DIR] [--out PREFIX] [--keys K1,K2,...]   (run in the game's directory; needs a display)
//   kalviewer --geometry    prints the body and wheel numbers of every car for the car configurations
//   kalviewer --atlas OUT.png A.bmp [B.bmp ...]   puts texture atlases side by side into one PNG
// writes PREFIX-contact.png (three-quarter view of every key), PREFIX-top.png (every key from
// above at one common scale, as the game camera sees them) and PREFIX-turntable.png (each car
// model from eight directions).
#include "AllModels.inc"

#include "uAngles.h"
#include "uByteReader.h"
#include "uEngine.h"
#include "uErrors.h"
#include "uHarness.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <map>

namespace {

using namespace models;

constexpr int RenderWidth = 512, RenderHeight = 384; // one cell, drawn at twice its sheet size
constexpr int CellWidth = RenderWidth / 2, CellHeight = RenderHeight / 2;

// The car a body key belongs to, and that car's measured geometry and wheel key.
struct TCarInfo {
    TCarGeometry Geometry;
    std::string WheelKey;
};

struct TSheet {
    int Columns, Rows;
    std::vector<uint8_t> Rgb; // top row first

    TSheet(int columns, int rows)
        : Columns(columns), Rows(rows), Rgb(size_t(columns * CellWidth) * size_t(rows * CellHeight) * 3, 24) {
    }
    int Width() const { return Columns * CellWidth; }
    int Height() const { return Rows * CellHeight; }
};

class TLabeller {
  public:
    TLabeller() {
        std::string font = std::string(KAL_DEJAVU_DIR) + "/DejaVuSans-Bold.ttf";
        if (FT_Init_FreeType(&Library) == 0 && FT_New_Face(Library, font.c_str(), 0, &Face) == 0)
            FT_Set_Pixel_Sizes(Face, 0, 13);
        else
            Face = nullptr;
    }
    ~TLabeller() {
        if (Face)
            FT_Done_Face(Face);
        if (Library)
            FT_Done_FreeType(Library);
    }
    void Draw(TSheet& sheet, int x, int y, const std::string& text) {
        if (!Face)
            return;
        for (int pass = 0; pass < 2; ++pass) {
            int penX = x + (pass == 0 ? 1 : 0), baseline = y + 13 + (pass == 0 ? 1 : 0);
            uint8_t value = pass == 0 ? 0 : 255;
            for (char ch : text) {
                if (FT_Load_Char(Face, FT_ULong(uint8_t(ch)), FT_LOAD_RENDER) != 0)
                    continue;
                const FT_Bitmap& bitmap = Face->glyph->bitmap;
                for (unsigned row = 0; row < bitmap.rows; ++row)
                    for (unsigned col = 0; col < bitmap.width; ++col) {
                        int px = penX + Face->glyph->bitmap_left + int(col);
                        int py = baseline - Face->glyph->bitmap_top + int(row);
                        if (px < 0 || py < 0 || px >= sheet.Width() || py >= sheet.Height())
                            continue;
                        float a = bitmap.buffer[row * unsigned(bitmap.pitch) + col] / 255.0f;
                        uint8_t* p = &sheet.Rgb[(size_t(py) * size_t(sheet.Width()) + size_t(px)) * 3];
                        for (int k = 0; k < 3; ++k)
                            p[k] = uint8_t(float(p[k]) * (1 - a) + float(value) * a);
                    }
                penX += int(Face->glyph->advance.x >> 6);
            }
        }
    }

  private:
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
};

struct TView {
    float Azimuth;   // degrees about z, 0 looks at the car's front from -x
    float Elevation; // degrees above the horizon
    float Distance;  // metres; 0 fits the model into the cell
};

class TViewer {
  public:
    TViewer(TEngine& engine, const std::string& dataDir) : Engine(engine), DataDir(dataDir) {
        for (const TCarDesign& design : CarDesigns()) {
            TCarInfo info{MeasureCar(design), ""};
            for (const TMeshEntry& entry : MeshTable())
                if (std::string(entry.File) == design.Directory + "/" + design.WheelFile)
                    info.WheelKey = entry.Key;
            for (const TCarPalette& palette : design.Palettes)
                Cars[palette.Key] = info;
        }
        for (const TMeshEntry& entry : MeshTable()) {
            TMeshRecord record;
            std::string texture = *entry.Texture ? DataDir + "/" + entry.Texture : "";
            try {
                Engine.LoadMesh(DataDir + "/" + entry.File, texture, entry.Scale, record);
                Meshes[entry.Key] = record;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "kalviewer: %s: %s\n", entry.Key, e.what()); // its cell stays empty
            }
        }
    }

    void Render(const std::string& key, const TView& view) {
        Engine.BeginFrame();
        glViewport(0, 0, RenderWidth, RenderHeight);
        glClearColor(0.16f, 0.18f, 0.22f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (!Meshes.count(key)) {
            glFinish();
            return;
        }
        const TMeshRecord& mesh = Meshes.at(key);
        auto car = Cars.find(key);
        if (car != Cars.end() && !Meshes.count(car->second.WheelKey))
            car = Cars.end();
        // The model's frame: for cars the chassis body centre, for the rest the mesh centre.
        float ground, extentX = mesh.Extent.x, extentY = mesh.Extent.y, extentZ = mesh.Extent.z;
        if (car != Cars.end()) {
            const TCarGeometry& g = car->second.Geometry;
            ground = -(g.Height - 2 * g.WheelRadius) - g.WheelRadius;
            extentZ = g.Height + g.Clearance;
        } else {
            ground = -mesh.Extent.z / 2;
        }
        float radius = 0.5f * std::sqrt(extentX * extentX + extentY * extentY + extentZ * extentZ);
        float distance =
            view.Distance > 0 ? view.Distance : radius / std::sin(Radians(15.0f)) * 1.02f;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(30, double(RenderWidth) / RenderHeight, 0.1, 200);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        float az = Radians(view.Azimuth), el = Radians(view.Elevation);
        float targetZ = ground + extentZ / 2;
        gluLookAt(-std::cos(el) * std::cos(az) * distance, -std::cos(el) * std::sin(az) * distance,
                  targetZ + std::sin(el) * distance, 0, 0, targetZ, 0, 0, 1);
        DrawGround(ground, std::max(extentX, extentY));
        glColor3f(1, 1, 1);
        if (car != Cars.end())
            DrawCar(mesh, Meshes.at(car->second.WheelKey), car->second.Geometry);
        else
            glCallList(mesh.List);
        glFinish();
    }

    // Reads the frame, halves it (2 x 2 box filter) into a sheet cell.
    void Capture(TSheet& sheet, int column, int row) {
        std::vector<uint8_t> pixels(size_t(RenderWidth) * RenderHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, RenderWidth, RenderHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        for (int y = 0; y < CellHeight; ++y)
            for (int x = 0; x < CellWidth; ++x)
                for (int k = 0; k < 3; ++k) {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx)
                            sum += pixels[(size_t(RenderHeight - 1 - (2 * y + dy)) * RenderWidth +
                                           size_t(2 * x + dx)) *
                                              3 +
                                          size_t(k)];
                    size_t sx = size_t(column * CellWidth + x), sy = size_t(row * CellHeight + y);
                    sheet.Rgb[(sy * size_t(sheet.Width()) + sx) * 3 + size_t(k)] = uint8_t(sum / 4);
                }
        Engine.EndFrame();
    }

    std::map<std::string, TMeshRecord> Meshes;
    std::map<std::string, TCarInfo> Cars;

  private:
    void DrawGround(float z, float size) {
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        float s = std::max(12.0f, size * 1.5f);
        glColor3ub(92, 96, 92);
        glBegin(GL_QUADS);
        glVertex3f(-s, -s, z);
        glVertex3f(s, -s, z);
        glVertex3f(s, s, z);
        glVertex3f(-s, s, z);
        glEnd();
        glColor3ub(120, 124, 120);
        glBegin(GL_LINES);
        for (float v = -s; v <= s; v += 1.0f) {
            glVertex3f(v, -s, z + 0.002f);
            glVertex3f(v, s, z + 0.002f);
            glVertex3f(-s, v, z + 0.002f);
            glVertex3f(s, v, z + 0.002f);
        }
        glEnd();
        glPopAttrib();
    }

    // As the vehicle draws itself at rest: chassis list r below the chassis body, wheel bodies at
    // their joint anchors, the +y wheels turned half round about x.
    void DrawCar(const TMeshRecord& body, const TMeshRecord& wheel, const TCarGeometry& g) {
        glPushMatrix();
        glTranslatef(0, 0, -g.WheelRadius);
        glCallList(body.List);
        glPopMatrix();
        float wheelZ = -(g.Height - 2 * g.WheelRadius);
        const float xs[4] = {-g.FrontAxle * g.Length, -g.FrontAxle * g.Length, g.RearAxle * g.Length,
                             g.RearAxle * g.Length};
        const float ys[4] = {g.HalfTrack, -g.HalfTrack, g.HalfTrack, -g.HalfTrack};
        for (int i = 0; i < 4; ++i) {
            glPushMatrix();
            glTranslatef(xs[i], ys[i], wheelZ);
            glRotatef(90, 1, 0, 0); // the wheel body's own orientation
            glRotatef(i % 2 == 0 ? 90.0f : -90.0f, 1, 0, 0);
            glCallList(wheel.List);
            glPopMatrix();
        }
    }

    TEngine& Engine;
    std::string DataDir;
};

bool Save(const TSheet& sheet, const std::string& fileName) {
    std::vector<uint8_t> bottomUp(sheet.Rgb.size());
    size_t stride = size_t(sheet.Width()) * 3;
    for (int y = 0; y < sheet.Height(); ++y)
        std::copy_n(&sheet.Rgb[size_t(y) * stride], stride,
                    &bottomUp[size_t(sheet.Height() - 1 - y) * stride]);
    bool ok = WritePNG(fileName, sheet.Width(), sheet.Height(), bottomUp);
    std::printf("kalviewer: %s %s (%d x %d)\n", ok ? "wrote" : "cannot write", fileName.c_str(),
                sheet.Width(), sheet.Height());
    return ok;
}

} // namespace

// One markdown table row per car: what the car configuration needs to put the wheels under the body.
void PrintGeometry() {
    std::printf("| Car | L | W | H | r | wheel width | clearance H/2-2r | FrontAxle | RearAxle | HalfTrack | "
                "front lamp 1 (x, y, z) | rear lamp 1 (x, y, z) | body / wheel triangles |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const TCarDesign& design : CarDesigns()) {
        TCarGeometry g = MeasureCar(design);
        std::printf(
            "| %s | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.4f | %.4f | %.3f | (%.3f, %.3f, %.3f) | "
            "(%.3f, %.3f, %.3f) | %zu / %zu |\n",
            g.Name.c_str(), g.Length, g.Width, g.Height, g.WheelRadius, g.WheelWidth, g.Clearance,
            g.FrontAxle, g.RearAxle, g.HalfTrack, g.FrontLamp.x, g.FrontLamp.y, g.FrontLamp.z, g.RearLamp.x,
            g.RearLamp.y, g.RearLamp.z, g.BodyTriangles, g.WheelTriangles);
    }
}

// Texture pictures side by side (top aligned, 8 pixels apart), for looking at atlases.
bool SaveAtlases(const std::string& out, const std::vector<std::string>& files) {
    std::vector<TBMPImage> images;
    int width = 0, height = 0;
    for (const std::string& file : files) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(file, bytes)) {
            std::fprintf(stderr, "kalviewer: cannot read %s\n", file.c_str());
            return false;
        }
        TBMPImage image;
        try {
            image = ParseBMP(bytes, file);
        } catch (const EFormatError& e) {
            std::fprintf(stderr, "kalviewer: %s\n", e.what());
            return false;
        }
        if (image.Format != TBMPFormat::RGB) {
            std::fprintf(stderr, "kalviewer: %s: not a 24-bit picture\n", file.c_str());
            return false;
        }
        width += image.Width + (images.empty() ? 0 : 8);
        height = std::max(height, image.Height);
        images.push_back(std::move(image));
    }
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3, 24); // bottom row first
    int x0 = 0;
    for (const TBMPImage& image : images) {
        for (int y = 0; y < image.Height; ++y)
            std::copy_n(&image.Pixels[size_t(y) * size_t(image.Width) * 3], size_t(image.Width) * 3,
                        &rgb[(size_t(height - image.Height + y) * size_t(width) + size_t(x0)) * 3]);
        x0 += image.Width + 8;
    }
    return WritePNG(out, width, height, rgb);
}

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--geometry") {
        PrintGeometry();
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "--atlas")
        return SaveAtlases(argv[2], std::vector<std::string>(argv + 3, argv + argc)) ? 0 : 1;
    std::string dataDir = "data", prefix = "models";
    std::vector<std::string> only; // keys of the sheets; all when empty
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--data")
            dataDir = argv[i + 1];
        else if (option == "--out")
            prefix = argv[i + 1];
        else if (option == "--keys") {
            std::string list = argv[i + 1];
            for (size_t start = 0; start <= list.size();) {
                size_t comma = std::min(list.find(',', start), list.size());
                only.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else {
            std::fprintf(stderr, "usage: kalviewer [--data DIR] [--out PREFIX] [--keys K1,K2,...]\n");
            return 2;
        }
    }
    try {
        TEngine engine(RenderWidth, RenderHeight, false, 32);
        TViewer viewer(engine, dataDir);
        TLabeller labels;
        std::vector<TMeshEntry> table;
        for (const TMeshEntry& entry : MeshTable())
            if (only.empty() || std::find(only.begin(), only.end(), entry.Key) != only.end())
                table.push_back(entry);
        const int columns = only.empty() ? 6 : std::min(3, int(table.size()));
        int rows = int((table.size() + columns - 1) / columns);

        TSheet contact(columns, rows), top(columns, rows);
        for (size_t i = 0; i < table.size(); ++i) {
            int column = int(i) % columns, row = int(i) / columns;
            viewer.Render(table[i].Key, {35, 24, 0});
            viewer.Capture(contact, column, row);
            labels.Draw(contact, column * CellWidth + 4, row * CellHeight + 2, table[i].Key);
            // The game's camera looks almost straight down from about 10 m; one scale for all.
            viewer.Render(table[i].Key, {90, 78, 16});
            viewer.Capture(top, column, row);
            labels.Draw(top, column * CellWidth + 4, row * CellHeight + 2, table[i].Key);
        }

        std::vector<TCarDesign> designs;
        for (const TCarDesign& design : CarDesigns())
            if (only.empty() ||
                std::find(only.begin(), only.end(), design.Palettes.front().Key) != only.end())
                designs.push_back(design);
        TSheet turntable(8, int(designs.size()));
        for (size_t d = 0; d < designs.size(); ++d)
            for (int a = 0; a < 8; ++a) {
                viewer.Render(designs[d].Palettes.front().Key, {float(a) * 45.0f, 18, 0});
                viewer.Capture(turntable, a, int(d));
                if (a == 0)
                    labels.Draw(turntable, 4, int(d) * CellHeight + 2, designs[d].Palettes.front().Key);
            }
        bool ok = Save(contact, prefix + "-contact.png") && Save(top, prefix + "-top.png") &&
                  (designs.empty() || Save(turntable, prefix + "-turntable.png"));
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalviewer: %s\n", e.what());
        return 1;
    }
}
