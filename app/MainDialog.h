#pragma once

#include <QBrush>
#include <QCursor>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QVariantAnimation>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "BoardKeyboard.h"
#include "DragController.h"
#include "GamePort.h"
#include "GameSession.h"
#include "GameView.h"
#include "LevelSetting.h"
#include "MoveChooser.h"
#include "PlayAids.h"
#include "ScenePicture.h"
#include "ScoreKeeper.h"
#include "ScoreTally.h"
#include "SoundPlayer.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QMenuBar;
class QTreeWidget;

namespace kelvara {

class BoardCanvas;
class BoardMarks;
class GameReplay;
class ReviewChart;
class NetworkDiscovery;
class InputBlocker;
class LevelOpponent;
class NetworkPlay;
class PuzzlePlay;
class RulesDialog;
class TableService;

// The main window: menu, match/status/clock texts, the two history lists and the board canvas.
// It owns the game session and the computer player, implements GameView for the session (it
// paints the board from the session's position) and forwards the menu, the clock timer and,
// through its DragController, the mouse to it. A computer's or peer's step slides on a
// QVariantAnimation; meanwhile user input to the whole program is dropped and the session
// is Animating.
//
// Client area: the canvas below the menu bar shows a scene of 542 x 400 pixels. 542 is the
// width of a 361-unit dialog; the height is 400 instead of 394 so that the whole
// board area (0, 70)-(311, 400) fits. Scene pixel (x, y) is the board geometry's client pixel
// (x, y). That size is the window's default and smallest; larger windows scale the scene.
//
// Network play is handed in with SetNetworkPlay() before Initialise(): the window gives its
// link to the session, starts its listener when "listen" under "NET" allows it (showing
// "监听端口时出错!!" when that fails) and passes it to every start dialog. The network play
// must be destroyed before the window.
//
// The solved table is handed in with SetTableService() (main.cpp starts it in the background
// at start-up); without one the window builds its own on first need. The levels 高手 and 完美,
// the hint and the analysis use it; until it is ready the computer's turn waits (the window
// looks again every kTablePollMs) and the hint says that it is being prepared.
class MainDialog : public QDialog, public GameView {
    Q_OBJECT
  signals:
    // A game's clock started (true) or stopped (false).
    void gameRunningChanged(bool running);

  public:
    static constexpr int kClientWidth = 542;
    static constexpr int kClientHeight = 400;
    static constexpr int kDefaultAnimationMs = 400;
    // How long a hint's marks stay on the board.
    static constexpr int kHintMs = 2500;
    static constexpr int kTablePollMs = 50;

    explicit MainDialog(QWidget* parent = nullptr);
    ~MainDialog() override;

    // Start-up: reads set/kelvara.ini once and builds the brush, pictures and cursors. When
    // the file cannot be opened it tells the user and returns false: the program then ends.
    bool Initialise(const std::string& settingsPath = "set/kelvara.ini");

    // The session, for the network layer (which calls its operations) and for tests.
    GameSession& Session() { return session_; }
    const GameSession& Session() const { return session_; }
    // Network play for this window (not owned; nullptr: this machine only).
    void SetNetworkPlay(NetworkPlay* network);
    bool ListenEnabled() const { return listenEnabled_; }
    quint16 ListenPort() const { return kGamePort; }

    // Puts another computer player in place of the level's one (not owned; nullptr goes back
    // to the level's player at the next game).
    void SetMoveChooser(MoveChooser* chooser);
    // The solved table (not owned; it must outlive the window). Not started here.
    void SetTableService(TableService* table);
    // The level chosen in the menu (or by the settings), and the one the running game plays.
    Level ChosenLevel() const { return chosenLevel_; }
    Level ActiveLevel() const { return activeLevel_; }
    // The computer's player of the game in progress.
    const MoveChooser* Computer() const { return activeComputer_; }
    const PlayAids& Aids() const { return aids_; }
    BoardMarks* Marks() const { return marks_; }
    // Total time of one step's slide (95 pixels); 0 completes the step at once.
    void SetAnimationMilliseconds(int ms) { animationMs_ = ms < 0 ? 0 : ms; }
    int AnimationMilliseconds() const { return animationMs_; }

