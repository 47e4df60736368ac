// The weather particles on the fixed clock: emission limits, lifetimes, motion and fading. Drawing is
// covered by the end-to-end test.
#include "uParticleSystem.h"
#include "uPlatform.h"
#include "uRandom.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class ParticleSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        Previous = SetClock(&Clock);
        Clock.Advance(100.0); // well past zero, as in a running game
        SeedRandom(7);
        Camera.SetTarget(100, 200);
        Camera.SetDistance(12);
    }
    void TearDown() override { SetClock(Previous); }

    // One frame as the engine runs it: time passes, then emission and update.
    void Frame(TParticleSystem& system, double seconds = 0.01) {
        Clock.Advance(seconds);
        system.Emit(Camera, Now());
        system.Update(float(seconds), Now());
    }

    // The game clock in whole milliseconds, as the engine hands it over.
    double Now() { return std::round(Clock.Now() * 1000.0); }

    TFixedClock Clock;
    TClock* Previous = nullptr;
    TCamera Camera;
};

} // namespace

TEST_F(ParticleSystem, OnlySnowMakesASystem) {
    EXPECT_EQ(CreateParticleEffect(ParticleNone, 5), nullptr);
    EXPECT_EQ(CreateParticleEffect(1, 5), nullptr);
    auto snow = CreateParticleEffect(ParticleSnow, 5);
    ASSERT_NE(snow, nullptr);
    EXPECT_EQ(snow->Texture, 5u);
    EXPECT_EQ(snow->MaxParticles, 500);
    EXPECT_EQ(snow->Count, 0);
    EXPECT_TRUE(snow->Particles.IsEmpty());
    EXPECT_FLOAT_EQ(snow->Color.x, 1);
    EXPECT_FLOAT_EQ(snow->Acceleration.z, 0);
}

TEST_F(ParticleSystem, SnowEmitsOnePerFrameUpTo500) {
    auto snow = CreateParticleEffect(ParticleSnow, 5);
    // With time standing still nothing expires: exactly one new particle per frame, 500 at most.
    for (int frame = 1; frame <= 500; ++frame) {
        Frame(*snow, 0);
        ASSERT_EQ(snow->Count, frame);
    }
    Frame(*snow, 0);
    EXPECT_EQ(snow->Count, 500);
    EXPECT_EQ(snow->Particles.Count(), 500);
}

TEST_F(ParticleSystem, SnowAtOneHundredFramesASecondLevelsOffBelowTheLimit) {
    auto snow = CreateParticleEffect(ParticleSnow, 5);
    // No particle lives less than 4.5 s: the first 450 frames only add.
    for (int frame = 1; frame <= 450; ++frame) {
        Frame(*snow);
        ASSERT_EQ(snow->Count, frame);
    }
    int previous = snow->Count, lowest = 500;
    for (int frame = 451; frame <= 3000; ++frame) {
        Frame(*snow);
        ASSERT_LE(snow->Count, 500);
        ASSERT_LE(snow->Count, previous + 1);
        ASSERT_EQ(snow->Count, snow->Particles.Count());
        previous = snow->Count;
        if (frame > 600)
            lowest = std::min(lowest, snow->Count);
    }
    // Then they expire about as fast as they come.
    EXPECT_GT(lowest, 440);
}

TEST_F(ParticleSystem, SnowStartsAboveTheTargetAndFallsStraightDown) {
    auto snow = CreateParticleEffect(ParticleSnow, 5);
    for (int frame = 0; frame < 300; ++frame)
        snow->Emit(Camera, Now());
    double now = GetTime() * 1000;
    for (TNode<TParticle>* node = snow->Particles.First(); !node->IsTail(); node = node->Next) {
        const TParticle& p = *node->Data;
        ASSERT_GE(p.Position.x, 95);
        ASSERT_LT(p.Position.x, 105);
        ASSERT_GE(p.Position.y, 195);
        ASSERT_LT(p.Position.y, 205);
        ASSERT_FLOAT_EQ(p.Position.z, 7); // camera distance less 5 m
        float speed = std::sqrt(VectorDot(p.Velocity, p.Velocity));
        ASSERT_NEAR(speed, 2.0f, 0.0011f);
        ASSERT_LT(p.Velocity.z, -1.8f); // within 0.3 rad of straight down on both angles
        ASSERT_FLOAT_EQ(p.Size, 0.04f);
        ASSERT_EQ(p.Birth, now);
        ASSERT_GE(p.Death - p.Birth, 4500);
        ASSERT_LE(p.Death - p.Birth, 5500);
        ASSERT_EQ(p.Death, std::round(p.Death)); // whole milliseconds after birth
    }
}

