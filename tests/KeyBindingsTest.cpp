#include "controls/KeyBindings.h"
#include "player/Replay.h"
#include "uKeyboard.h"
#include "uText1250.h"

#include <gtest/gtest.h>

TEST(TKeyBindings, AKeyGoesToOneActionAndNeverToTheGamesOwnKeys) {
    struct TCase {
        int Player;
        TKeyAction Action;
        uint32_t Key;
        TBindResult Result;
    };
    const TCase cases[] = {
        {0, TKeyAction::Accelerate, DIK_I, TBindResult::Bound},
        {0, TKeyAction::Accelerate, DIK_UP, TBindResult::Bound}, // its own key again
        {1, TKeyAction::Map, DIK_M, TBindResult::Bound},
        {0, TKeyAction::Horn, DIK_W, TBindResult::Taken},   // player 2's accelerator
        {1, TKeyAction::Camera, DIK_Q, TBindResult::Taken}, // player 1's headlights
        {0, TKeyAction::Map, DIK_F11, TBindResult::Reserved},
        {0, TKeyAction::Map, DIK_RETURN, TBindResult::Reserved},
        {0, TKeyAction::Map, DIK_ESCAPE, TBindResult::Reserved},
        {0, TKeyAction::Map, DIK_LMENU, TBindResult::Reserved},
        {0, TKeyAction::Map, DIK_RCONTROL, TBindResult::Reserved},
        {0, TKeyAction::Map, NoKey, TBindResult::Unknown},
        {0, TKeyAction::Map, 0x80, TBindResult::Unknown},
    };
    for (const TCase& c : cases) {
        TKeyBindings keys = TKeyBindings::Defaults();
        TKeyBindings before = keys;
        EXPECT_EQ(keys.Bind(c.Player, c.Action, c.Key), c.Result) << NameOfScanCode(c.Key);
        EXPECT_EQ(keys.Key(c.Player, c.Action),
                  c.Result == TBindResult::Bound ? c.Key : before.Key(c.Player, c.Action));
        EXPECT_TRUE(keys.Valid());
    }
    TKeyBindings keys = TKeyBindings::Defaults();
    int holder = -1;
    TKeyAction action = TKeyAction::Accelerate;
    ASSERT_EQ(keys.Bind(0, TKeyAction::Camera, DIK_A, &holder, &action), TBindResult::Taken);
    EXPECT_EQ(holder, 1);
    EXPECT_EQ(action, TKeyAction::Lights);
    keys.Keys[0][0] = keys.Keys[1][0];
    EXPECT_FALSE(keys.Valid()) << "one key for two actions";
}

TEST(TKeyBindings, TextsNameTheChosenKeysInBothLanguages) {
    TKeyBindings keys = TKeyBindings::Defaults();
    EXPECT_EQ(DrivingKeysText(keys, 0, 0), "Arrow keys");
    EXPECT_EQ(DrivingKeysText(keys, 1, 0), "W, S, E, R keys");
    EXPECT_EQ(Cp1250ToUtf8(DrivingKeysText(keys, 1, 1)), "Klávesy W, S, E, R");
    EXPECT_EQ(MapHintText(keys, 0), "You can use TAB key to see the city map");
    keys.Bind(0, TKeyAction::Accelerate, DIK_SPACE);
    keys.Bind(0, TKeyAction::Left, DIK_NUMPAD4);
    keys.Bind(0, TKeyAction::Map, DIK_M);
    EXPECT_EQ(DrivingKeysText(keys, 0, 0), "Space, Down, Num 4, Right keys");
    EXPECT_EQ(Cp1250ToUtf8(DrivingKeysText(keys, 0, 1)), "Klávesy Mezerník, Dolů, Num 4, Vpravo");
    EXPECT_EQ(Cp1250ToUtf8(MapHintText(keys, 1)),
              "Klávesou M se podíváš na plán města, nic ti při tom neuteče");
    keys.Keys[0][size_t(TKeyAction::Map)] = NoKey;
    EXPECT_EQ(MapHintText(keys, 0), "") << "no map key, no hint";
}

TEST(TKeyBindings, AReplayKeepsTheMapAndCameraAsTheDefaultKeys) {
    TKeyBindings keys = TKeyBindings::Defaults();
    keys.Bind(0, TKeyAction::Camera, DIK_V);
    keys.Bind(0, TKeyAction::Map, DIK_M);
    keys.Keys[0][size_t(TKeyAction::Horn)] = NoKey;
    keys.Bind(0, TKeyAction::Horn, DIK_C);
    uint8_t state[256] = {}, played[256] = {};
    state[DIK_V] = state[DIK_C] = state[DIK_UP] = 0x80; // the camera, the horn on C, an arrow
    SetReplayKeys(ReplayKeyBits(state, keys), played);
    EXPECT_TRUE(played[DIK_C] && played[DIK_UP]);
    EXPECT_FALSE(played[DIK_TAB]);
    state[DIK_V] = 0;
    state[DIK_M] = 0x80;
    SetReplayKeys(ReplayKeyBits(state, keys), played);
    EXPECT_TRUE(played[DIK_TAB]);
    EXPECT_FALSE(played[DIK_C]) << "the horn's C is no camera key in the replay";
}