    // What the window shows, for tests and for the network layer.
    BoardCanvas* Canvas() const { return canvas_; }
    // The board scene as it stands, one image pixel per scene pixel.
    QImage CanvasImage() const;
    QString MatchText() const;
    const QString& StatusText() const { return statusText_; }
    QString ClockText() const;
    QTreeWidget* BlackHistory() const { return blackHistory_; }
    QTreeWidget* WhiteHistory() const { return whiteHistory_; }
    QLabel* StatusLabel() const { return statusLabel_; }
    QLabel* ClockLabel() const { return clockLabel_; }
    QMenuBar* Menu() const { return menuBar_; }
    const QFont& StatusFont() const { return statusFont_; }
    const QFont& ClockFont() const { return clockFont_; }
    const ScenePicture& PiecePicture(CellCode side) const;
    const QCursor& TurnCursor(CellCode side) const;
    SoundPlayer& Sounds() { return sounds_; }
    bool ClockRunning() const { return clockTimer_.isActive(); }
    const DragController& DragControl() const { return *drag_; }
    const BoardKeyboard& Keyboard() const { return keyboard_; }
    // The players found on the network, offered by the start dialog (none: not offered).
    void SetDiscovery(NetworkDiscovery* discovery) { discovery_ = discovery; }
    QWidget* BoardArea() const { return boardArea_; }
    QFrame* EndBanner() const { return endBanner_; }
    // The 练习 menu and the puzzle on the board; the player's score (战绩).
    PuzzlePlay* Practice() const { return puzzle_; }
    ScoreKeeper& Score() { return score_; }

    // Game records. The picker names the file to save to (true) or to open (false), empty
    // when the player cancels; by default Qt's file dialogs.
    using FilePicker = std::function<QString(bool forSaving)>;
    void SetFilePicker(FilePicker picker) { picker_ = std::move(picker); }
    // Replaces the game by the record's, its steps on the board and in the lists so that undo
    // and redo walk them (as a game between two players). A record that cannot be read is
    // named in a message box and the game in progress stays. False when nothing was opened.
    bool OpenRecord(const QString& path);
    // Stepping through a finished game or an opened record, with its review chart.
    const GameReplay& Replay() const { return *replay_; }
    ReviewChart* Chart() const { return chart_; }

    // GameView
    void SetMatchLine(const std::string& text) override;
    void SetStatusLine(const std::string& text) override;
    void SetClockText(const std::string& text) override;
    void AppendHistory(CellCode side, const std::string& moveText) override;
    void RemoveLastHistory(CellCode side) override;
    void ClearHistory() override;
    void StartClockTimer() override;
    void StopClockTimer() override;
    void PositionChanged() override;
    void StepApplied(const PlyRecord& ply) override;
    void AnimateStep(const PlyRecord& ply) override;
    void StepPlayed(const PlyRecord& ply) override;

  public slots:
    void StartGame();               // 开始
    void StopGame();                // 停止
    void ExitGame();                // 退出: the "OK" box, then the window closes
    void ShowAbout();               // 关于
    void ShowRules();               // 游戏规则 (F1): beside the game, not in its way
    void UndoStep();                // 悔棋 (Ctrl+Z): one- and two-player games only
    void RedoStep();                // 重做 (Ctrl+Shift+Z)
    void ShowHint();                // 提示 (H)
    void SetAnalysisOn(bool on);    // 分析
    void ChooseLevel(Level level);  // 难度: from the next game on
    void SetSoundOn(bool on);       // 声音
    void SaveRecordAs();            // 保存棋谱 (Ctrl+S)
    void OpenRecordFile();          // 打开棋谱 (Ctrl+O)
    void ShowScore();               // 战绩
    void SetUpBoard();              // 摆棋: a game from a position the player sets up

  protected:
    // Enter and Escape close the window only while no game runs: one keypress must not end a
    // game. The close box and 退出 close it always.
    void keyPressEvent(QKeyEvent* event) override;
    // Restored from the task bar: the client area is painted afresh, the pieces only while a
    // game runs, so a finished game's position is not shown again.
    void changeEvent(QEvent* event) override;

