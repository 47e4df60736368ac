#include "UMesh.h"

#include <cmath>

TMesh::TMesh(const TMeshRecord& record, float x, float y, float z)
    : List(record.List), FarList(record.FarList), Extent(record.Extent), Position(VectorMake(x, y, z)),
      PrevPosition(Position) {
    float ex = Extent.x / 2, ey = Extent.y / 2, ez = Extent.z / 2;
    Radius = std::sqrt(ex * ex + ey * ey + ez * ez);
}

void TMesh::SetMesh(const TMeshRecord& record) {
    List = record.List;
    FarList = record.FarList;
    Extent = record.Extent;
}

void TMesh::SetPosition(float x, float y, float z) { Position = VectorMake(x, y, z); }

TTargetMesh::TTargetMesh(float x, float y, float z) : TMesh(Resources().GetMesh("arrow"), x, y, z), BaseHeight(z) {}

TSymbolMesh::TSymbolMesh(const TMeshRecord& record, float x, float y, float z)
    : TMesh(record, x, y, z), BaseHeight(z) {}
