#pragma once

// The session's texts for the window's match and status lines. Names are put between the
// parts; the spaces are part of the texts.

namespace kelvara::texts {

// Status line.
inline constexpr const char* kYourTurn = "现在该你走棋了...";
inline constexpr const char* kComputerThinking = "正在等候电脑走棋，请稍后....";
inline constexpr const char* kWaitingForPeer = "正在等待对方走棋,请稍后...";
inline constexpr const char* kNowMoving = "现在是 ";
inline constexpr const char* kBlackMovingSuffix = "(黑)  走棋...";
inline constexpr const char* kWhiteMovingSuffix = "(白)  走棋...";

// Match line.
inline constexpr const char* kMatchPrefix = "战局：   ";
inline constexpr const char* kMatchVsComputer = "(黑)   VS   电脑(白)";
inline constexpr const char* kMatchBlackVs = "(黑)   VS   ";
inline constexpr const char* kMatchWhiteSuffix = "(白)";
inline constexpr const char* kMatchLocalBlack = "战局：   黑:";
inline constexpr const char* kMatchLocalWhite = "战局：   白:";
inline constexpr const char* kMatchLocalVsWhite = "(本机)   VS   白:";
inline constexpr const char* kMatchLocalVsBlack = "(本机)   VS   黑:";

// End of a game.
inline constexpr const char* kGameOver = "游戏结束，";
inline constexpr const char* kYouWin = "恭喜你，你赢了!!";
inline constexpr const char* kYouLose = "你输了 :(";
inline constexpr const char* kBlackWinsPrefix = "黑棋(";
inline constexpr const char* kWhiteWinsPrefix = "白棋(";
inline constexpr const char* kWinsSuffix = ")胜!!";
inline constexpr const char* kPeerLeft = "对方已经离开!!";

// A move of the peer that breaks the rules.
inline constexpr const char* kRefusedMovePrefix = "对方的走法 ";
inline constexpr const char* kRefusedMoveSuffix = " 不合规则,正在等待对方走棋,请稍后...";

}  // namespace kelvara::texts