  private:
    void BuildControls();
    void BuildMenu();
    void UpdateCursor();
    // The cursor and the undo and redo items, after anything that may change whose turn it is.
    void UpdateTurnControls();
    void BuildCursors();
    void ShowStatus();
    // The aids' marks and the keyboard's, over the board.
    void ShowMarks();
    // Asks before a game under way is given up; true when there is none or the player agrees.
    bool MayDiscardGame();
    // 再来一局: a new game of the last kind with the same players and level.
    void PlayAgain();
    void UpdateEndBanner();
    // A game that has just ended is written to the games folder once; a failure is added to
    // the status line.
    void KeepFinishedGame();
    void FillRecentMenu();
    QString PickFile(bool forSaving);
    bool BoardKey(QKeyEvent* event);
    void OnCanvasPressed(int x, int y);
    void OnCanvasMoved(int x, int y, bool leftHeld);
    void OnCanvasReleased(int x, int y);
    TableService& Table();
    const SolvedTable* ReadyTable() const;
    TurnView Turn() const;
    // The computer's player for a new game of `level`.
    void PrepareComputer(Level level);
    // A puzzle from the 练习 menu: made once the solved table is there, then played as a
    // game against the perfect computer from the puzzle's position.
    void OnPuzzleWanted(int grade, quint32 seed, const QString& title);
    void MakePuzzle(unsigned request, int grade, quint32 seed, const QString& title);
    // The score as games end or are left; `quiet` when nothing may be shown any more.
    void CountGame(const ScoreEntry& entry, bool quiet = false);
    void CountFinishedGame();
    void ShowScoreNotice();
    // Marks and aids after anything that may have changed the game; starts or stops the
    // wait for the table.
    void UpdateAids();
    // The hint and analysis items: offered in this game, and the hint only on a local turn.
    void UpdateAidActions();
    void OnTablePoll();
    void ShowAidStatus(const std::string& text);
    // The board area: erased, or painted from the session's board (the sliding piece at its
    // place of the slide instead of on its target).
    void EraseBoard();
    void PaintBoard();
    // The position on screen: the session's, or the one a replay shows.
    const Board& ShownBoard() const;
    void ShowReplay();
    void OnReplayLeft();
    void DrawPiece(int column, int row, CellCode side);
    void OnSlideFrame(int frame);
    void OnSlideFinished();
    // Ends the slide on screen: the piece is drawn on its target and input is taken again.
    void EndSlide();

    GameSession session_;
    std::unique_ptr<MoveChooser> computer_;  // the classic player, for the window's life
    TableService* table_ = nullptr;
    std::unique_ptr<TableService> ownTable_;
    std::unique_ptr<LevelOpponent> levelPlayer_;
    MoveChooser* override_ = nullptr;
    MoveChooser* activeComputer_ = nullptr;
    Level chosenLevel_ = LevelSetting::kDefault;
    Level activeLevel_ = LevelSetting::kDefault;
    PlayAids aids_;
    PuzzlePlay* puzzle_ = nullptr;
    unsigned puzzleRequests_ = 0;
    ScoreKeeper score_;
    ScoreTally tally_;
    QString scoreError_;
    BoardKeyboard keyboard_{session_};
    NetworkPlay* network_ = nullptr;

    QIcon icon_;
    QMenuBar* menuBar_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* hintAction_ = nullptr;
    QAction* analysisAction_ = nullptr;
    QActionGroup* levelGroup_ = nullptr;
    BoardMarks* marks_ = nullptr;
    QTimer hintTimer_;
    QTimer tablePoll_;
    bool statusIsAid_ = false;
    BoardCanvas* canvas_ = nullptr;
    QWidget* boardArea_ = nullptr;
    NetworkDiscovery* discovery_ = nullptr;
    QFrame* endBanner_ = nullptr;
    QLabel* endText_ = nullptr;
    QPushButton* againButton_ = nullptr;
    QToolButton* reviewButton_ = nullptr;  // 复盘: the finished game's replay
    QAction* againAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    RulesDialog* rules_ = nullptr;
    FilePicker picker_;
    // The record last kept or opened, so that an unchanged game is not kept twice, and
    // whether the game's present end has been dealt with.
    std::string keptRecord_;
    bool endKept_ = false;
    bool opening_ = false;
    std::optional<StartChoice> lastChoice_;
    // The set-up position the last game started from (再来一局 starts there again), if any.
    std::optional<std::pair<Board, CellCode>> lastSetup_;
    QString lastBlack_;
    QString lastWhite_;
    QLabel* matchLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* clockLabel_ = nullptr;
    QTreeWidget* blackHistory_ = nullptr;
    QTreeWidget* whiteHistory_ = nullptr;
    QString statusText_;
    QString sessionStatus_;  // the session's own line, shown again after a replay's
    ReviewChart* chart_ = nullptr;
    std::unique_ptr<GameReplay> replay_;

    QFont statusFont_;
    QFont clockFont_;
    ScenePicture backgroundPicture_;
    ScenePicture blackPicture_;
    ScenePicture whitePicture_;
    QCursor blackCursor_;
    QCursor whiteCursor_;
    QTimer clockTimer_;
    SoundPlayer sounds_;
    QAction* soundAction_ = nullptr;
    bool capturedThisMove_ = false;
    std::unique_ptr<DragController> drag_;

    // The step that slides: its piece, where it goes and where it is drawn now.
    QVariantAnimation slide_;
    std::unique_ptr<InputBlocker> slideBlocker_;
    bool sliding_ = false;
    CellCode slideSide_ = Black;
    BoardPoint slideTarget_ = 0;
    QPoint slideOrigin_;
    QPoint slideDirection_;
    QRect slideSquare_;
    double cursorRatio_ = 0.0;

    bool listenEnabled_ = true;
    int animationMs_ = kDefaultAnimationMs;
};

}  // namespace kelvara
