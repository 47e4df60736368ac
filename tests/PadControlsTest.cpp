#include "controls/PadControls.h"
#include "uGamepad.h"
#include "uKeyboard.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(PadControls, SteerCurveIsZeroInTheDeadZoneFullAtTheEndsAndSquaredBetween) {
    EXPECT_EQ(SteerCurve(0), 0.0f);
    EXPECT_EQ(SteerCurve(0.15f), 0.0f);
    EXPECT_EQ(SteerCurve(-0.1f), 0.0f);
    EXPECT_FLOAT_EQ(SteerCurve(1), 1.0f);
    EXPECT_FLOAT_EQ(SteerCurve(-1), 1.0f);
    // Half way past the dead zone steers a quarter: small moves steer finely.
    EXPECT_NEAR(SteerCurve(0.575f), 0.25f, 1e-5f);
    EXPECT_NEAR(SteerCurve(-0.575f), 0.25f, 1e-5f);
}

TEST(PadControls, TriggerCurveRunsFromReleasedToPulledInProportion) {
    EXPECT_EQ(TriggerCurve(-1), 0.0f);
    EXPECT_EQ(TriggerCurve(-0.95f), 0.0f); // resting a finger on it does nothing
    EXPECT_FLOAT_EQ(TriggerCurve(1), 1.0f);
    EXPECT_NEAR(TriggerCurve(0), 0.45f / 0.95f, 1e-5f);
}

TEST(PadControls, QuantizedAmountsKeepTheEndsExact) {
    EXPECT_EQ(QuantizedAmount(0), 0.0f);
    EXPECT_EQ(QuantizedAmount(1), 1.0f);
    EXPECT_EQ(QuantizedAmount(2), 1.0f);
    EXPECT_EQ(QuantizedAmount(0.5f), 128.0f / 255);
}

TEST(PadControls, ButtonsStandForThePlayersKeys) {
    TPadState pad;
    pad.Connected = true;
    pad.Buttons[int(TPadButton::A)] = true;
    pad.Buttons[int(TPadButton::X)] = true;
    pad.Buttons[int(TPadButton::Y)] = true;
    pad.Buttons[int(TPadButton::DpadLeft)] = true;
    pad.Buttons[int(TPadButton::DpadUp)] = true;
    uint8_t keys[256] = {};
    const TKeyBindings defaults = TKeyBindings::Defaults();
    MergePadKeys(pad, 1, false, defaults, keys);
    EXPECT_TRUE(keys[DIK_RETURN] && keys[DIK_LCONTROL] && keys[DIK_Q] && keys[DIK_LEFT]);
    EXPECT_FALSE(keys[DIK_UP]) << "the d-pad's up does not accelerate";

    std::memset(keys, 0, sizeof keys);
    MergePadKeys(pad, 2, false, defaults, keys);
    EXPECT_TRUE(keys[DIK_RETURN] && keys[DIK_Y] && keys[DIK_A] && keys[DIK_E]);
    EXPECT_FALSE(keys[DIK_LEFT] || keys[DIK_LCONTROL]);

    std::memset(keys, 0, sizeof keys);
    MergePadKeys(pad, 1, true, defaults, keys);
    EXPECT_TRUE(keys[DIK_UP] && keys[DIK_LEFT] && keys[DIK_RETURN]);

    std::memset(keys, 0, sizeof keys);
    pad.Connected = false;
    MergePadKeys(pad, 1, true, defaults, keys);
    EXPECT_FALSE(keys[DIK_RETURN]) << "an unplugged pad presses nothing";

    // Remapped keys: the buttons follow the player's own keys.
    TKeyBindings moved = defaults;
    ASSERT_EQ(moved.Bind(0, TKeyAction::Horn, DIK_H), TBindResult::Bound);
    ASSERT_EQ(moved.Bind(0, TKeyAction::Left, DIK_J), TBindResult::Bound);
    std::memset(keys, 0, sizeof keys);
    pad.Connected = true;
    MergePadKeys(pad, 1, false, moved, keys);
    EXPECT_TRUE(keys[DIK_H] && keys[DIK_J]);
    EXPECT_FALSE(keys[DIK_LCONTROL] || keys[DIK_LEFT]);
}

TEST(PadScript, EventsHoldFromTheirPassOnForTheNamedPad) {
    TScriptPadSource source = TScriptPadSource::FromText("# a comment\n"
                                                         "10 axis LEFTX -0.5\n"
                                                         "5 button A down\n"
                                                         "12 pad2 axis right_trigger 1\n"
                                                         "20 button A up\n",
                                                         "pad.txt");
    TPadState pads[MaxPads];
    source.Read(pads, 4);
    EXPECT_FALSE(pads[0].Connected);
    source.Read(pads, 5);
    EXPECT_TRUE(pads[0].Connected && pads[0].Button(TPadButton::A));
    source.Read(pads, 12);
    EXPECT_EQ(pads[0].Axis(TPadAxis::LeftX), -0.5f);
    EXPECT_TRUE(pads[1].Connected);
    EXPECT_EQ(pads[1].Axis(TPadAxis::RightTrigger), 1.0f);
    EXPECT_EQ(pads[1].Axis(TPadAxis::LeftTrigger), -1.0f) << "an untouched trigger rests released";
    source.Read(pads, 25);
    EXPECT_FALSE(pads[0].Button(TPadButton::A));
}

TEST(PadScript, BadLinesAreRefusedWithTheirLineNumber) {
    for (const char* bad : {"x axis LEFTX 0", "1 axis NOSE 0", "1 axis LEFTX 2", "1 button A sideways",
                            "1 wiggle A down", "1 axis LEFTX"}) {
        try {
            TScriptPadSource::FromText(std::string("\n") + bad + "\n", "pad.txt");
            ADD_FAILURE() << bad;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find("pad.txt, line 2"), std::string::npos) << e.what();
        }
    }
}
