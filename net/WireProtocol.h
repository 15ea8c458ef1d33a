#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "BoardTypes.h"

namespace kelvara {

// Every byte block that two copies exchange over TCP. A message is one code byte, optionally
// followed by a GBK text (no length, no terminator) or by the three fields of a move.
// Building and reading are pure functions. Texts are UTF-8 on this side: the builders encode
// them to GBK (a character GBK cannot hold goes as '?') and Text decodes.
class WireProtocol {
  public:
    static constexpr char kProbe = 'w';
    static constexpr char kProbeReply = 'Y';
    static constexpr char kInvitation = 'i';
    static constexpr char kAcceptance = 'a';
    static constexpr char kRefusal = 'r';
    static constexpr char kHello = 'm';
    static constexpr char kMove = 't';

    static constexpr int kVersionMajor = 1;
    static constexpr int kVersionMinor = 0;

    // Longest invitation or refusal text.
    static constexpr std::size_t kMaxText = 512;
    static constexpr std::size_t kMoveSize = 4;
    static constexpr std::size_t kProbeReplySize = 3;

    // At most this many bytes make one read of each reader.
    static constexpr std::size_t kRequestLimit = 515;   // listener, first request
    static constexpr std::size_t kProbeReplyLimit = 4;  // testing copy
    static constexpr std::size_t kAnswerLimit = 515;    // inviting copy
    static constexpr std::size_t kChannelLimit = 100;   // game channel

    static std::string Probe();
    static std::string ProbeReply();
    // Texts longer than kMaxText GBK bytes are cut to kMaxText bytes.
    static std::string Invitation(const std::string& text);
    static std::string Acceptance();
    static std::string Refusal(const std::string& reason);
    static std::string Hello(const std::string& name);
    // Each field cut to its low 8 bits.
    static std::string Move(const MoveRecord& move);

    // The code byte of a block; '\0' for an empty block.
    static char Code(std::string_view block);
    // The version of a probe reply: only a block of exactly 3 bytes starting with 'Y' is one.
    // The two bytes are read as signed numbers.
    static bool ReadVersion(std::string_view block, int& major, int& minor);
    // The text after the code, up to the first zero byte, decoded from GBK.
    static std::string Text(std::string_view block);
    // The move fields of a block of at least 4 bytes starting with 't': the from-point as
    // signed bytes; the direction only when it is 0 to 3, otherwise `move.direction` is kept
    // and `directionValid` (if given) is set to false.
    static bool ReadMove(std::string_view block, MoveRecord& move, bool* directionValid = nullptr);
    // A block of at least 4 bytes starting with 't' whose from-point is a point of the board.
    // Any other block is no move frame, whatever its bytes mean.
    static bool MoveOnBoard(std::string_view block);
};

}  // namespace kelvara
