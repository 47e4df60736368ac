// The cost of one physics step of a busy street: the player's car and six more cars standing on the
// ground between obstacle boxes of the city.
#include "uPhysics.h"
#include "uVehicle.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

TCarConfig BenchConfig() {
    TCarConfig c;
    c.Mass = 22;
    c.FrontAxle = 0.29f;
    c.RearAxle = 0.33f;
    c.HalfTrack = 0.72f;
    c.WheelRadius = 0.285f;
    c.FrontBrake = 140;
    c.RearBrake = 100;
    c.DriveType = 1;
    c.SteerLimit = 0.4f;
    c.SuspensionERP = 0.251f;
    c.SuspensionCFM = 0.0596f / 22;
    return c;
}

void StepSevenCars(benchmark::State& state) {
    InitPhysics();
    TMeshRecord wheel, body;
    body.Extent = VectorMake(4, 1.84f, 1.333f);
    std::vector<std::unique_ptr<TVehicle>> cars;
    std::vector<dGeomID> boxes;
    for (int i = 0; i < 7; ++i) {
        cars.push_back(std::make_unique<TVehicle>(BenchConfig(), wheel, body));
        cars.back()->SetPosition(100 + 6.0f * float(i), 100);
        cars.back()->SetHeading(180);
        // A house on each side of every car, as along a street.
        boxes.push_back(CreateObstacleBox(PhysicsSpace, VectorMake(5, 5, 20), VectorMake(100 + 6.0f * float(i), 94, 2)));
        boxes.push_back(CreateObstacleBox(PhysicsSpace, VectorMake(5, 5, 20), VectorMake(100 + 6.0f * float(i), 106, 2)));
    }
    for (int i = 0; i < 100; ++i) // settle on the ground
        StepPhysics(0.02f);
    for (auto _ : state) {
        for (auto& car : cars) {
            car->Update(0.02f);
            car->Throttle = 0.2f;
            car->ApplyControls();
        }
        StepPhysics(0.02f);
    }
    state.counters["substeps"] = SubstepCount(0.02f);
    cars.clear();
    DonePhysics();
}
BENCHMARK(StepSevenCars)->Unit(benchmark::kMicrosecond);

void StepOneCar(benchmark::State& state) {
    InitPhysics();
    TMeshRecord wheel, body;
    body.Extent = VectorMake(4, 1.84f, 1.333f);
    auto car = std::make_unique<TVehicle>(BenchConfig(), wheel, body);
    car->SetPosition(100, 100);
    for (int i = 0; i < 100; ++i)
        StepPhysics(0.02f);
    for (auto _ : state) {
        car->Update(0.02f);
        car->ApplyControls();
        StepPhysics(0.02f);
    }
    car.reset();
    DonePhysics();
}
BENCHMARK(StepOneCar)->Unit(benchmark::kMicrosecond);

} // namespace
