// Every reading of a received block, and the builders fed with received text.
#include <cstring>

#include "FuzzSupport.h"
#include "GbkCodec.h"
#include "WireProtocol.h"

using kelvara::GbkCodec;
using kelvara::MoveRecord;
using kelvara::WireProtocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block = kelvara::fuzz::Bytes(data, size);

    const char code = WireProtocol::Code(block);
    KELVARA_FUZZ_CHECK(code == (block.empty() ? '\0' : block[0]));

    int major = 1000, minor = 1000;
    const bool isReply = WireProtocol::ReadVersion(block, major, minor);
    KELVARA_FUZZ_CHECK(isReply == (block.size() == 3 && block[0] == 'Y'));
    if (isReply) {
        KELVARA_FUZZ_CHECK(major == static_cast<signed char>(block[1]));
        KELVARA_FUZZ_CHECK(minor == static_cast<signed char>(block[2]));
    } else {
        KELVARA_FUZZ_CHECK(major == 1000 && minor == 1000);
    }

    // The text is what follows the code, up to the first zero byte, decoded.
    const std::string text = WireProtocol::Text(block);
    const std::string_view after = block.empty() ? std::string_view() : block.substr(1);
    const std::string_view textBytes = after.substr(0, after.find('\0'));
    KELVARA_FUZZ_CHECK(text == GbkCodec::GbkToUtf8(textBytes));

    MoveRecord move{77, 77, 3};
    bool directionValid = true;
    const bool isMove = WireProtocol::ReadMove(block, move, &directionValid);
    KELVARA_FUZZ_CHECK(isMove == (block.size() >= 4 && block[0] == 't'));
    if (isMove) {
        KELVARA_FUZZ_CHECK(move.fromX == static_cast<signed char>(block[1]));
        KELVARA_FUZZ_CHECK(move.fromY == static_cast<signed char>(block[2]));
        const int d = static_cast<signed char>(block[3]);
        KELVARA_FUZZ_CHECK(directionValid == (d >= 0 && d <= 3));
        KELVARA_FUZZ_CHECK(move.direction == (directionValid ? d : 3));
        // A valid move read back builds the same four bytes.
        if (directionValid) KELVARA_FUZZ_CHECK(WireProtocol::Move(move) == block.substr(0, 4));
    } else {
        KELVARA_FUZZ_CHECK(move == (MoveRecord{77, 77, 3}));
    }

    // Received text handed back out (a refusal's reason, a hello's name): bounded, and the
    // same bytes again where every byte was part of a character.
    const std::string hello = WireProtocol::Hello(text);
    KELVARA_FUZZ_CHECK(hello[0] == WireProtocol::kHello && hello.size() <= 1 + textBytes.size());
    if (GbkCodec::Utf8ToGbk(text).has_value()) {
        const std::string_view resent = std::string_view(hello).substr(1);
        KELVARA_FUZZ_CHECK(resent == textBytes ||
                           resent == textBytes.substr(0, textBytes.size() - 1));
    }
    const std::string invitation = WireProtocol::Invitation(text);
    KELVARA_FUZZ_CHECK(invitation.size() == std::min(hello.size(), 1 + WireProtocol::kMaxText));
    KELVARA_FUZZ_CHECK(invitation[0] == WireProtocol::kInvitation &&
                       invitation.compare(1, std::string::npos, hello, 1, invitation.size() - 1) ==
                           0);
    const std::string refusal = WireProtocol::Refusal(text);
    KELVARA_FUZZ_CHECK(refusal.size() == invitation.size() && refusal[0] == WireProtocol::kRefusal);
    // Any bytes as a text of this side: bounded by their count.
    const std::string raw = WireProtocol::Hello(std::string(block));
    KELVARA_FUZZ_CHECK(raw.size() <= 1 + block.size());
    return 0;
}
