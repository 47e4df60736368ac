// The 3D sprite kinds frame by frame, stepped as the engine's 3D pass steps them (Update, then
// Animate), with made-up texture ids and the game's random generator seeded for repeatable runs.
#include "sprites/BloodSprite.h"
#include "sprites/CheckpointSprite.h"
#include "sprites/LampSprite.h"
#include "Resources.h"
#include "sprites/StarSprite.h"
#include "sprites/TrackSprite.h"
#include "uErrors.h"
#include "uRandom.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class Sprites3D : public ::testing::Test {
  protected:
    void SetUp() override {
        Resources().Clear();
        Resources().AddTexture("star", 11);
        Resources().AddTexture("target", 12);
        Resources().AddTexture("lamp", 13);
        Resources().AddTexture("cone", 14);
        SeedRandom(1234);
    }
    void TearDown() override { Resources().Clear(); }

    static void Frame(TSprite3D& sprite) {
        sprite.Update();
        sprite.Animate();
    }
    // Frames until the sprite clears its alive flag (the frame that clears it included).
    static int Lifetime(TSprite3D& sprite, int limit = 100000) {
        for (int frame = 1; frame <= limit; ++frame) {
            Frame(sprite);
            if (!sprite.Alive)
                return frame;
        }
        return -1;
    }
};

} // namespace

TEST_F(Sprites3D, StarsBelowGroundDieAtTheirFirstFrame) {
    for (int i = 0; i < 200; ++i) {
        // Even the steepest climb (0.1 m per frame) cannot lift it out of the ground in one frame.
        TStarSprite star(VectorMake(10, 10, -0.11f));
        EXPECT_EQ(Lifetime(star, 1), 1);
    }
}

TEST_F(Sprites3D, StarsFlyOutwardsAndFallBack) {
    TStarSprite star(VectorMake(10, 20, 1.0f), 0.1f);
    EXPECT_EQ(star.Texture, 11u);
    EXPECT_EQ(star.Alpha, 96);
    EXPECT_FLOAT_EQ(star.Width, 0.1f);
    EXPECT_EQ(star.Red, 231);
    // Horizontal speed at most 0.9 / 25 m per frame, vertical 0 to 0.1.
    EXPECT_LE(std::hypot(star.Velocity.x, star.Velocity.y), 0.9f / 25.0f + 1e-6f);
    EXPECT_GE(star.Velocity.z, 0.0f);
    EXPECT_LE(star.Velocity.z, 0.1f);
    float vz = star.Velocity.z;
    Frame(star);
    EXPECT_FLOAT_EQ(star.Velocity.z, vz - 0.001f);
    EXPECT_FLOAT_EQ(star.Position.z, 1.0f + vz - 0.001f);
    EXPECT_FLOAT_EQ(star.Angle, 0.1f);
    // Every star comes down within about 250 frames (1 m, climbing at most 0.1 m per frame).
    int frames = Lifetime(star, 1000);
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 260);
    EXPECT_LE(star.Position.z, 0.0f);
}

TEST_F(Sprites3D, StarsRepeatWithTheSameSeed) {
    SeedRandom(99);
    TStarSprite a(VectorMake(0, 0, 1));
    SeedRandom(99);
    TStarSprite b(VectorMake(0, 0, 1));
    EXPECT_EQ(a.Velocity.x, b.Velocity.x);
    EXPECT_EQ(a.Velocity.y, b.Velocity.y);
    EXPECT_EQ(a.Velocity.z, b.Velocity.z);
}

TEST_F(Sprites3D, CheckpointPulsesUntilReachedThenFadesIn56Frames) {
    TCheckpointSprite ring(5, 6, 2);
    EXPECT_EQ(ring.Alpha, 112);
    EXPECT_EQ(ring.Blue, 255);
    EXPECT_EQ(ring.Green, 220);
    EXPECT_FLOAT_EQ(ring.Position.z, 0);
    float smallest = 10, largest = 0;
    for (int frame = 1; frame <= 180; ++frame) {
        Frame(ring);
        smallest = std::min(smallest, ring.Width);
        largest = std::max(largest, ring.Width);
        if (frame == 45) {
            EXPECT_FLOAT_EQ(ring.Width, 4.5f); // sin 90°
        }
    }
    EXPECT_NEAR(smallest, 3.5f, 1e-4);
    EXPECT_NEAR(largest, 4.5f, 1e-4);
    for (int frame = 181; frame <= 200; ++frame)
        Frame(ring);
    float size = ring.Width;
    ring.Reached = true;
    for (int frame = 1; frame <= 55; ++frame) {
        Frame(ring);
        ASSERT_TRUE(ring.Alive) << frame;
        ASSERT_EQ(ring.Alpha, 112 - 2 * frame);
        ASSERT_EQ(ring.Width, size); // stopped pulsing
    }
    Frame(ring);
    EXPECT_FALSE(ring.Alive);
    EXPECT_EQ(ring.Alpha, 0);
    // Stepped again (added back by mistake), it stays transparent instead of wrapping to opaque.
    ring.Alive = true;
    Frame(ring);
    EXPECT_EQ(ring.Alpha, 0);
    EXPECT_FALSE(ring.Alive);
}

