#include "Resources.h"
#include "UMesh.h"

#include <gtest/gtest.h>

TEST(TMesh, RadiusFromTheExtent) {
    TMeshRecord record;
    record.List = 3;
    record.Extent = VectorMake(6, 0, 8);
    TMesh mesh(record, 1, 2, 3);
    EXPECT_FLOAT_EQ(mesh.Radius, 5.0f);
    EXPECT_TRUE(mesh.Alive);
    EXPECT_TRUE(mesh.Visible);
    EXPECT_EQ(mesh.Heading, 0.0f);
    record.Extent = VectorMake(60, 0, 80);
    mesh.SetMesh(record);
    EXPECT_FLOAT_EQ(mesh.Radius, 5.0f); // kept
    EXPECT_FLOAT_EQ(mesh.Extent.x, 60.0f);
}

TEST(TMesh, TargetTurnsAndLeavesWhenReached) {
    TMeshRecord arrow;
    arrow.List = 11;
    if (Resources().IndexOfMesh("arrow") < 0)
        Resources().AddMesh("arrow", arrow);
    TTargetMesh target(10, 20, 1.5f);
    EXPECT_EQ(target.List, 11u);
    EXPECT_FLOAT_EQ(target.BaseHeight, 1.5f);
    for (int i = 0; i < 10; ++i)
        target.Update();
    EXPECT_NEAR(target.Heading, 1.0f, 1e-5);
    target.SetReached();
    EXPECT_TRUE(target.Reached);
    EXPECT_FALSE(target.Alive);
}

TEST(TMesh, SymbolTurnsOneDegreePerFrame) {
    TSymbolMesh symbol(TMeshRecord{}, 0, 0, 2);
    symbol.Update();
    symbol.Update();
    EXPECT_FLOAT_EQ(symbol.Heading, 2.0f);
    EXPECT_FLOAT_EQ(symbol.BaseHeight, 2.0f);
}
