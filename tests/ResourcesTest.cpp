#include "Resources.h"
#include "uErrors.h"

#include <gtest/gtest.h>

namespace {

std::string Failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(TResources, SameNameInDifferentTablesIsAllowed) {
    TResources r;
    r.AddTexture("lamp", 5);
    TMeshRecord mesh;
    mesh.List = 9;
    r.AddMesh("lamp", mesh);
    r.AddSample("lamp", 3);
    r.AddModule("lamp", 1);
    EXPECT_EQ(r.GetTexture("lamp"), 5u);
    EXPECT_EQ(r.GetMesh("lamp").List, 9u);
    EXPECT_EQ(r.GetSample("lamp"), 3u);
    EXPECT_EQ(r.GetModule("lamp"), 1u);
}

TEST(TResources, DuplicatesAndMissingNamesGiveTheirMessages) {
    TResources r;
    r.AddTexture("lamp", 5);
    r.AddMesh("car", {});
    r.AddSample("horn", 1);
    r.AddModule("music", 1);
    EXPECT_EQ(Failure([&] { r.AddTexture("lamp", 6); }), "Texture lamp already added.");
    EXPECT_EQ(Failure([&] { r.AddMesh("car", {}); }), "Mesh car already added.");
    EXPECT_EQ(Failure([&] { r.AddSample("horn", 2); }), "Sample horn already added.");
    EXPECT_EQ(Failure([&] { r.AddModule("music", 2); }), "Module music already added.");
    EXPECT_EQ(Failure([&] { r.GetTexture("Lamp"); }), "Texture Lamp not in resources.");
    EXPECT_EQ(Failure([&] { r.RemoveTexture("star"); }), "Texture star not in resources.");
    EXPECT_EQ(Failure([&] { r.GetMesh("bus"); }), "Mesh bus not in resources.");
    EXPECT_EQ(Failure([&] { r.GetSample("x"); }), "Sample x not in resources.");
    EXPECT_EQ(Failure([&] { r.GetModule("y"); }), "Module y not in resources.");
    EXPECT_EQ(r.GetTexture("lamp"), 5u); // failures leave the tables unchanged
}

TEST(TResources, RemoveKeepsTheOrderOfTheRest) {
    TResources r;
    r.AddTexture("intro", 1);
    r.AddTexture("logo", 2);
    r.AddTexture("loader", 3);
    EXPECT_EQ(r.RemoveTexture("intro"), 1u);
    EXPECT_EQ(r.IndexOfTexture("logo"), 0);
    EXPECT_EQ(r.IndexOfTexture("loader"), 1);
    EXPECT_EQ(r.IndexOfTexture("intro"), -1);
    EXPECT_EQ(r.GetTexture("loader"), 3u);
    r.AddTexture("intro", 4); // may be registered again after removal
    EXPECT_EQ(r.IndexOfTexture("intro"), 2);
}

TEST(TResources, MeshRecordCopiesAllFiveWords) {
    TResources r;
    TMeshRecord in;
    in.List = 42;
    in.Extent = VectorMake(4.2f, 1.7f, 1.4f);
    r.AddMesh("golf", in);
    TMeshRecord out = r.GetMesh("golf");
    EXPECT_EQ(out.List, 42u);
    EXPECT_FLOAT_EQ(out.Extent.x, 4.2f);
    EXPECT_FLOAT_EQ(out.Extent.y, 1.7f);
    EXPECT_FLOAT_EQ(out.Extent.z, 1.4f);
}

TEST(TResources, NamesAreCutTo255Characters) {
    TResources r;
    std::string longName(300, 'a');
    r.AddTexture(longName, 1);
    EXPECT_EQ(r.GetTexture(std::string(255, 'a')), 1u);
    EXPECT_THROW(r.AddTexture(std::string(256, 'a'), 2), Exception);
}
