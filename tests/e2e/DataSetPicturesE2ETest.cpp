// The generated pictures and fonts in the real engine: every picture of the game goes through the
// game's texture loader into a GL context, and the main menu is composed from them as the game
// places it (intro behind, panel, title, items in both fonts, marker) and checked on screen.
#include "tables/FaceTable.h"
#include "TestSupport.h"
#include "uEngine.h"
#include "uGLFont.h"
#include "uHarness.h"
#include "uText1250.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::string Data(const std::string& relative) {
    return std::string(KAL_RUN_DIR) + "/data/" + relative;
}

bool HaveData() {
    return std::filesystem::exists(Data("fonts/menu_item.dat"));
}

std::string ShotPath(const std::string& name) {
    std::filesystem::create_directories(KAL_SCREENSHOT_DIR);
    return std::string(KAL_SCREENSHOT_DIR) + "/" + name;
}

THarnessOptions Shot(uint64_t frame, const std::string& file) {
    THarnessOptions options;
    options.FixedClock = true;
    options.Shots.emplace_back(frame, file);
    return options;
}

const char* const GamePictures[] = {
    "intro",          "quillmark",       "tarvelgame",
    "menu_quillmark", "menu_kalmirov",   "menu_kalmirov_multi",
    "menu_bg",        "menu_enter",      "menu_confirm",
    "menu_adjust",    "menu_left",       "menu_right",
    "menu_none",      "symbol_time",     "symbol_fuel",
    "symbol_damage",  "symbol_load",     "symbol_fragile",
    "symbol_targets", "sipka_target",    "map_outline",
    "map_arrow",      "map_destination", "lamp",
    "particle_star",  "brake",           "cone",
    "shadow",         "target",          "minus25",
    "hint",           "timer_one",       "timer_two",
    "timer_three",    "timer_go",        "responsible_en",
    "responsible_cz", "loader",
};

} // namespace

TEST(DataSetPicturesE2E, EveryPictureLoadsAsATexture) {
    if (!HaveData())
        NO_DATA_TREE(KAL_RUN_DIR);
    TMessageRecorder messages;
    TEngine engine(640, 480, false, 32, Shot(1, ShotPath("datapictures_load.png")));
    std::vector<uint32_t> ids;
    for (const char* name : GamePictures)
        ids.push_back(engine.LoadTexture(Data(std::string("bitmaps/") + name + ".bmp")));
    for (const TFaceRow& face : FaceTable)
        ids.push_back(engine.LoadTexture(Data(std::string("bitmaps/face_") + face.Name + ".bmp")));
    for (uint32_t id : ids)
        EXPECT_NE(id, 0u);
    EXPECT_TRUE(messages.Messages.empty());
}

TEST(DataSetPicturesE2E, MainMenuOverTheIntro) {
    if (!HaveData())
        NO_DATA_TREE(KAL_RUN_DIR);
    std::string shotFile = ShotPath("datapictures_menu.png");
    TMessageRecorder messages;
    {
        TEngine engine(640, 480, false, 32, Shot(2, shotFile));
        // As the main menu shows itself once the intro has slid up.
        TSprite intro(engine.LoadTexture(Data("bitmaps/intro.bmp")), 0, -64, 1024, 1024, 255);
        TSprite panel(engine.LoadTexture(Data("bitmaps/menu_bg.bmp")), 0, 107, 640, 286, 248);
        TSprite logo(engine.LoadTexture(Data("bitmaps/menu_kalmirov.bmp")), 120, 320, 512, 128, 255);
        TSprite marker(engine.LoadTexture(Data("bitmaps/menu_enter.bmp")), 350 - 70, 300 - 2, 64, 32, 255);
        for (TSprite* sprite : {&intro, &panel, &logo, &marker})
            engine.AddSprite(sprite);
        TGLFont item(Data("fonts/menu_item.bmp"), Data("fonts/menu_item.dat"), 640, 480);
        TGLFont text(Data("fonts/menu_text.bmp"), Data("fonts/menu_text.dat"), 640, 480);
        item.Alpha = 255;
        text.Alpha = 255;
        for (int frame = 0; frame < 2; ++frame) {
            engine.BeginFrame();
            engine.DrawSprites();
            item.SetColor(231, 0, 75);
            item.DrawText(UpperCp1250(Utf8ToCp1250("Závod pro jednoho")), 350, 300, 32);
            item.SetColor(255, 255, 255);
            item.DrawText(UpperCp1250(Utf8ToCp1250("Nastavení")), 350, 180, 32);
            text.DrawText(Utf8ToCp1250("Použij šipky vlevo/vpravo ke změně hodnoty"), 90, 120, 16);
            engine.EndFrame();
        }
    }
    EXPECT_TRUE(messages.Messages.empty());

    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadPNG(shotFile, width, height, rgb));
    ASSERT_EQ(width, 640);
    auto at = [&](int x, int layoutY) {
        return &rgb[(size_t(height - 1 - layoutY) * size_t(width) + size_t(x)) * 3];
    };
    auto count = [&](int x0, int y0, int x1, int y1, auto test) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += test(at(x, y));
        return n;
    };
    auto accent = [](const uint8_t* p) { return p[0] > 170 && p[1] < 60 && p[2] > 40 && p[2] < 140; };
    auto white = [](const uint8_t* p) { return p[0] > 220 && p[1] > 220 && p[2] > 220; };
    // The selected item in the accent colour, the other in white, over the dark panel.
    EXPECT_GT(count(350, 300, 630, 332, accent), 300);
    EXPECT_GT(count(350, 180, 560, 212, white), 300);
    EXPECT_LT(count(350, 205, 630, 235, white), 20) << "nothing bright between the items";
    // The marker beside the selected item and the glowing title above the panel.
    EXPECT_GT(count(280, 298, 344, 330, accent), 40);
    EXPECT_GT(count(120, 340, 632, 440, white), 500);
    // The help line in the small font.
    EXPECT_GT(count(90, 120, 400, 136, white), 100);
}
