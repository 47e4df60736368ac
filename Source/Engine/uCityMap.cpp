#include "uCityMap.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uMapCoords.h"
#include "uPlatform.h"

#include <cmath>
#include <vector>

namespace {

// Round to nearest with halves to even, as every map coordinate is rounded. Values that do not fit
// 32 bits are a range error.
int64_t RoundMap(float v, const char* what) {
    if (!std::isfinite(v) || std::fabs(v) > 2147483647.0f)
        throw ERangeError(std::string(what) + " out of range");
    return static_cast<int64_t>(std::nearbyint(v));
}

int32_t Fit32(int64_t v, const char* what) {
    if (v < INT32_MIN || v > INT32_MAX)
        throw ERangeError(std::string(what) + " out of range");
    return static_cast<int32_t>(v);
}

// A file name inside the data folders: no folder parts, so a map cannot reach outside them.
std::string PlainFileName(const std::string& name) {
    if (name.empty() || name.find_first_of("/\\:") != std::string::npos ||
        name.find("..") != std::string::npos)
        throw ERangeError("file name \"" + name + "\" is not a plain file name");
    return name;
}

std::string RecordPrefix(const std::string& fileName, int32_t count, int32_t tag, size_t offset) {
    return fileName + ": record " + std::to_string(count + 1) + " (tag " + std::to_string(tag) +
           ") at offset " + std::to_string(offset) + ": ";
}

struct TPlacement {
    int32_t Id;
    float x, y, w, h;
    int32_t Rotation;
};

TPlacement ReadPlacement(TByteReader& r) {
    TPlacement p;
    p.Id = r.I32("id");
    p.x = r.F32("x");
    p.y = r.F32("y");
    p.w = r.F32("w");
    p.h = r.F32("h");
    p.Rotation = r.I32("rotation");
    return p;
}

// World row of a placement's corner: 511 - round(y) - round(h), in 64 bits, fitting 32.
int32_t PlacementRow(const TPlacement& p) {
    return Fit32(int64_t(MapLastRow) - RoundMap(p.y, "y") - RoundMap(p.h, "h"), "row");
}

} // namespace

dVector3 LampPosition(float x, float y, float h, int32_t q) {
    switch (q) {
    case 0:
        return VectorMake(x - 0.1f, WorldY(y + 0.5f), LampHeight);
    case 1:
        return VectorMake(x + 0.5f, WorldY(y - 1.1f + h), LampHeight);
    case 2:
        return VectorMake(x + 1.1f, WorldY(y + 0.5f), LampHeight);
    default:
        return VectorMake(x + 0.5f, WorldY(y + 1.1f + 1), LampHeight);
    }
}

int32_t ReadCityMap(const std::string& fileName, ICityMapHost& host, TTextureGrid& tiles, TMeshGrid& meshes) {
    std::string path = NativePath(fileName);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        throw EInOutError("Cannot read the city map " + path);
    return ReadCityMapBytes(bytes.data(), bytes.size(), path, host, tiles, meshes, TCellWordsNeed::Required);
}

