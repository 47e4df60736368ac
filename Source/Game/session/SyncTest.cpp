// The sync test: every tick the world ran in is stepped again from the world saved some ticks back,
// with the same inputs, and must come out the same to the last bit, section by section.
#include "session/GameEngine.h"

#include "cars/Car.h"
#include "ui/MenuImprovedEngine.h"
#include "uByteWriter.h"

#include <cstdio>

namespace {

std::vector<uint8_t> SavedWorld(const TGameEngine& game) {
    TByteWriter out;
    game.SaveWorld(out);
    return std::move(out.Bytes);
}

} // namespace

void TGameEngine::SyncTestTick() {
    HandleInput();
    TSyncTick tick;
    tick.Tick = KeyboardPasses;
    for (int p = 1; p <= 2; ++p)
        if (const TCar* car = Car(p))
            tick.Controls[size_t(p - 1)] = {true,
                                            car->InputFlags,
                                            {car->ThrottleAmount, car->BrakeAmount, car->SteerLeftAmount,
                                             car->SteerRightAmount}};
    tick.Screen = Menu->Screen;
    bool inGame = GameState == gsInGame && Car(1);
    // A station's menu changes the world through its keys (fuel, repairs): the world after them
    // stands for those keys.
    if (inGame && Menu->Screen != msNone && WorldRuns())
        tick.AfterInput = SavedWorld(*this);
    UpdateGame();
    StepWorld();
    Recorder.EndRecordedPass();
    if (!WorldRanThisTick() || SyncLastWorld.empty()) {
        // Menus, the map and loadings break the window: it starts again after them.
        SyncWindow.clear();
        SyncLastWorld = GameState == gsInGame && Car(1) ? SavedWorld(*this) : std::vector<uint8_t>();
        Dump.Write(*this);
        return;
    }
    ++SyncTicks;
    tick.Before = std::move(SyncLastWorld);
    tick.After = Digest();
    SyncWindow.push_back(std::move(tick));
    size_t depth = size_t(Setup.SyncTestDepth);
    if (SyncWindow.size() > depth)
        SyncWindow.erase(SyncWindow.begin());
    if (SyncWindow.size() == depth) {
        RestoreWorld(SyncWindow.front().Before);
        for (const TSyncTick& again : SyncWindow) {
            Menu->Screen = again.Screen;
            if (!again.AfterInput.empty())
                RestoreWorld(again.AfterInput);
            for (int p = 1; p <= 2; ++p)
                if (TCar* car = Car(p); car && again.Controls[size_t(p - 1)].Present) {
                    const TSyncControls& c = again.Controls[size_t(p - 1)];
                    car->InputFlags = c.InputFlags;
                    car->ThrottleAmount = c.Amounts[0];
                    car->BrakeAmount = c.Amounts[1];
                    car->SteerLeftAmount = c.Amounts[2];
                    car->SteerRightAmount = c.Amounts[3];
                }
            UpdateGame();
            StepWorld();
            TWorldDigest digest = Digest();
            for (int s = 0; s < WorldSectionCount; ++s)
                if (digest[size_t(s)] != again.After[size_t(s)]) {
                    std::fprintf(stderr, "sync test: tick %llu stepped again from %zu ticks back differs in %s\n",
                                 static_cast<unsigned long long>(again.Tick), depth, WorldSectionNames[s]);
                    ++SyncMismatches;
                    break;
                }
            if (SyncMismatches)
                break;
        }
        Menu->Screen = SyncWindow.back().Screen;
        if (SyncMismatches) {
            SetGameState(gsQuit);
            Dump.Write(*this);
            return;
        }
    }
    SyncLastWorld = SavedWorld(*this);
    Dump.Write(*this);
}

void TGameEngine::EndSyncTest() {
    std::printf("sync test: %llu mismatch%s in %llu ticks\n", static_cast<unsigned long long>(SyncMismatches),
                SyncMismatches == 1 ? "" : "es", static_cast<unsigned long long>(SyncTicks));
    std::fflush(stdout);
}
