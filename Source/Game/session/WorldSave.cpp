// The world of the running game saved into bytes and put back exactly, and its digests.
#include "session/GameEngine.h"

#include "cars/Car.h"
#include "cars/PlayerCars.h"
#include "sprites/HintSprite.h"
#include "uByteReader.h"
#include "uByteWriter.h"
#include "uRandom.h"

#include <cstring>
#include <algorithm>

namespace {

constexpr uint32_t WorldMark = 0x31534b57; // "WKS1"

uint64_t Lower(uint64_t serial, uint64_t other) {
    return serial == 0 ? other : other == 0 ? serial : std::min(serial, other);
}

} // namespace

void TGameEngine::SaveWorld(TByteWriter& out, TWorldBounds* bounds) const {
    auto mark = [&](int section) {
        if (bounds)
            (*bounds)[size_t(section)] = out.Size();
    };
    out.U32(WorldMark);
    out.U8(Mission);
    out.Bool(TwoPlayer);

    mark(wsCars);
    TByteWriter state;
    for (int p = 1; p <= 2; ++p) {
        const TCar* car = Car(p);
        const auto* model = dynamic_cast<const TModelCar*>(car);
        out.Bool(model != nullptr);
        if (!model)
            continue;
        out.U8(uint8_t(&model->Model - CarModelTable));
        out.U64(car->Serial);
        car->Save(out);
    }

    mark(wsTraffic);
    Traffic->SaveCars(out);
    mark(wsPedestrians);
    Traffic->SavePedestrians(out);

    mark(wsRules);
    out.I32(RunFrames);
    out.F64(GameMs);
    Rules.Save(out);
    Targets->Save(out);
    for (const auto& player : Players)
        player->SaveRun(out);
    // The hint on screen holds back the next one, and the rules wait for it.
    const THintSprite* hint = Loader.Sprites.HintSprite.get();
    out.Bool(hint != nullptr);
    if (hint) {
        out.Bool(hint->Alive);
        out.I32(hint->Count);
        out.I32(hint->X);
        out.I32(hint->Y);
        out.String(hint->Text[0]);
        out.String(hint->Text[1]);
    }

    mark(wsRandom);
    SaveWorldRandom(out);
    mark(wsPhysics);
    SavePhysics(out);
    mark(WorldSectionCount);
    // Only drawn: outside every section's digest.
    SaveEffectRandom(out);
}

void TGameEngine::RestoreWorld(const std::vector<uint8_t>& bytes) {
    TByteReader in(bytes.data(), bytes.size(), "the saved world");
    if (in.U32("the saved world's mark") != WorldMark)
        throw EReadError("The saved world does not begin with its mark");
    uint8_t mission = in.U8("the saved world's game");
    bool twoPlayer = in.Bool("the saved world's players");
    if (mission != Mission || twoPlayer != TwoPlayer)
        throw EReadError("The saved world is of game " + std::to_string(mission) + ", not of game " +
                         std::to_string(Mission) + " that runs");

    uint64_t remade = 0;
    for (int p = 1; p <= 2; ++p) {
        std::unique_ptr<TCar>& slot = Cars[size_t(p - 1)];
        if (!in.Bool("a player car")) {
            if (slot) {
                RemoveVehicle(slot.get());
                slot.reset();
            }
            continue;
        }
        uint8_t model = in.U8("a player car's model");
        uint64_t serial = in.U64("a player car's serial");
        if (model >= CarTypeCount)
            throw EReadError("The saved world's player car model " + std::to_string(model) + " is out of range");
        if (slot && slot->Serial != serial) {
            RemoveVehicle(slot.get());
            slot.reset();
        }
        if (!slot) {
            // Made again as it was made: its bodies take their place in the physics world below.
            slot = ::CreatePlayerCar(model, *this, City.Cells, p);
            slot->Serial = serial;
            AddVehicle(slot.get());
            remade = Lower(remade, serial);
        }
        slot->Restore(in);
    }
    remade = Lower(remade, Traffic->RestoreCars(in));
    Traffic->RestorePedestrians(in);

    RunFrames = in.I32("the run's ticks");
    GameMs = in.F64("the game clock");
    Rules.Restore(in);
    Targets->Restore(in);
    for (auto& player : Players)
        player->RestoreRun(in);
    THintSprite* hint = Loader.Sprites.HintSprite.get();
    if (in.Bool("the hint") != (hint != nullptr))
        throw EReadError("The saved world's hint does not match the game's");
    if (hint) {
        bool alive = in.Bool("the hint's life");
        hint->Count = in.I32("the hint's ticks");
        int32_t x = in.I32("the hint's place"), y = in.I32("the hint's place");
        hint->Text[0] = in.String("the hint's text");
        hint->Text[1] = in.String("the hint's text");
        if (alive && !hint->Alive)
            ShowSprite(hint);
        hint->Alive = alive;
        hint->SetPosition(x, y);
    }

    RestoreWorldRandom(in);
    OrderVehicles(remade);
    RestorePhysics(in);
    RestoreEffectRandom(in);
    if (in.Remaining() != 0)
        throw EReadError("The saved world has " + std::to_string(in.Remaining()) + " bytes past its end");
}

TWorldDigest TGameEngine::Digest() const {
    TByteWriter out;
    TWorldBounds bounds{};
    SaveWorld(out, &bounds);
    for (size_t at : out.Handles)
        std::memset(out.Bytes.data() + at, 0, sizeof(uint32_t));
    TWorldDigest digest{};
    for (int s = 0; s < WorldSectionCount; ++s)
        digest[size_t(s)] = Fnv1a(out.Bytes.data() + bounds[size_t(s)], bounds[size_t(s) + 1] - bounds[size_t(s)]);
    return digest;
}
