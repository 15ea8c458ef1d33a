#include "WireProtocol.h"

#include <algorithm>

#include "GbkCodec.h"

namespace kelvara {

namespace {

std::string WithText(char code, const std::string& utf8, std::size_t limit) {
    const std::string text = GbkCodec::Utf8ToGbkLossy(utf8);
    std::string block(1, code);
    block.append(text, 0, std::min(text.size(), limit));
    return block;
}

int SignedByte(char c) {
    return static_cast<int>(static_cast<std::int8_t>(c));
}

}  // namespace

std::string WireProtocol::Probe() {
    return std::string(1, kProbe);
}

std::string WireProtocol::ProbeReply() {
    return std::string{kProbeReply, static_cast<char>(kVersionMajor),
                       static_cast<char>(kVersionMinor)};
}

std::string WireProtocol::Invitation(const std::string& text) {
    return WithText(kInvitation, text, kMaxText);
}

std::string WireProtocol::Acceptance() {
    return std::string(1, kAcceptance);
}

std::string WireProtocol::Refusal(const std::string& reason) {
    return WithText(kRefusal, reason, kMaxText);
}

std::string WireProtocol::Hello(const std::string& name) {
    return WithText(kHello, name, std::string::npos);
}

std::string WireProtocol::Move(const MoveRecord& move) {
    return std::string{kMove, static_cast<char>(move.fromX & 0xFF),
                       static_cast<char>(move.fromY & 0xFF),
                       static_cast<char>(move.direction & 0xFF)};
}

char WireProtocol::Code(std::string_view block) {
    return block.empty() ? '\0' : block.front();
}

bool WireProtocol::ReadVersion(std::string_view block, int& major, int& minor) {
    if (block.size() != kProbeReplySize || block[0] != kProbeReply) return false;
    major = SignedByte(block[1]);
    minor = SignedByte(block[2]);
    return true;
}

std::string WireProtocol::Text(std::string_view block) {
    if (block.empty()) return {};
    const std::string_view text = block.substr(1);
    return GbkCodec::GbkToUtf8(text.substr(0, text.find('\0')));
}

bool WireProtocol::ReadMove(std::string_view block, MoveRecord& move, bool* directionValid) {
    if (block.size() < kMoveSize || block[0] != kMove) return false;
    move.fromX = SignedByte(block[1]);
    move.fromY = SignedByte(block[2]);
    const int direction = SignedByte(block[3]);
    const bool valid = direction >= Up && direction <= Right;
    if (valid) move.direction = direction;
    if (directionValid != nullptr) *directionValid = valid;
    return true;
}

bool WireProtocol::MoveOnBoard(std::string_view block) {
    return block.size() >= kMoveSize && block[0] == kMove &&
           OnGrid(SignedByte(block[1]), SignedByte(block[2]));
}

}  // namespace kelvara
