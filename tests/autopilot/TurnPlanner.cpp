#include "TurnPlanner.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float Step = 0.25f;      // metres between two looks at the body
constexpr float LongestLeg = 12;   // metres
constexpr int MostLegs = 3;
constexpr float Aligned = 0.5f;    // radians off the point that count as pointing at it
constexpr float Room = 0.55f;      // cell clearance beyond the half width the body keeps
constexpr float LegPause = 1.4f;   // seconds of stopping and turning the wheel over between legs

struct TPose {
    float X, Y, Forward;
};

class TSearch {
  public:
    TSearch(const TCityGrid& city, const TCarBody& body, TPoint towards)
        : City(city), Body(body), Towards(towards) {}

    // The least clearance of the cells under the body, less its half width.
    float BodyRoom(const TPose& pose) const {
        float reach = std::max(0.0f, Body.HalfLength - Body.HalfWidth * 0.7f);
        float least = 1e9f;
        for (int i = 0; i <= 4; ++i) {
            float t = -reach + 2 * reach * float(i) / 4;
            int cx = int(std::floor(pose.X + t * std::cos(pose.Forward)));
            int cy = int(std::floor(pose.Y + t * std::sin(pose.Forward)));
            if (!TCityGrid::Inside(cx, cy))
                return -1;
            least = std::min(least, City.Clearance(cx, cy) - Body.HalfWidth);
        }
        return least;
    }

    void Legs(const TPose& from, int depth, bool lastForwards, float cost, float room) {
        for (int way = 0; way < 2; ++way) {
            bool forwards = way == 0;
            if (depth > 0 && forwards == lastForwards)
                continue;
            for (float side : {1.0f, -1.0f}) {
                TPose pose = from;
                float legRoom = room;
                float curvature = side * Body.Curvature, s = forwards ? Step : -Step;
                Path.push_back({forwards, side, 0, 0});
                for (float length = Step; length <= LongestLeg; length += Step) {
                    float f = pose.Forward + curvature * s;
                    pose.X += (std::sin(f) - std::sin(pose.Forward)) / curvature;
                    pose.Y += (std::cos(pose.Forward) - std::cos(f)) / curvature;
                    pose.Forward = f;
                    float bodyRoom = BodyRoom(pose);
                    // A car that starts pressed against a wall may move where it is no tighter.
                    if (bodyRoom < std::min(Room, legRoom))
                        break;
                    legRoom = std::max(legRoom, std::min(Room, bodyRoom));
                    float legCost = cost + length / TurnLegSpeed + (depth > 0 ? LegPause : 0.5f);
                    if (legCost >= BestCost)
                        break;
                    Path.back().Turn = length * Body.Curvature;
                    Path.back().Length = length;
                    float off = Wrap(std::atan2(Towards.Y - pose.Y, Towards.X - pose.X) - pose.Forward);
                    if (std::fabs(off) < Aligned) {
                        BestCost = legCost;
                        Best = Path;
                        break;
                    }
                    if (depth + 1 < MostLegs && std::fmod(length + 1e-3f, 0.5f) < 0.01f)
                        Legs(pose, depth + 1, forwards, legCost, legRoom);
                }
                Path.pop_back();
            }
        }
    }

    std::vector<TTurnLeg> Best;
    float BestCost = 1e9f;

  private:
    const TCityGrid& City;
    TCarBody Body;
    TPoint Towards;
    std::vector<TTurnLeg> Path;
};

} // namespace

std::vector<TTurnLeg> PlanTurnRound(const TCityGrid& city, const TCarBody& body, float x, float y,
                                    float forward, TPoint towards) {
    TSearch search(city, body, towards);
    TPose start{x, y, forward};
    search.Legs(start, 0, true, 0, search.BodyRoom(start) - 0.05f);
    return search.Best;
}
