#include "uErrors.h"
#include "uKeyboard.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class KeyboardTest : public ::testing::Test {
  protected:
    // One input step: snapshot, queries by the caller, then save.
    void Snapshot(TKeySource& source) { source.Read(Keys.Now, Pass++); }
    bool KeyDown(uint32_t code) const { return Keys.Down(code); }
    bool KeyPressed(uint32_t code) const { return Keys.Pressed(code); }
    void SaveKeyboard() { Keys.Save(); }
    TKeySnapshot Keys;
    uint64_t Pass = 0;
};

} // namespace

TEST_F(KeyboardTest, HeldKeyIsPressedOnlyInItsFirstStep) {
    TLiveKeySource live;
    live.SetKey(DIK_UP, true);
    int pressed = 0, down = 0;
    for (int step = 0; step < 5; ++step) {
        Snapshot(live);
        pressed += KeyPressed(DIK_UP);
        down += KeyDown(DIK_UP);
        SaveKeyboard();
    }
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(down, 5);
}

TEST_F(KeyboardTest, PressAndReleaseBetweenSnapshotsCountsOnce) {
    TLiveKeySource live;
    Snapshot(live);
    SaveKeyboard();
    live.SetKey(DIK_SPACE, true);
    live.SetKey(DIK_SPACE, false);
    Snapshot(live);
    EXPECT_TRUE(KeyPressed(DIK_SPACE));
    SaveKeyboard();
    Snapshot(live);
    EXPECT_FALSE(KeyDown(DIK_SPACE));
}

TEST_F(KeyboardTest, EveryKeyDownInTheFirstStepCountsAsPressed) {
    TLiveKeySource live;
    live.SetKey(DIK_RETURN, true);
    live.SetKey(DIK_RCONTROL, true);
    Snapshot(live);
    EXPECT_TRUE(KeyPressed(DIK_RETURN));
    EXPECT_TRUE(KeyPressed(DIK_RCONTROL));
}

TEST_F(KeyboardTest, PressedAgainAfterRelease) {
    TLiveKeySource live;
    live.SetKey(DIK_A, true);
    Snapshot(live);
    EXPECT_TRUE(KeyPressed(DIK_A));
    SaveKeyboard();
    live.SetKey(DIK_A, false);
    Snapshot(live);
    SaveKeyboard();
    live.SetKey(DIK_A, true);
    Snapshot(live);
    EXPECT_TRUE(KeyPressed(DIK_A));
}

TEST_F(KeyboardTest, CodesAbove255AreRangeErrors) {
    EXPECT_THROW(KeyDown(256), ERangeError);
    EXPECT_THROW(KeyPressed(1000), ERangeError);
    EXPECT_NO_THROW(KeyDown(255));
}

TEST(KeyMapping, GameKeysHaveTheirDirectInputCodes) {
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_ESCAPE), 1u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_1), 2u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_8), 9u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_BACKSPACE), 14u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_TAB), 15u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_Q), 16u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_W), 17u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_E), 18u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_R), 19u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_Y), 21u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_ENTER), 28u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_LEFT_CONTROL), 29u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_A), 30u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_S), 31u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_C), 46u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_RIGHT_SHIFT), 54u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_SPACE), 57u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_F1), 59u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_F10), 68u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_RIGHT_CONTROL), 157u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_UP), 200u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_LEFT), 203u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_RIGHT), 205u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_DOWN), 208u);
    EXPECT_EQ(ScanCodeOfGlfwKey(GLFW_KEY_UNKNOWN), 0u);
}

TEST_F(KeyboardTest, ScriptPressesAndReleasesOnItsPasses) {
    TScriptKeySource script = TScriptKeySource::FromText("# drive\n2 down UP\n4 up DIK_UP\n3 down space\n", "t");
    std::vector<int> up, space;
    for (int step = 0; step < 6; ++step) {
        Snapshot(script);
        up.push_back(KeyDown(DIK_UP));
        space.push_back(KeyPressed(DIK_SPACE));
        SaveKeyboard();
    }
    EXPECT_EQ(up, (std::vector<int>{0, 0, 1, 1, 0, 0}));
    EXPECT_EQ(space, (std::vector<int>{0, 0, 0, 1, 0, 0}));
}

TEST(KeyScript, BadLinesNameTheLine) {
    auto message = [](const std::string& text) {
        try {
            TScriptKeySource::FromText(text, "keys.txt");
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("1 down UP\n2 push UP\n"), "keys.txt, line 2: \"push\" is neither down nor up");
    EXPECT_EQ(message("x down UP"), "keys.txt, line 1: \"x\" is not a pass number");
    EXPECT_EQ(message("1 down NOKEY"), "keys.txt, line 1: unknown key \"NOKEY\"");
    EXPECT_EQ(message("1 down"), "keys.txt, line 1: expected \"<pass> down|up <key>\"");
    EXPECT_EQ(message("-1 down UP"), "keys.txt, line 1: \"-1\" is not a pass number");
}

// The controller's stream: a pass reads up to its "go" line and no further, so the keys of a later
// pass are not taken before their time.
TEST_F(KeyboardTest, StreamPassReadsUpToItsGoLine) {
    std::istringstream input("0 go\n1 down UP\n1 go\n3 down LEFT\n2 go\n3 up UP\n3 go\n");
    TStreamKeySource stream(input, "test");
    uint8_t state[256];
    stream.Read(state, 0);
    EXPECT_EQ(state[DIK_UP], 0);
    stream.Read(state, 1);
    EXPECT_EQ(state[DIK_UP], 0x80);
    stream.Read(state, 2);
    EXPECT_EQ(state[DIK_LEFT], 0) << "an event for pass 3 waits for pass 3";
    EXPECT_EQ(input.tellg(), std::streampos(37)) << "pass 2 stops reading at its go line";
    stream.Read(state, 3);
    EXPECT_EQ(state[DIK_LEFT], 0x80);
    EXPECT_EQ(state[DIK_UP], 0);
    EXPECT_FALSE(stream.Ended());
}

TEST_F(KeyboardTest, StreamEndsWhenTheControllerCloses) {
    std::istringstream input("0 down SPACE\n0 go\n");
    TStreamKeySource stream(input, "test");
    uint8_t state[256];
    stream.Read(state, 0);
    EXPECT_FALSE(stream.Ended());
    stream.Read(state, 1);
    EXPECT_TRUE(stream.Ended());
    EXPECT_EQ(state[DIK_SPACE], 0x80) << "keys stay as they were";
}

TEST(KeyStream, BadLinesNameTheLine) {
    std::istringstream input("0 go\n1 down NOSUCHKEY\n");
    TStreamKeySource stream(input, "standard input");
    uint8_t state[256];
    stream.Read(state, 0);
    try {
        stream.Read(state, 1);
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("standard input, line 2"), std::string::npos) << e.what();
    }
}
