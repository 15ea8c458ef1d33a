// The engine front end on any input: every line gets exactly one answer line, and after every
// command the piece counts agree with the pieces on the board.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "BoardText.h"
#include "EngineProtocol.h"
#include "FuzzSupport.h"
#include "LineReader.h"

using namespace kelvara;

namespace {

// A small bound, so that over-long lines come up often.
constexpr std::size_t kMaxLine = 64;

bool CountsAgree(const Board& board) {
    return board.blackPieces == board.CountPieces(Black) &&
           board.whitePieces == board.CountPieces(White);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Bytes(data, size);
    // Read sizes from 1 to 13 bytes, so that lines cross chunk boundaries everywhere.
    std::size_t at = 0;
    std::size_t step = size % 13 + 1;
    LineReader reader(
        [&](char* buffer, std::size_t room) {
            const std::size_t n = std::min({room, step, input.size() - at});
            std::memcpy(buffer, input.data() + at, n);
            at += n;
            step = step % 13 + 1;
            return n;
        },
        kMaxLine);

    EngineProtocol engine("/nonexistent/kelvara-fuzz/experience.dat");
    // Deep perft is exponential; a few plies cover the same code.
    engine.AddCommand("perft", [](EngineProtocol& self, const EngineProtocol::Args& args) {
        if (args.size() != 1 || args[0].size() != 1 || args[0][0] < '0' || args[0][0] > '3')
            return std::string("error: depth 0 to 3 here");
        return std::to_string(
            EngineProtocol::Perft(self.CurrentBoard(), self.SideToMove(), args[0][0] - '0'));
    });

    std::size_t answers = 0;
    engine.Serve(reader, [&](const std::string& answer) {
        ++answers;
        KELVARA_FUZZ_CHECK(!answer.empty());
        KELVARA_FUZZ_CHECK(answer.find('\n') == std::string::npos);
        KELVARA_FUZZ_CHECK(CountsAgree(engine.CurrentBoard()));
        KELVARA_FUZZ_CHECK(engine.SideToMove() == Black || engine.SideToMove() == White);
    });

    // The lines of the input up to the one that quit, counted by hand.
    std::size_t lines = 0;
    for (std::size_t start = 0; start < input.size();) {
        std::size_t stop = input.find('\n', start);
        if (stop == std::string_view::npos) stop = input.size();
        ++lines;
        std::string_view line = input.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // "quit" alone among blanks ends the session.
        const std::size_t first = line.find_first_not_of(" \t");
        const std::size_t last = line.find_last_not_of(" \t");
        if (stop - start <= kMaxLine && first != std::string_view::npos &&
            line.substr(first, last - first + 1) == "quit")
            break;
        start = stop + 1;
    }
    KELVARA_FUZZ_CHECK(answers == lines);
    return 0;
}
