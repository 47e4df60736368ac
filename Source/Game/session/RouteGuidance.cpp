// The guidance of a one-player game: the street route from the car to the next target, the arrow
// that points along it, the mini map in the corner of the HUD and the route on the city map. All of
// it is fed from the drawn frames and read by nothing of the world, so runs, replays and the
// autopilot go as they would without it.
#include "session/GameEngine.h"

#include "cars/Car.h"
#include "player/Config.h"
#include "uMapCoords.h"
#include "ui/RouteMaps.h"

namespace {

constexpr float ArrowLookAhead = 12; // metres along the route to the point the arrow points at

} // namespace

const TTarget* TGameEngine::GuidedTarget() const {
    if (TwoPlayer || !Car(1) || Targets->Mode != tmOrdered || Targets->IsEmpty())
        return nullptr;
    return &Targets->Targets.back();
}

void TGameEngine::PrepareGuide() {
    if (GuideCitySet)
        return;
    // The buildings and walls standing in the streets, in map cells as the cell words count them.
    std::vector<uint8_t> blocked(size_t(MapCells) * MapCells, 0);
    for (int32_t x = 0; x < MapCells; ++x)
        for (int32_t y = 0; y < MapCells; ++y) {
            const TMeshCell* building = MeshGrid->Building(x, y).Owner;
            if ((building && building->Collides) || MeshGrid->Block(x, y).Owner)
                blocked[size_t(x) * MapCells + size_t(MapLastRow - y)] = 1;
        }
    Guide.SetCity(City.Cells, blocked);
    GuideCitySet = true;
}

void TGameEngine::UpdateGuidance() {
    const TTarget* target = GuidedTarget();
    if (!target) {
        Guide.Forget();
        return;
    }
    PrepareGuide();
    const TCar& car = *Car(1);
    Guide.Update(car.PosX, car.PosY, target->X, target->Y);
    TRoutePoint ahead;
    if (Guide.PointAhead(ArrowLookAhead, ahead))
        Targets->AimActiveLocator(car.PosX, car.PosY, ahead.X, ahead.Y);
}

void TGameEngine::DrawMiniMap() {
    const TTarget* target = GuidedTarget();
    if (!Config().MiniMap || !target || !MapSprite || MenuScreen() != msNone)
        return;
    const TCar& car = *Car(1);
    TMiniMapView view;
    view.MapTexture = MapSprite->Texture;
    view.CarX = car.PosX;
    view.CarY = car.PosY;
    view.CarHeading = car.Heading;
    view.HasTarget = true;
    view.TargetX = target->X;
    view.TargetY = target->Y;
    view.Route = &Guide.Points();
    BeginOverlay();
    ::DrawMiniMap(view);
    EndOverlay();
}

void TGameEngine::DrawCityMapRoute() {
    if (!GuidedTarget())
        return;
    BeginOverlay();
    DrawMapRoute(Guide.Points());
    EndOverlay();
}