TEST_F(ParticleSystem, UpdateMovesThenAcceleratesAndFreesAtDeath) {
    TParticleSystem system(5);
    system.MaxParticles = 1;
    system.SpeedMean = 2;
    system.LifetimeMean = 1000; // exactly one second
    system.Acceleration = VectorMake(0, 0, -10);
    system.Emit(Camera, Now()); // straight up: both angles 0
    ASSERT_EQ(system.Count, 1);
    const TParticle& p = *system.Particles.First()->Data;
    EXPECT_FLOAT_EQ(p.Velocity.z, 2);
    Clock.Advance(0.5);
    system.Update(0.5f, Now());
    EXPECT_FLOAT_EQ(p.Position.z, 7 + 1); // moved with the old velocity
    EXPECT_FLOAT_EQ(p.Velocity.z, 2 - 5); // then accelerated
    Clock.Advance(0.25);
    system.Update(0.0f, Now());
    EXPECT_EQ(system.Count, 1);
    Clock.Advance(0.25); // the death time itself
    system.Update(0.0f, Now());
    EXPECT_EQ(system.Count, 0);
    EXPECT_TRUE(system.Particles.IsEmpty());
}

TEST_F(ParticleSystem, AlphaFallsLinearlyFromPointSevenToZero) {
    TParticle p;
    p.Birth = 1000;
    p.Death = 6000;
    EXPECT_FLOAT_EQ(TParticleSystem::Alpha(p, 1000), 0.7f);
    EXPECT_FLOAT_EQ(TParticleSystem::Alpha(p, 3500), 0.35f);
    EXPECT_FLOAT_EQ(TParticleSystem::Alpha(p, 5000), 0.14f);
    EXPECT_FLOAT_EQ(TParticleSystem::Alpha(p, 6000), 0.0f);
    p.Death = p.Birth; // no lifetime at all: invisible, not a division by zero
    EXPECT_FLOAT_EQ(TParticleSystem::Alpha(p, 1000), 0.0f);
}

TEST_F(ParticleSystem, SameSeedSameSnow) {
    SeedRandom(42);
    auto a = CreateParticleEffect(ParticleSnow, 5);
    a->Emit(Camera, Now());
    SeedRandom(42);
    auto b = CreateParticleEffect(ParticleSnow, 5);
    b->Emit(Camera, Now());
    const TParticle &pa = *a->Particles.First()->Data, &pb = *b->Particles.First()->Data;
    EXPECT_EQ(pa.Position.x, pb.Position.x);
    EXPECT_EQ(pa.Velocity.y, pb.Velocity.y);
    EXPECT_EQ(pa.Death, pb.Death);
}

TEST(uRandom, RangesAndRepeatability) {
    SeedRandom(3);
    std::vector<int> counts(6, 0);
    for (int i = 0; i < 60000; ++i) {
        int32_t r = Random(6);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 6);
        ++counts[size_t(r)];
    }
    for (int c : counts)
        EXPECT_NEAR(c, 10000, 500);
    for (int i = 0; i < 10000; ++i) {
        float u = RandomFloat();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(Random(1), 0);
    SeedRandom(11);
    int32_t first = Random(1000000);
    float second = RandomFloat();
    SeedRandom(11);
    EXPECT_EQ(Random(1000000), first);
    EXPECT_EQ(RandomFloat(), second);
}

TEST(uRandom, RandomizeFollowsTheGameClock) {
    TFixedClock clock;
    TClock* previous = SetClock(&clock);
    clock.Advance(12.34);
    Randomize();
    int32_t a = Random(1 << 30);
    Randomize();
    int32_t b = Random(1 << 30);
    clock.Advance(0.01);
    Randomize();
    int32_t c = Random(1 << 30);
    SetClock(previous);
    EXPECT_EQ(a, b); // the same moment on the fixed clock: the same sequence (replays repeat)
    EXPECT_NE(a, c);
}

TEST(uRandom, EffectsNeverMoveTheWorldsSequenceAndRepeatWithTheSeed) {
    SeedRandom(5);
    int32_t world = Random(1000000);
    float effect = EffectRandomFloat();
    SeedRandom(5);
    for (int i = 0; i < 50; ++i)
        EffectRandom(64); // a frame's lamps flickering, say
    EXPECT_EQ(Random(1000000), world);
    ReseedRandom(5);
    EXPECT_EQ(EffectRandomFloat(), effect);
}
