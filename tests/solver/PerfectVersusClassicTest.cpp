#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Board.h"
#include "ComputerPlayer.h"
#include "PerfectPlayer.h"
#include "PositionRules.h"
#include "SharedSolve.h"

using kelvara::Board;
using kelvara::CellCode;
using kelvara::MoveRecord;
using kelvara::PerfectPlayer;
using kelvara::PositionRules;
using kelvara::PositionValue;

namespace {

std::string Text(const Board& board) {
    std::string text(16, '.');
    for (int p = 0; p < 16; ++p) {
        const int code = board.Code(PositionRules::XOf(p), PositionRules::YOf(p));
        if (code == kelvara::Black) text[p] = 'b';
        if (code == kelvara::White) text[p] = 'w';
    }
    return text;
}

PositionValue BlackValue(const PerfectPlayer& player, const Board& board) {
    std::uint16_t black = 0, white = 0;
    PerfectPlayer::ParseBoard(Text(board), black, white);
    return player.Value(black, white, PerfectPlayer::kBlack);
}

}  // namespace

// The perfect player (black) against the classic computer player (white), from openings of a
// few random steps: black never loses, and from every position the table calls won for black
// the game ends in black's favour within the promised number of plies.
TEST(PerfectVersusClassic, NeverLosesAndConvertsEveryWin) {
    const PerfectPlayer perfect(SharedTable());
    kelvara::ComputerPlayer classic(KELVARA_SOURCE_DIR "/set/experience.dat");
    std::mt19937 rng(17);
    int games = 0, blackWins = 0, wonStarts = 0;
    for (int attempt = 0; games < 400 && attempt < 5000; ++attempt) {
        Board board;
        board.ResetBoard();
        board.blackPieces = board.whitePieces = 6;
        // Opening: 0 to 10 random steps by both sides, black first; black is then to move.
        const int openingPlies = 2 * static_cast<int>(rng() % 6);
        CellCode side = kelvara::Black;
        bool over = false;
        for (int i = 0; i < openingPlies && !over; ++i) {
            const auto steps = board.LegalSteps(side);
            if (steps.empty()) {
                over = true;
                break;
            }
            board.ApplyMove(side, steps[rng() % steps.size()]);
            side = kelvara::Enemy(side);
            over = board.Winner(side) != kelvara::Empty;
        }
        if (over || side != kelvara::Black) continue;
        const PositionValue start = BlackValue(perfect, board);
        if (start.kind() == PositionValue::Kind::Loss) continue;
        ++games;
        if (start.kind() == PositionValue::Kind::Win) ++wonStarts;

        int deadline = -1;  // ply by which black must have won, once the table says won
        CellCode winner = kelvara::Empty;
        for (int ply = 0; ply < 300; ++ply) {
            if (side == kelvara::Black) {
                const PositionValue value = BlackValue(perfect, board);
                ASSERT_NE(value.kind(), PositionValue::Kind::Loss) << Text(board);
                if (value.kind() == PositionValue::Kind::Win && deadline < 0) {
                    deadline = ply + value.plies();
                }
                const std::string move = perfect.PerfectMove(Text(board), PerfectPlayer::kBlack);
                int from = 0, direction = 0;
                ASSERT_TRUE(PositionRules::ParseMove(move, from, direction)) << move;
                const MoveRecord record{PositionRules::XOf(from), PositionRules::YOf(from),
                                        direction};
                ASSERT_TRUE(board.IsLegalStep(kelvara::Black, record)) << move;
                board.ApplyMove(kelvara::Black, record);
            } else {
                const std::optional<MoveRecord> record = classic.ChooseMove(board);
                if (!record) {
                    winner = kelvara::Black;  // the computer has no move
                    break;
                }
                ASSERT_TRUE(board.IsLegalStep(kelvara::White, *record));
                board.ApplyMove(kelvara::White, *record);
            }
            side = kelvara::Enemy(side);
            winner = board.Winner(side);
            if (winner != kelvara::Empty) {
                if (deadline >= 0) {
                    EXPECT_LE(ply + 1, deadline) << "win came late";
                }
                break;
            }
            if (deadline >= 0) {
                ASSERT_LT(ply + 1, deadline) << "won position not converted";
            }
        }
        EXPECT_NE(winner, kelvara::White) << "perfect player lost";
        if (start.kind() == PositionValue::Kind::Win) {
            EXPECT_EQ(winner, kelvara::Black);
        }
        if (winner == kelvara::Black) ++blackWins;
    }
    EXPECT_EQ(games, 400);
    EXPECT_GT(wonStarts, 0);
    RecordProperty("black_wins", blackWins);
    RecordProperty("won_starts", wonStarts);
}
