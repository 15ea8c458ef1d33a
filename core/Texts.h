#pragma once

#include "Translation.h"

// The session's texts for the window's match and status lines, as patterns: %1, %2 and %3 are
// the names (and the peer's address) put in by the session; the spaces are part of the texts.

namespace kelvara::texts {

inline constexpr const char* kContext = "GameSession";

// Status line.
inline constexpr const char* kYourTurn = KELVARA_TEXT("GameSession", "现在该你走棋了...");
inline constexpr const char* kComputerThinking =
    KELVARA_TEXT("GameSession", "正在等候电脑走棋，请稍后....");
inline constexpr const char* kWaitingForPeer =
    KELVARA_TEXT("GameSession", "正在等待对方走棋,请稍后...");
inline constexpr const char* kBlackMoving = KELVARA_TEXT("GameSession", "现在是 %1(黑)  走棋...");
inline constexpr const char* kWhiteMoving = KELVARA_TEXT("GameSession", "现在是 %1(白)  走棋...");

// Match line: %1 the local or black player, %2 the other, %3 the peer's address.
inline constexpr const char* kComputerWhite = KELVARA_TEXT("GameSession", "电脑(白)");
inline constexpr const char* kMatchVsComputer =
    KELVARA_TEXT("GameSession", "战局：   %1(黑)   VS   %2");
inline constexpr const char* kMatchTwoPlayers =
    KELVARA_TEXT("GameSession", "战局：   %1(黑)   VS   %2(白)");
inline constexpr const char* kMatchLocalBlack =
    KELVARA_TEXT("GameSession", "战局：   黑:%1(本机)   VS   白:%2(%3)");
inline constexpr const char* kMatchLocalWhite =
    KELVARA_TEXT("GameSession", "战局：   白:%1(本机)   VS   黑:%2(%3)");

// End of a game.
inline constexpr const char* kYouWin = KELVARA_TEXT("GameSession", "游戏结束，恭喜你，你赢了!!");
inline constexpr const char* kYouLose = KELVARA_TEXT("GameSession", "游戏结束，你输了 :(");
inline constexpr const char* kBlackWins = KELVARA_TEXT("GameSession", "游戏结束，黑棋(%1)胜!!");
inline constexpr const char* kWhiteWins = KELVARA_TEXT("GameSession", "游戏结束，白棋(%1)胜!!");
inline constexpr const char* kPeerLeft = KELVARA_TEXT("GameSession", "游戏结束，对方已经离开!!");

// A move of the peer that breaks the rules; %1 is the move.
inline constexpr const char* kRefusedMove =
    KELVARA_TEXT("GameSession", "对方的走法 %1 不合规则,正在等待对方走棋,请稍后...");

// The text in the user's language.
inline std::string Text(const char* text) {
    return Translation::Text(kContext, text);
}

}  // namespace kelvara::texts
