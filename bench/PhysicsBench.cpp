// The cost of one physics step of a busy street: the player's car and six more cars standing on the
// ground between obstacle boxes of the city.
#include "../tests/TestCar.h"
#include "uPhysics.h"
#include "uVehicle.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

void StepSevenCars(benchmark::State& state) {
    TPhysicsWorld physics;
    TMeshRecord wheel = TestWheel(), body = TestChassis();
    std::vector<std::unique_ptr<TVehicle>> cars;
    std::vector<dGeomID> boxes;
    for (int i = 0; i < 7; ++i) {
        cars.push_back(std::make_unique<TVehicle>(physics, TestCarConfig(), wheel, body));
        cars.back()->SetPosition(100 + 6.0f * float(i), 100);
        cars.back()->SetHeading(180);
        // A house on each side of every car, as along a street.
        boxes.push_back(CreateObstacleBox(physics.Space(), VectorMake(5, 5, 20), VectorMake(100 + 6.0f * float(i), 94, 2)));
        boxes.push_back(CreateObstacleBox(physics.Space(), VectorMake(5, 5, 20), VectorMake(100 + 6.0f * float(i), 106, 2)));
    }
    for (int i = 0; i < 100; ++i) // settle on the ground
        physics.Step(0.02f);
    for (auto _ : state) {
        for (auto& car : cars) {
            car->Update(0.02f);
            car->Throttle = 0.2f;
            car->ApplyControls();
        }
        physics.Step(0.02f);
    }
    state.counters["substeps"] = SubstepCount(0.02f);
    cars.clear();
}
BENCHMARK(StepSevenCars)->Unit(benchmark::kMicrosecond);

void StepOneCar(benchmark::State& state) {
    TPhysicsWorld physics;
    TMeshRecord wheel = TestWheel(), body = TestChassis();
    auto car = std::make_unique<TVehicle>(physics, TestCarConfig(), wheel, body);
    car->SetPosition(100, 100);
    for (int i = 0; i < 100; ++i)
        physics.Step(0.02f);
    for (auto _ : state) {
        car->Update(0.02f);
        car->ApplyControls();
        physics.Step(0.02f);
    }
    car.reset();
}
BENCHMARK(StepOneCar)->Unit(benchmark::kMicrosecond);

} // namespace
