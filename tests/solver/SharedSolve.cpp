#include "SharedSolve.h"

#include <algorithm>
#include <array>
#include <numeric>

const kelvara::Solver& SharedTable() {
    static const kelvara::Solver solver = [] {
        kelvara::Solver s;
        s.Solve(2);
        return s;
    }();
    return solver;
}

void RandomPosition(std::mt19937& rng, std::uint16_t& black, std::uint16_t& white, int blackCount,
                    int whiteCount) {
    std::uniform_int_distribution<int> pieces(2, 6);
    if (blackCount == 0) blackCount = pieces(rng);
    if (whiteCount == 0) whiteCount = pieces(rng);
    std::array<int, 16> points{};
    std::iota(points.begin(), points.end(), 0);
    std::shuffle(points.begin(), points.end(), rng);
    black = white = 0;
    for (int i = 0; i < blackCount; ++i) black |= static_cast<std::uint16_t>(1u << points[i]);
    for (int i = 0; i < whiteCount; ++i) {
        white |= static_cast<std::uint16_t>(1u << points[blackCount + i]);
    }
}
