#include "PuzzleMaker.h"

#include <vector>

#include "GameAnalysis.h"

namespace kelvara {

namespace {

// splitmix64: small, fast and the same on every platform (unlike the standard distributions).
class Mixer {
  public:
    explicit Mixer(std::uint64_t state) : state_(state) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

  private:
    std::uint64_t state_;
};

struct Candidate {
    Board board;
    CellCode side;
    StepOutcome answer;
};

CellCode Other(CellCode side) {
    return side == Black ? White : Black;
}

}  // namespace

int PuzzleMaker::GradeOf(int plies) {
    const int steps = (plies + 1) / 2;
    if (steps <= 0) return 0;
    if (steps == 1) return 1;
    if (steps <= 3) return 2;
    if (steps <= 6) return 3;
    return 4;
}

std::optional<std::uint32_t> PuzzleMaker::DaySeed(const std::string& date) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return std::nullopt;
    std::uint32_t digits = 0;
    for (std::size_t i = 0; i < date.size(); ++i) {
        if (i == 4 || i == 7) continue;
        if (date[i] < '0' || date[i] > '9') return std::nullopt;
        digits = digits * 10 + static_cast<std::uint32_t>(date[i] - '0');
    }
    const std::uint32_t month = digits / 100 % 100;
    const std::uint32_t day = digits % 100;
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return digits;
}

std::optional<Puzzle> PuzzleMaker::Make(int grade, std::uint32_t seed) const {
    if (grade < kMinGrade || grade > kMaxGrade) return std::nullopt;
    const GameAnalysis analysis(table_);
    Mixer seeds((static_cast<std::uint64_t>(seed) << 8) | static_cast<std::uint64_t>(grade));
    for (int walk = 0; walk < kWalks; ++walk) {
        Mixer rng(seeds.Next());
        Board board;
        CellCode side = Black;
        std::vector<Candidate> found;
        for (int ply = 0; ply < kWalkPlies && board.Winner(side) == Empty; ++ply) {
            const std::vector<StepOutcome> steps = analysis.Analyse(board, side);
            if (steps.empty()) break;
            int wins = 0;
            const StepOutcome* winning = nullptr;
            for (const StepOutcome& step : steps) {
                if (step.value.kind() != PositionValue::Kind::Win) continue;
                ++wins;
                winning = &step;
            }
            if (wins == 1 && GradeOf(winning->value.plies()) == grade) {
                found.push_back({board, side, *winning});
            }
            board.ApplyMove(side, steps[rng.Below(steps.size())].move);
            side = Other(side);
        }
        if (found.empty()) continue;
        const Candidate& pick = found[rng.Below(found.size())];
        return Puzzle{pick.board, pick.side, pick.answer.move, pick.answer.value, grade};
    }
    return std::nullopt;
}

}  // namespace kelvara
