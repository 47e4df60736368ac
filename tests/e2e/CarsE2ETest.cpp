// Drives each of the eight player cars through the generated city with key scripts (the drive tool on
// the fixed 10 ms clock) and measures what a player feels: acceleration, top speed, braking, the
// turning circle and a crash into a house. The table goes to the screenshot folder as cars.md.
#include "TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TFrame {
    int Frame;
    float X, Y, Speed, Heading, Damage, Fuel;
    int Braking;
    float Up, Steer;
};

const char* const CarNames[8] = {"Mustang 69", "VW Golf", "BMW", "Liaz", "Chevy", "Avia", "Ford Transit", "Skoda 120"};

// The long east-west street along the south edge of the town: eastbound lane, heading 180.
constexpr float StreetX = 20, StreetY = 10.8f;
// A house north of that street, reached by turning off it.
constexpr float HouseX = 52, HouseY = 10.5f;

class CarsE2E : public ::testing::Test {
  protected:
    std::vector<TFrame> Drive(int car, float x, float y, float heading, const std::string& keys, int frames,
                              const std::string& extra = "") {
        std::string script = Dir.File("keys.txt"), report = Dir.File("report.txt");
        std::ofstream(script) << keys;
        std::ostringstream command;
        command << "./kaldrive -ns --headless --car " << car << " --at " << x << "," << y
                << " --heading " << heading << " --keys " << script << " --frames " << frames << " --report "
                << report << " " << extra;
        EXPECT_EQ(std::system(command.str().c_str()), 0) << command.str();
        std::vector<TFrame> rows;
        std::ifstream in(report);
        TFrame f;
        while (in >> f.Frame >> f.X >> f.Y >> f.Speed >> f.Heading >> f.Damage >> f.Fuel >> f.Braking >> f.Up >> f.Steer)
            rows.push_back(f);
        EXPECT_EQ(int(rows.size()), frames) << command.str();
        return rows;
    }

    TTempDir Dir;
};

struct TFigures {
    float TopSpeed = 0;      // metres per second
    float TimeTo90 = 0;      // seconds of game time from rest to 90 % of the top speed
    float StopDistance = 0;  // metres from top speed
    float Circle = 0;        // metres across the circle it turns at full lock while slow
    float CrashDamage = 0;   // percent after driving into a house
    float LowestUp = 1;      // how far the car leaned in the circle (1 upright)
};

} // namespace

