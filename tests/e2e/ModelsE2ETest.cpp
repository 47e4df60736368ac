// The generated models in a real GL context: every mesh key loads through the engine's LoadMesh from
// the build's data tree with the game's own paths, without a single loader message, and a car, a
// pedestrian and the target gift draw in their colours.
#include "../../Source/Tools/DataGen/Models/AllModels.inc"

#include "TestSupport.h"
#include "uByteReader.h"
#include "uEngine.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

using namespace models;

// The game's spelling of a data path: ".\data\cars\vwgolf\golf.3ds".
std::string GamePath(const std::string& relative) {
    std::string path = ".\\data\\" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

class ModelsE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("data/cars/vwgolf/golf.3ds"))
            << "run in the build's run directory after the data tree has been generated (KAL_BUILD_DATA)";
    }

    // Draws one model at the origin seen from the front left, reads the frame back (top row first).
    std::vector<uint8_t> Snapshot(TEngine& engine, const std::function<void()>& draw, float distance) {
        engine.BeginFrame();
        glViewport(0, 0, 640, 480);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(30, 640.0 / 480, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(-distance * 0.8, -distance * 0.55, distance * 0.35, 0, 0, 0, 0, 0, 1);
        draw();
        std::vector<uint8_t> pixels(640 * 480 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        engine.EndFrame();
        return pixels;
    }

    static int Count(const std::vector<uint8_t>& pixels,
                     const std::function<bool(int r, int g, int b)>& test) {
        int n = 0;
        for (size_t i = 0; i + 2 < pixels.size(); i += 3)
            n += test(pixels[i], pixels[i + 1], pixels[i + 2]) ? 1 : 0;
        return n;
    }

    THarnessOptions Fixed() {
        THarnessOptions options;
        options.FixedClock = true;
        return options;
    }
};

} // namespace

TEST_F(ModelsE2E, EveryMeshKeyLoadsThroughTheEngineWithoutAMessage) {
    TMessageRecorder messages;
    TEngine engine(640, 480, false, 32, Fixed());
    std::set<uint32_t> lists;
    for (const TMeshEntry& entry : MeshTable()) {
        SCOPED_TRACE(entry.Key);
        TMeshRecord record;
        engine.LoadMesh(GamePath(entry.File), *entry.Texture ? GamePath(entry.Texture) : "", entry.Scale,
                        record);
        EXPECT_NE(record.List, 0u);
        EXPECT_TRUE(lists.insert(record.List).second) << "every key gets its own display list";
        // The extent the engine reports is the model's box after scaling.
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(NativePath(GamePath(entry.File)), bytes));
        T3dsModel model;
        ASSERT_NO_THROW(model = Parse3DS(bytes, entry.File));
        dVector3 extent;
        ASSERT_TRUE(CentreAndScale(model, entry.Scale, extent));
        EXPECT_FLOAT_EQ(record.Extent.x, extent.x);
        EXPECT_FLOAT_EQ(record.Extent.y, extent.y);
        EXPECT_FLOAT_EQ(record.Extent.z, extent.z);
        EXPECT_GT(record.Extent.z, 0.1f);
    }
    for (const auto& message : messages.Messages)
        ADD_FAILURE() << message.Caption << ": " << message.Text;
}

TEST_F(ModelsE2E, CarGiftAndPedestrianDrawInTheirColours) {
    TMessageRecorder messages;
    TEngine engine(640, 480, false, 32, Fixed());
    TMeshRecord golf, wheel, gift, walker, golfRed;
    engine.LoadMesh(GamePath("cars/vwgolf/golf.3ds"), "", 1, golf);
    engine.LoadMesh(GamePath("cars/vwgolf/golf.3ds"), GamePath("aicars/vwgolf/golf_red.bmp"), 1, golfRed);
    engine.LoadMesh(GamePath("cars/vwgolf/wheel.3ds"), "", 1, wheel);
    engine.LoadMesh(GamePath("meshes/prezent.3ds"), "", 1, gift);
    engine.LoadMesh(GamePath("meshes/human2a.3ds"), "", 1, walker);
    TCarGeometry g = MeasureCar(CarDesigns()[1]);
    ASSERT_EQ(g.Name, "golf");

    auto drawCar = [&](const TMeshRecord& body) {
        return [&, body] {
            // As the vehicle draws itself: the body r below the chassis centre, the wheels H - 2r under it.
            glPushMatrix();
            glTranslatef(0, 0, -g.WheelRadius);
            glCallList(body.List);
            glPopMatrix();
            for (int i = 0; i < 4; ++i) {
                glPushMatrix();
                glTranslatef(i < 2 ? -g.FrontAxle * g.Length : g.RearAxle * g.Length,
                             i % 2 ? -g.HalfTrack : g.HalfTrack, -(g.Height - 2 * g.WheelRadius));
                glRotatef(i % 2 ? 0.0f : 180.0f, 1, 0, 0);
                glCallList(wheel.List);
                glPopMatrix();
            }
        };
    };
    // The player's lime Golf and the red traffic Golf share one file and differ only in paint.
    std::vector<uint8_t> lime = Snapshot(engine, drawCar(golf), 9);
    std::vector<uint8_t> red = Snapshot(engine, drawCar(golfRed), 9);
    auto isLime = [](int r, int g, int b) { return g > 150 && r > 100 && b < 90 && g > r; };
    auto isRed = [](int r, int g, int b) { return r > 150 && g < 70 && b < 70; };
    auto isTyre = [](int r, int g, int b) { return r < 50 && g < 50 && b < 50 && (r > 0 || g > 0 || b > 0); };
    EXPECT_GT(Count(lime, isLime), 5000);
    EXPECT_LT(Count(lime, isRed), 200);
    EXPECT_GT(Count(red, isRed), 5000);
    EXPECT_LT(Count(red, isLime), 200);
    EXPECT_GT(Count(lime, isTyre), 300) << "the wheels show below the body";

    std::vector<uint8_t> present = Snapshot(
        engine, [&] { glCallList(gift.List); }, 4);
    EXPECT_GT(Count(present, [](int r, int g, int b) { return r > 150 && g < 60 && b < 70; }), 8000);
    EXPECT_GT(Count(present, [](int r, int g, int b) { return r > 180 && g > 140 && b < 100; }), 2000);

    std::vector<uint8_t> woman = Snapshot(
        engine, [&] { glCallList(walker.List); }, 5);
    EXPECT_GT(Count(woman, [](int r, int g, int b) { return r > 150 && g < 60 && b < 80; }), 1000)
        << "red dress";
    EXPECT_TRUE(messages.Messages.empty());
}