int32_t ReadCityMapBytes(const uint8_t* data, size_t size, const std::string& fileName, ICityMapHost& host,
                         TTextureGrid& tiles, TMeshGrid& meshes, TCellWordsNeed need) {
    TByteReader r(data, size, fileName);
    int32_t count = 0;
    bool cellWordsRead = false;
    while (r.Remaining() > 0) {
        size_t offset = r.Position();
        int32_t tag = 0;
        try {
            tag = r.I32("record tag");
            switch (tag) {
            case CityTagTexture: {
                int32_t id = r.I32("texture id");
                std::string name = PlainFileName(r.ShortString("texture file name", 254));
                uint32_t texture = host.LoadTileTexture(".\\data\\textures\\" + name);
                Resources().AddTexture("tile" + std::to_string(id), texture);
                host.DrawProgress(id, CityTextureTotal);
                break;
            }
            case CityTagMesh: {
                int32_t id = r.I32("mesh id");
                std::string name = PlainFileName(r.ShortString("mesh file name", 254));
                TMeshRecord mesh = host.LoadBuildingMesh(".\\data\\meshes\\" + name);
                Resources().AddMesh("building" + std::to_string(id), mesh);
                host.DrawProgress(id, CityMeshTotal);
                break;
            }
            case CityTagTile: {
                TPlacement p = ReadPlacement(r);
                uint32_t texture = Resources().GetTexture("tile" + std::to_string(p.Id));
                if (texture > uint32_t(INT32_MAX))
                    throw ERangeError("texture name out of range");
                int32_t x = Fit32(RoundMap(p.x, "x"), "x");
                int32_t row = PlacementRow(p);
                // A tile is square, one cell at least and at most the whole map across.
                int64_t side = RoundMap(p.w, "w");
                if (side < 1 || side > GridSize)
                    throw ERangeError("tile of side " + std::to_string(p.w) + " (" + std::to_string(side) +
                                      " cells); its side must lie in 1 .. " + std::to_string(GridSize));
                tiles.SetTile(static_cast<int32_t>(texture), x, row, int32_t(side), p.Rotation, false, false);
                break;
            }
            case CityTagBuilding: {
                TPlacement p = ReadPlacement(r);
                uint8_t collides = static_cast<uint8_t>(r.I32("collides") & 0xFF);
                int32_t rotation = p.Rotation;
                if (p.Id == LampPostId) {
                    int32_t q = int32_t((int64_t(rotation) % 4 + 4 + 2) % 4);
                    dVector3 light = LampPosition(p.x, p.y, p.h, q);
                    host.AddLamp(light.x, light.y, light.z);
                    rotation = q;
                }
                TMeshRecord mesh = Resources().GetMesh("building" + std::to_string(p.Id));
                int32_t x = Fit32(RoundMap(p.x, "x"), "x");
                int32_t row = PlacementRow(p);
                meshes.PlaceMesh(mesh, x, row, 0.0f, int32_t((int64_t(rotation) % 4 + 4 + 2) % 4), collides);
                break;
            }
            case CityTagBlock: {
                TPlacement p = ReadPlacement(r);
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.w) || !std::isfinite(p.h))
                    throw ERangeError("collision block not finite");
                // A block is at least part of a cell and at most the whole map across.
                if (!(p.w > 0 && p.h > 0 && p.w <= float(GridSize) && p.h <= float(GridSize)))
                    throw ERangeError("collision block of " + std::to_string(p.w) + " x " + std::to_string(p.h) +
                                      " cells; its sides must lie in 0 .. " + std::to_string(GridSize));
                meshes.PlaceBox(VectorMake(p.w, p.h, 10), p.x, float(GridSize - 1) - p.y - p.h);
                break;
            }
            case CityTagCellWords: {
                if (r.Remaining() < CellWordBytes)
                    r.Skip(CellWordBytes, "traffic cell words"); // raises the truncation error
                host.SetCellWords(data + r.Position(), CellWordBytes);
                r.Skip(CellWordBytes, "traffic cell words");
                cellWordsRead = true;
                break;
            }
            case CityTagIgnored:
                r.I32("ignored value");
                r.I32("ignored value");
                break;
            default:
                // Random bytes would otherwise read as a long run of empty records.
                throw ERangeError("unknown record tag " + std::to_string(tag));
            }
        } catch (const EReadError& e) {
            throw EInOutError(RecordPrefix(fileName, count, tag, offset) +
                              "the file ends early, inside this record (" + e.what() + ")");
        } catch (const ERangeError& e) {
            throw ERangeError(RecordPrefix(fileName, count, tag, offset) + e.what());
        } catch (const EInOutError& e) {
            throw EInOutError(RecordPrefix(fileName, count, tag, offset) + e.what());
        } catch (const Exception& e) {
            throw Exception(RecordPrefix(fileName, count, tag, offset) + e.what());
        }
        ++count;
        if (count % CityProgressEvery == 0)
            host.DrawProgress(count, CityRecordTotal);
    }
    // The traffic cell words come last; a map cut at a record's end would otherwise load as a city
    // without a single direction mark.
    if (need == TCellWordsNeed::Required && !cellWordsRead)
        throw EInOutError(fileName + ": the file ends early, after record " + std::to_string(count) +
                          " at byte " + std::to_string(size) + ", before the traffic cell words (tag " +
                          std::to_string(CityTagCellWords) + ")");
    return count;
}