TEST_F(Sprites3D, CheckpointOfUnknownKindFails) {
    EXPECT_THROW(TCheckpointSprite(0, 0, 4), ERangeError);
}

TEST_F(Sprites3D, TrackKeepsAlpha64For100FramesAndIsGoneAfterFrame164) {
    TTrackSprite track(13);
    EXPECT_EQ(track.Alpha, 64);
    EXPECT_FLOAT_EQ(track.Width, 0.15f);
    EXPECT_EQ(track.Red, 192);
    EXPECT_FALSE(track.Billboard);
    for (int frame = 1; frame <= 100; ++frame) {
        Frame(track);
        ASSERT_EQ(track.Alpha, 64) << frame;
    }
    for (int frame = 101; frame <= 163; ++frame) {
        Frame(track);
        ASSERT_EQ(track.Alpha, 164 - frame) << frame;
        ASSERT_TRUE(track.Alive) << frame;
    }
    Frame(track);
    EXPECT_EQ(track.Alpha, 0);
    EXPECT_FALSE(track.Alive);
}

TEST_F(Sprites3D, StainSpreadsStaysFor500FramesAndFadesWithin255More) {
    for (int i = 0; i < 50; ++i) {
        TBloodSprite stain(30, 40, true);
        EXPECT_EQ(stain.Texture, 13u);
        EXPECT_EQ(stain.Red, 128);
        EXPECT_EQ(stain.Green, 0);
        EXPECT_GE(stain.Alpha, 128);
        EXPECT_GE(stain.Position.x, 29.8f);
        EXPECT_LT(stain.Position.x, 30.2f);
        EXPECT_GE(stain.Position.y, 39.8f);
        EXPECT_LT(stain.Position.y, 40.2f);
        EXPECT_GE(stain.Width, 0.25f);
        EXPECT_LT(stain.Width, 0.35f);
        uint8_t alpha = stain.Alpha;
        float size = stain.Width;
        for (int frame = 1; frame <= 500; ++frame) {
            Frame(stain);
            ASSERT_EQ(stain.Alpha, alpha);
        }
        // Grew on frames 1 to 249.
        EXPECT_NEAR(stain.Width, size + 249 * 0.0005f, 1e-5);
        EXPECT_EQ(stain.Height, stain.Width);
        int more = Lifetime(stain);
        EXPECT_EQ(more, alpha); // one step of alpha per frame
        EXPECT_LE(more, 255);
    }
    TBloodSprite mud(0, 0, false);
    EXPECT_EQ(mud.Red, 215);
    EXPECT_EQ(mud.Green, 192);
    EXPECT_EQ(mud.Blue, 38);
}

TEST_F(Sprites3D, LampGlowsAsABillboardAndFlickersOnlyEverySixthFrame) {
    int flickering = 0;
    for (int i = 0; i < 2000; ++i) {
        TLampSprite lamp(VectorMake(1, 2, 1.34f));
        flickering += lamp.Flicker;
    }
    // One in a hundred, give or take.
    EXPECT_GT(flickering, 5);
    EXPECT_LT(flickering, 45);

    TLampSprite lamp(VectorMake(1, 2, 1.34f));
    EXPECT_TRUE(lamp.Billboard);
    EXPECT_TRUE(lamp.StreetLamp);
    EXPECT_EQ(lamp.Alpha, 96);
    EXPECT_FLOAT_EQ(lamp.Width, 3.3f);
    EXPECT_EQ(lamp.Blue, 168);
    lamp.Flicker = true;
    for (int frame = 1; frame <= 60; ++frame) {
        lamp.Alpha = 200; // SetLamps' value
        Frame(lamp);
        if (frame % 6 == 0)
            ASSERT_LT(lamp.Alpha, 64) << frame;
        else
            ASSERT_EQ(lamp.Alpha, 200) << frame;
    }
    lamp.Flicker = false;
    lamp.Alpha = 200;
    for (int frame = 0; frame < 12; ++frame)
        Frame(lamp);
    EXPECT_EQ(lamp.Alpha, 200);
}