TEST_F(CarsE2E, EachCarAcceleratesBrakesTurnsAndCrashes) {
    ASSERT_TRUE(std::filesystem::exists("data/city/city.tmf")) << "build with the data set";
    TFigures figures[8];
    for (int car = 0; car < 8; ++car) {
        TFigures& f = figures[car];
        // Full throttle from frame 10, then brake from frame 700 until the car stands.
        std::vector<TFrame> straight = Drive(car, StreetX, StreetY, 180, "10 down UP\n700 up UP\n700 down DOWN\n", 1100);
        for (int i = 10; i < 700; ++i)
            f.TopSpeed = std::max(f.TopSpeed, straight[i].Speed);
        for (int i = 10; i < 700; ++i)
            if (straight[i].Speed >= 0.9f * f.TopSpeed) {
                f.TimeTo90 = float(straight[i].Frame - 10) * 0.01f;
                break;
            }
        float brakeX = straight[699].X;
        for (int i = 700; i < 1100; ++i)
            if (straight[i].Speed < 0.05f || !straight[i].Braking) {
                f.StopDistance = straight[i].X - brakeX;
                break;
            }
        EXPECT_NEAR(straight[699].Y, StreetY, 0.5f) << CarNames[car] << " keeps its lane";

        // Full lock (the wheels turned first), then full throttle on open ground: the circle it drives while slow
        // (2 to 5 m/s) is the distance covered over the angle turned; the first full turn shows it
        // stays on its wheels and keeps turning as it gathers speed.
        std::vector<TFrame> circle = Drive(car, 256, 256, 180, "1 down RIGHT\n100 down UP\n", 1300, "--no-city");
        float turned = 0, slowPath = 0, slowTurn = 0;
        for (size_t i = 1; i < circle.size() && std::fabs(turned) < 360; ++i) {
            float d = circle[i].Heading - circle[i - 1].Heading;
            d = d > 180 ? d - 360 : d < -180 ? d + 360 : d;
            turned += d;
            if (circle[i].Speed > 2 && circle[i].Speed < 5) {
                slowPath += std::hypot(circle[i].X - circle[i - 1].X, circle[i].Y - circle[i - 1].Y);
                slowTurn += std::fabs(d) * float(M_PI) / 180;
            }
            f.LowestUp = std::min(f.LowestUp, circle[i].Up);
        }
        EXPECT_GE(std::fabs(turned), 360) << CarNames[car] << " completes a circle";
        EXPECT_LT(turned, 0) << CarNames[car] << " turns right (clockwise) with the right key";
        ASSERT_GT(slowTurn, 0) << CarNames[car];
        f.Circle = 2 * slowPath / slowTurn;

        // Off the street and into the house beside it.
        std::vector<TFrame> crash = Drive(car, HouseX, HouseY, 270, "10 down UP\n", 300);
        f.CrashDamage = crash.back().Damage;
    }

    std::filesystem::create_directories(KAL_SCREENSHOT_DIR);
    std::ofstream table(std::string(KAL_SCREENSHOT_DIR) + "/cars.md");
    table << "| Car | top speed m/s | 0 to 90 % s | stop from top m | circle m | crash damage % | lean |\n"
             "|---|---|---|---|---|---|---|\n";
    for (int car = 0; car < 8; ++car) {
        const TFigures& f = figures[car];
        char line[256];
        std::snprintf(line, sizeof line, "| %s | %.1f | %.2f | %.1f | %.1f | %.1f | %.2f |\n", CarNames[car], f.TopSpeed,
                      f.TimeTo90, f.StopDistance, f.Circle, f.CrashDamage, f.LowestUp);
        table << line;
    }

    for (int car = 0; car < 8; ++car) {
        const TFigures& f = figures[car];
        EXPECT_GT(f.CrashDamage, 0) << CarNames[car] << " is damaged by the house";
        EXPECT_GT(f.LowestUp, 0.8f) << CarNames[car] << " stays on its wheels in the circle";
        EXPECT_GT(f.StopDistance, 1) << CarNames[car];
        EXPECT_LT(f.StopDistance, 40) << CarNames[car];
        EXPECT_LT(f.Circle, 30) << CarNames[car];
    }
    // The characters of the car table: the Mustang is the fastest, then the BMW; the Liaz and the
    // Avia are the slowest and take the longest to pick up speed; the Golf turns tighter than the big
    // cars; the heavy trucks need longer to stop than the Golf.
    const int mustang = 0, golf = 1, bmw = 2, liaz = 3, chevy = 4, avia = 5, transit = 6, skoda = 7;
    for (int car = 0; car < 8; ++car) {
        if (car != mustang) {
            EXPECT_GT(figures[mustang].TopSpeed, figures[car].TopSpeed) << CarNames[car];
        }
        if (car != mustang && car != bmw) {
            EXPECT_GT(figures[bmw].TopSpeed, figures[car].TopSpeed) << CarNames[car];
        }
        if (car != liaz) {
            EXPECT_GT(figures[car].TopSpeed, figures[liaz].TopSpeed) << CarNames[car];
        }
        if (car != liaz && car != avia) {
            EXPECT_LT(figures[car].TimeTo90, figures[liaz].TimeTo90) << CarNames[car];
        }
    }
    EXPECT_LT(figures[golf].Circle, figures[liaz].Circle);
    EXPECT_LT(figures[golf].Circle, figures[mustang].Circle);
    EXPECT_LT(figures[golf].Circle, figures[chevy].Circle);
    EXPECT_GT(figures[transit].TopSpeed, figures[skoda].TopSpeed);
}
