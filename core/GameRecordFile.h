#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Board.h"
#include "BoardTypes.h"
#include "PlyRecord.h"

namespace kelvara {

// One tag pair of a record, such as [Black "张三"].
struct RecordTag {
    std::string name;
    std::string value;

    friend bool operator==(const RecordTag&, const RecordTag&) = default;
};

// Why a record could not be read, and the line (from 1) where that was found. `detail` is
// the word concerned (a move, a tag name) or empty.
struct RecordError {
    enum class Problem {
        TooLarge,        // over kMaxBytes
        NotText,         // not UTF-8, or a control character
        BadTag,          // a tag line that is not [Name "value"]
        DuplicateTag,    // a tag given twice
        BadTagValue,     // Mode, Level or Result with another value
        BadPosition,     // Position that is not board text and side
        NoPieces,        // Position without a piece of each side
        TagAfterMoves,   // a tag line after the first move
        BadMove,         // a word that is no move, move number or result
        IllegalMove,     // a move the rules do not allow there
        MoveAfterEnd,    // a move after the game was over or after the result
        ResultMismatch,  // a result that differs from the Result tag or from the position
        OpenComment,     // a { without its }
        Unreadable,      // the file could not be opened or read
    };
    int line = 0;
    Problem problem = Problem::Unreadable;
    std::string detail;

    // The reason in English, e.g. "illegal move 22U".
    std::string Reason() const;
};

// A game record as plain UTF-8 text: tag pairs, one a line, then the moves in move-list
// notation with optional move numbers, then the result ("1-0" black won, "0-1" white won, "*"
// unfinished). Letters in either case, {...} comments, blank lines, LF or CRLF are all read;
// the writer writes the tags in their order, numbered moves and LF line ends. A game from a
// set-up position carries [Position "<board text> <side>"]. Every move is checked against the
// rules while it is read.
class GameRecordFile {
  public:
    static constexpr std::size_t kMaxBytes = 1024 * 1024;

    // The tags in file order, Position and Result among them; unknown tags are kept.
    std::vector<RecordTag> tags;
    std::vector<MoveRecord> moves;

    // The value of a tag, empty when there is none.
    std::string Tag(std::string_view name) const;
    // Replaces the tag's value in place, or adds the tag at the end.
    void SetTag(std::string_view name, std::string value);
    void RemoveTag(std::string_view name);

    // The position before the first move: the start, or the Position tag's.
    void StartPosition(Board& board, CellCode& side) const;
    // Sets or removes the Position tag; the starting position is written without one.
    void SetStartPosition(const Board& board, CellCode side);

    // The plies of the moves from the starting position, with what each took; `board` and
    // `side` end as after the last move. The moves must be legal (as Read leaves them).
    std::vector<PlyRecord> Replay(Board& board, CellCode& side) const;

    std::string Write() const;
    static std::optional<GameRecordFile> Read(std::string_view text, RecordError& error);
    // Reads a regular file of at most kMaxBytes; errors on line 0 when it cannot be read.
    static std::optional<GameRecordFile> ReadFile(const std::string& path, RecordError& error);

    friend bool operator==(const GameRecordFile&, const GameRecordFile&) = default;
};

}  // namespace kelvara
