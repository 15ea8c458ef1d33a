// Game records from any bytes: a record that reads writes back to text that reads to the same
// record, its moves replay on the board, and an error always names a line of the text.
#include <algorithm>

#include "FuzzSupport.h"
#include "GameRecordFile.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Bytes(data, size);
    RecordError error;
    const auto record = GameRecordFile::Read(text, error);
    if (!record) {
        const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
        KELVARA_FUZZ_CHECK(error.line >= 1 && error.line <= lines);
        KELVARA_FUZZ_CHECK(!error.Reason().empty());
        return 0;
    }
    const std::string written = record->Write();
    RecordError again;
    const auto reread = GameRecordFile::Read(written, again);
    KELVARA_FUZZ_CHECK(reread && *reread == *record);
    KELVARA_FUZZ_CHECK(reread->Write() == written);
    Board board;
    CellCode side = Black;
    KELVARA_FUZZ_CHECK(record->Replay(board, side).size() == record->moves.size());
    KELVARA_FUZZ_CHECK(board.blackPieces == board.CountPieces(Black));
    return 0;
}
