#include "MainDialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>
#include <cmath>

#include "AboutDialog.h"
#include "BoardAccessible.h"
#include "BoardCanvas.h"
#include "BoardGeometry.h"
#include "BoardMarks.h"
#include "ComputerPlayer.h"
#include "DataPaths.h"
#include "DialogUnits.h"
#include "GameReplay.h"
#include "GbkCodec.h"
#include "InputBlocker.h"
#include "LevelOpponent.h"
#include "MessageBox.h"
#include "NetworkDiscovery.h"
#include "NetworkPlay.h"
#include "PositionSetupDialog.h"
#include "PuzzlePlay.h"
#include "RecordFiles.h"
#include "ReviewChart.h"
#include "RulesDialog.h"
#include "ScoreDialog.h"
#include "SettingsFile.h"
#include "StartGameDialog.h"
#include "TableService.h"
#include "Texts.h"

// Resources of a static library are registered by hand, outside any namespace.
static void InitKelvaraResources() {
    Q_INIT_RESOURCE(kelvara);
}

namespace kelvara {
namespace {

constexpr int kAnimationFrames = 95;

// A font height given as the character cell (25 or 26 pixels) becomes the em size of a
// Verdana-like face, whose cell is about 1.215 em.
int EmPixels(int cellHeight) {
    return static_cast<int>(std::lround(cellHeight / 1.215));
}

QFont MakeFont(int cellHeight) {
    QFont font(QStringLiteral("verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(EmPixels(cellHeight));
    font.setWeight(QFont::ExtraBold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QRect ToQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Paths in the settings file may be written with backslashes.
QString PicturePath(const std::string& value) {
    QString path = QString::fromStdString(value);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

ScenePicture LoadPicture(const SettingsFile& settings, const char* key, QSize drawnSize,
                         ScenePicture::Fit fit) {
    const std::string value = settings.GetValue("BG", key);
    if (value == SettingsFile::kNotFound || value == SettingsFile::kNotLoaded || value.empty())
        return ScenePicture();
    return ScenePicture(DataPaths::Resolve(PicturePath(value)), drawnSize, fit);
}

// The hand drawn for the smallest scale at least `ratio` (the art comes at 1, 1.5, 2 and 3),
// marked with its device pixel ratio so that it shows 32 logical pixels wide.
QCursor MakeHandCursor(const QString& name, double ratio) {
    static constexpr double kScales[] = {1.0, 1.5, 2.0, 3.0};
    double chosen = kScales[3];
    for (double scale : kScales) {
        if (scale >= ratio - 1e-6) {
            chosen = scale;
            break;
        }
    }
    const QString suffix =
        chosen == 1.0 ? QString() : QLatin1Char('@') + QString::number(chosen, 'g', 3) + 'x';
    QPixmap pixmap(QStringLiteral(":/kelvara/") + name + suffix + QStringLiteral(".png"));
    const int wanted = static_cast<int>(std::lround(32 * ratio));
    if (pixmap.width() != wanted)
        pixmap = pixmap.scaled(wanted, wanted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return QCursor(pixmap, 6, 0);
}

QTreeWidget* MakeHistoryList(QWidget* parent, const QString& name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(1);
    list->setHeaderHidden(true);
    list->setHeaderLabels({QString()});
    list->header()->setStretchLastSection(false);
    list->setColumnWidth(0, 80);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameShape(QFrame::StyledPanel);
    list->setFocusPolicy(Qt::NoFocus);
    return list;
}

}  // namespace

MainDialog::MainDialog(QWidget* parent) : QDialog(parent), session_(*this, nullptr, nullptr) {
    InitKelvaraResources();
    computer_ = std::make_unique<ComputerPlayer>(
        DataPaths::Resolve(std::string(ExperienceStore::kDefaultPath)));
    activeComputer_ = computer_.get();
    session_.SetMoveChooser(activeComputer_);

    setWindowTitle(MessageBox::ProgramTitle());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    QFont dialogFont = font();
    dialogFont.setPixelSize(12);
    setFont(dialogFont);

    icon_ = QIcon(QStringLiteral(":/kelvara/icon.png"));
    setWindowIcon(icon_);

    statusFont_ = MakeFont(25);
    clockFont_ = MakeFont(26);
    puzzle_ = new PuzzlePlay(this);
    connect(puzzle_, &PuzzlePlay::Wanted, this, &MainDialog::OnPuzzleWanted);
    BuildMenu();
    BuildControls();

    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, this, [this] { session_.OnClockTick(); });

    hintTimer_.setSingleShot(true);
    hintTimer_.setInterval(kHintMs);
    connect(&hintTimer_, &QTimer::timeout, this, [this] {
        aids_.ClearHint();
        ShowMarks();
    });
    tablePoll_.setInterval(kTablePollMs);
    connect(&tablePoll_, &QTimer::timeout, this, &MainDialog::OnTablePoll);

    slide_.setStartValue(0);
    slide_.setEndValue(kAnimationFrames);
    connect(&slide_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& frame) { OnSlideFrame(frame.toInt()); });
    connect(&slide_, &QVariantAnimation::finished, this, &MainDialog::OnSlideFinished);
}

MainDialog::~MainDialog() {
    slide_.stop();
    clockTimer_.stop();
    tablePoll_.stop();
    if (const auto entry = tally_.Left()) CountGame(*entry, true);
    // The session keeps a pointer to the level's player, which goes before the session.
    session_.SetMoveChooser(nullptr);
}

void MainDialog::BuildMenu() {
    menuBar_ = new QMenuBar(this);
    QMenu* game = menuBar_->addMenu(tr("游戏(&G)"));
    game->setObjectName(QStringLiteral("gameMenu"));
    QAction* start = game->addAction(tr("开始(&S)"), this, &MainDialog::StartGame);
    start->setObjectName(QStringLiteral("actionStart"));
    againAction_ = game->addAction(tr("再来一局(&N)"), this, &MainDialog::PlayAgain);
    againAction_->setObjectName(QStringLiteral("actionAgain"));
    againAction_->setShortcut(QKeySequence::New);
    QAction* stop = game->addAction(tr("停止(&T)"), this, &MainDialog::StopGame);
    stop->setObjectName(QStringLiteral("actionStop"));
    QAction* open = game->addAction(tr("打开棋谱(&O)..."), this, &MainDialog::OpenRecordFile);
    open->setObjectName(QStringLiteral("actionOpenRecord"));
    open->setShortcut(QKeySequence::Open);
    QAction* save = game->addAction(tr("保存棋谱(&P)..."), this, &MainDialog::SaveRecordAs);
    save->setObjectName(QStringLiteral("actionSaveRecord"));
    save->setShortcut(QKeySequence::Save);
    recentMenu_ = game->addMenu(tr("最近的棋局(&R)"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainDialog::FillRecentMenu);
    game->addAction(tr("战绩(&C)..."), this, &MainDialog::ShowScore)
        ->setObjectName(QStringLiteral("actionScore"));
    QAction* exit = game->addAction(tr("退出(&X)"), this, &MainDialog::ExitGame);
    exit->setObjectName(QStringLiteral("actionExit"));
    QMenu* edit = menuBar_->addMenu(tr("编辑(&E)"));
    edit->setObjectName(QStringLiteral("editMenu"));
    undoAction_ = edit->addAction(tr("悔棋(&U)"), this, &MainDialog::UndoStep);
    undoAction_->setObjectName(QStringLiteral("actionUndo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = edit->addAction(tr("重做(&R)"), this, &MainDialog::RedoStep);
    redoAction_->setObjectName(QStringLiteral("actionRedo"));
    redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);
    edit->addSeparator();
    hintAction_ = edit->addAction(tr("提示(&H)"), this, &MainDialog::ShowHint);
    hintAction_->setObjectName(QStringLiteral("actionHint"));
    hintAction_->setShortcut(QKeySequence(Qt::Key_H));
    hintAction_->setEnabled(false);
    analysisAction_ = edit->addAction(tr("分析(&N)"));
    analysisAction_->setObjectName(QStringLiteral("actionAnalysis"));
    analysisAction_->setCheckable(true);
    analysisAction_->setChecked(false);
    analysisAction_->setEnabled(false);
    connect(analysisAction_, &QAction::toggled, this, &MainDialog::SetAnalysisOn);
    edit->addSeparator();
    edit->addAction(tr("摆棋(&B)..."), this, &MainDialog::SetUpBoard)
        ->setObjectName(QStringLiteral("actionSetUp"));
    connect(edit, &QMenu::aboutToShow, this, &MainDialog::UpdateTurnControls);

    QMenu* levels = menuBar_->addMenu(tr("难度(&D)"));
    levels->setObjectName(QStringLiteral("levelMenu"));
    levelGroup_ = new QActionGroup(this);
    levelGroup_->setExclusive(true);
    static constexpr struct {
        Level level;
        const char* name;
    } kLevels[] = {{Level::Beginner, "actionLevelBeginner"},
                   {Level::Classic, "actionLevelClassic"},
                   {Level::Expert, "actionLevelExpert"},
                   {Level::Perfect, "actionLevelPerfect"}};
    for (const auto& entry : kLevels) {
        QAction* action =
            levels->addAction(QString::fromStdString(LevelSetting::ShownTitle(entry.level)));
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setCheckable(true);
        action->setChecked(entry.level == chosenLevel_);
        action->setActionGroup(levelGroup_);
        action->setData(static_cast<int>(entry.level));
        const Level level = entry.level;
        connect(action, &QAction::triggered, this, [this, level] { ChooseLevel(level); });
    }
    QMenu* help = menuBar_->addMenu(tr("帮助(&H)"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* rules = help->addAction(tr("游戏规则(&R)"), this, &MainDialog::ShowRules);
    rules->setObjectName(QStringLiteral("actionRules"));
    rules->setShortcut(QKeySequence(Qt::Key_F1));
    QAction* about = menuBar_->addAction(tr("关于(&A)"), this, &MainDialog::ShowAbout);
    about->setObjectName(QStringLiteral("actionAbout"));
    puzzle_->AddMenu(menuBar_, help->menuAction());
    // The system menu's about item, where the window manager offers no system menu.
    game->addSeparator();
    QAction* aboutToo = game->addAction(tr("关于 Kelvara(&A)..."), this, &MainDialog::ShowAbout);
    aboutToo->setObjectName(QStringLiteral("actionAboutKelvara"));
    game->addSeparator();
    soundAction_ = game->addAction(tr("声音(&V)"));
    soundAction_->setObjectName(QStringLiteral("actionSound"));
    soundAction_->setCheckable(true);
    soundAction_->setChecked(sounds_.Enabled());
    connect(soundAction_, &QAction::toggled, this, &MainDialog::SetSoundOn);
}

void MainDialog::SetSoundOn(bool on) {
    sounds_.SetEnabled(on);
    if (soundAction_->isChecked() != on) soundAction_->setChecked(on);
}

void MainDialog::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);

    canvas_ = new BoardCanvas(this);
    canvas_->setObjectName(QStringLiteral("boardCanvas"));
    canvas_->setMinimumSize(kClientWidth, kClientHeight);
    canvas_->resize(kClientWidth, kClientHeight);
    layout->addWidget(canvas_);
    drag_ = std::make_unique<DragController>(*canvas_, session_, blackPicture_, whitePicture_);
    connect(canvas_, &BoardCanvas::LeftPressed, this, &MainDialog::OnCanvasPressed);
    connect(canvas_, &BoardCanvas::Moved, this, &MainDialog::OnCanvasMoved);
    connect(canvas_, &BoardCanvas::LeftReleased, this, &MainDialog::OnCanvasReleased);
    connect(canvas_, &BoardCanvas::Entered, this, &MainDialog::UpdateCursor);
    // The board for assistive technology and the keyboard: a widget over the drawn board that
    // lets the mouse through and draws nothing.
    boardArea_ = new QWidget(canvas_);
    boardArea_->setObjectName(QStringLiteral("board"));
    boardArea_->setAttribute(Qt::WA_TransparentForMouseEvents);
    boardArea_->setFocusPolicy(Qt::StrongFocus);
    canvas_->Place(boardArea_, QRect(geometry::kFrameInside.left, geometry::kFrameInside.top,
                                     geometry::kFrameInside.right - geometry::kFrameInside.left,
                                     geometry::kFrameInside.bottom - geometry::kFrameInside.top));
    BoardAccessible::Install(
        boardArea_, {[this](BoardPoint p) { return ShownBoard().PieceAt(p); },
                     [this] { return keyboard_.Shown() ? keyboard_.Focus() : BoardPoint{0}; },
                     [this](BoardPoint p) {
                         const PixelRect r = geometry::PieceSquare(PointX(p), PointY(p));
                         return canvas_
                             ->FromScene(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top))
                             .toAlignedRect()
                             .translated(-boardArea_->pos());
                     },
                     [this] { return keyboard_.Lifted(); }});
    // Why a game ended, and a new one with the same players, between the middle rows.
    endBanner_ = new QFrame(canvas_);
    endBanner_->setObjectName(QStringLiteral("endBanner"));
    endBanner_->setStyleSheet(QStringLiteral(
        "#endBanner { background: rgba(255, 250, 235, 225); border: 1px solid rgba(120, 80, 30, "
        "160); border-radius: 6px; }"));
    auto* bannerRow = new QHBoxLayout(endBanner_);
    bannerRow->setContentsMargins(10, 2, 6, 2);
    endText_ = new QLabel(endBanner_);
    endText_->setObjectName(QStringLiteral("endReason"));
    endText_->setWordWrap(true);
    bannerRow->addWidget(endText_, 1);
    againButton_ = new QPushButton(tr("再来一局"), endBanner_);
    againButton_->setObjectName(QStringLiteral("againButton"));
    againButton_->setFocusPolicy(Qt::NoFocus);
    connect(againButton_, &QPushButton::clicked, this, &MainDialog::PlayAgain);
    // A tool button: it takes no more room than its word, so the reason keeps its line.
    reviewButton_ = new QToolButton(endBanner_);
    reviewButton_->setText(tr("复盘"));
    reviewButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    reviewButton_->setObjectName(QStringLiteral("reviewButton"));
    reviewButton_->setFocusPolicy(Qt::NoFocus);
    connect(reviewButton_, &QPushButton::clicked, this,
            [this] { replay_->GoTo(session_.History().size()); });
    bannerRow->addWidget(reviewButton_);
    bannerRow->addWidget(againButton_);
    canvas_->Place(endBanner_, QRect(40, 214, 235, 46));
    endBanner_->hide();
    marks_ = new BoardMarks(canvas_);
    canvas_->SetOverlay([this](QPainter& painter) { marks_->Paint(painter); });
    connect(canvas_, &BoardCanvas::Relaid, this, [this] {
        if (statusLabel_ != nullptr) ShowStatus();
    });

    // The texts lie over the canvas with a transparent background, so the board picture shows
    // behind them.
    matchLabel_ = new QLabel(canvas_);
    matchLabel_->setObjectName(QStringLiteral("matchLine"));
    matchLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    canvas_->Place(matchLabel_, DluRect(10, 8, 230, 13));

    statusLabel_ = new QLabel(canvas_);
    statusLabel_->setObjectName(QStringLiteral("statusLine"));
    statusLabel_->setAlignment(Qt::AlignCenter);
    statusLabel_->setFont(statusFont_);
    canvas_->Place(statusLabel_, DluRect(14, 27, 223, 19));

    clockLabel_ = new QLabel(canvas_);
    clockLabel_->setObjectName(QStringLiteral("clockText"));
    clockLabel_->setAlignment(Qt::AlignCenter);
    clockLabel_->setFont(clockFont_);
    canvas_->Place(clockLabel_, DluRect(264, 14, 81, 24));

    auto* blackTitle = new QLabel(tr("历史记录（黑）"), canvas_);
    canvas_->Place(blackTitle, DluRect(211, 58, 58, 11));
    auto* whiteTitle = new QLabel(tr("历史记录（白）"), canvas_);
    canvas_->Place(whiteTitle, DluRect(287, 57, 58, 11));

    blackHistory_ = MakeHistoryList(canvas_, QStringLiteral("blackHistory"));
    canvas_->Place(blackHistory_, DluRect(210, 74, 68, 159));
    whiteHistory_ = MakeHistoryList(canvas_, QStringLiteral("whiteHistory"));
    canvas_->Place(whiteHistory_, DluRect(286, 74, 68, 159));

    // The review chart of a replay, under the board; hidden, it takes no room.
    chart_ = new ReviewChart(this);
    chart_->hide();
    layout->addWidget(chart_);
    replay_ = std::make_unique<GameReplay>(session_, *this, *blackHistory_, *whiteHistory_, *chart_,
                                           [this] { return &Table(); });
    connect(replay_.get(), &GameReplay::Changed, this, &MainDialog::ShowReplay);
    connect(replay_.get(), &GameReplay::Left, this, &MainDialog::OnReplayLeft);

    resize(sizeHint().expandedTo(minimumSizeHint()));
}

bool MainDialog::Initialise(const std::string& settingsPath) {
    SettingsFile settings;
    if (settings.Load(DataPaths::Resolve(settingsPath)) != 1) {
        MessageBox::Show(this, QStringLiteral("ERROR"), tr("不能加载配置文件!!"),
                         QMessageBox::Critical);
        return false;
    }
    // A key the file lacks takes its installed value, so that a file cut short still draws
    // the board and the pieces.
    settings.SetDefaults(DataPaths::DefaultSettings());

    const QSize scene(kClientWidth, kClientHeight);
    const QSize piece(geometry::kSquare, geometry::kSquare);
    backgroundPicture_ = LoadPicture(settings, "mainbg", scene, ScenePicture::Fit::Tile);
    canvas_->SetBackground(&backgroundPicture_, QColor(200, 210, 220));
    blackPicture_ = LoadPicture(settings, "chessman_black", piece, ScenePicture::Fit::Stretch);
    whitePicture_ = LoadPicture(settings, "chessman_white", piece, ScenePicture::Fit::Stretch);

    BuildCursors();

    ChooseLevel(LevelSetting::FromSetting(settings.GetValue("AI", "level")));

    listenEnabled_ = settings.GetValue("NET", "listen") != "no";
    if (listenEnabled_ && network_ != nullptr && !network_->StartListening())
        MessageBox::Show(this, QStringLiteral("ERROR"), tr("监听端口时出错!!"),
                         QMessageBox::Critical);
    settings.Clear();
    score_.Load();
    ShowScoreNotice();
    UpdateEndBanner();
    return true;
}

void MainDialog::SetNetworkPlay(NetworkPlay* network) {
    network_ = network;
    session_.SetNetworkLink(network != nullptr ? &network->Link() : nullptr);
}

void MainDialog::SetMoveChooser(MoveChooser* chooser) {
    override_ = chooser;
    if (chooser != nullptr) {
        activeComputer_ = chooser;
        session_.SetMoveChooser(chooser);
    }
}

void MainDialog::SetTableService(TableService* table) {
    table_ = table;
}

TableService& MainDialog::Table() {
    if (table_ == nullptr) {
        ownTable_ = std::make_unique<TableService>();
        ownTable_->Start();
        table_ = ownTable_.get();
    }
    return *table_;
}

const SolvedTable* MainDialog::ReadyTable() const {
    return table_ != nullptr ? table_->Table() : nullptr;
}

TurnView MainDialog::Turn() const {
    TurnView turn;
    turn.kind = session_.Kind();
    turn.phase = session_.Phase();
    turn.sideToMove = session_.SideToMove();
    turn.board = &session_.CurrentBoard();
    if (replay_->Active()) {  // nobody moves in a replay
        turn.phase = TurnPhase::Over;
        turn.sideToMove = Empty;
        turn.board = &replay_->ShownBoard();
    }
    return turn;
}

QImage MainDialog::CanvasImage() const {
    return canvas_->Render(1.0);
}

void MainDialog::BuildCursors() {
    cursorRatio_ = devicePixelRatioF();
    blackCursor_ = MakeHandCursor(QStringLiteral("cursor_black"), cursorRatio_);
    whiteCursor_ = MakeHandCursor(QStringLiteral("cursor_white"), cursorRatio_);
}

QString MainDialog::MatchText() const {
    return matchLabel_->text();
}

QString MainDialog::ClockText() const {
    return clockLabel_->text();
}

const ScenePicture& MainDialog::PiecePicture(CellCode side) const {
    static const ScenePicture none;
    if (side == Black) return blackPicture_;
    if (side == White) return whitePicture_;
    return none;
}

const QCursor& MainDialog::TurnCursor(CellCode side) const {
    return side == White ? whiteCursor_ : blackCursor_;
}

// ---- menu ----

bool MainDialog::MayDiscardGame() {
    if (!session_.GameRunning() || session_.SideToMove() == Empty || session_.History().empty())
        return true;
    QMessageBox box(QMessageBox::Question, MessageBox::ProgramTitle(),
                    tr("这一局还没有下完，要放弃它，开始新的一局吗？"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MainDialog::PlayAgain() {
    if (puzzle_->Active()) {
        puzzle_->Again();
        return;
    }
    if (!lastChoice_ || lastChoice_->kind == GameKind::Network) {
        StartGame();  // a network game needs an invitation again
        return;
    }
    if (!MayDiscardGame()) return;
    if (lastChoice_->kind == GameKind::OnePlayer) PrepareComputer(chosenLevel_);
    if (lastSetup_) {
        session_.StartFromPosition(*lastChoice_, lastSetup_->first, lastSetup_->second);
        tally_.SetCounted(false);
    } else {
        session_.Start(*lastChoice_);
    }
    UpdateTurnControls();
}

void MainDialog::SetUpBoard() {
    if (!MayDiscardGame()) return;
    const CellCode toMove = session_.SideToMove() == White ? White : Black;
    PositionSetupDialog dialog(backgroundPicture_, blackPicture_, whitePicture_,
                               session_.CurrentBoard(), toMove,
                               lastChoice_ ? lastChoice_->kind : GameKind::TwoPlayers, this);
    // The dialog offers OK only for a position the game can start from.
    if (dialog.exec() != QDialog::Accepted || dialog.Problem() != SetupProblem::None) return;
    StartChoice choice;
    choice.kind = dialog.Kind();
    const bool alone = choice.kind == GameKind::OnePlayer;
    const QString black = !lastBlack_.isEmpty() ? lastBlack_ : alone ? tr("玩家") : tr("黑方");
    const QString white = !lastWhite_.isEmpty() ? lastWhite_ : tr("白方");
    choice.blackName = GbkCodec::FitToGbk(black.toStdString());
    choice.whiteName = GbkCodec::FitToGbk(white.toStdString());
    if (alone) PrepareComputer(chosenLevel_);
    session_.StartFromPosition(choice, dialog.ChosenBoard(), dialog.SideToMove());
    // A position set up by hand may be won already: its games stay out of the score.
    tally_.SetCounted(false);
    lastChoice_ = choice;
    lastSetup_.emplace(dialog.ChosenBoard(), dialog.SideToMove());
    marks_->StopLeaving();
    UpdateTurnControls();
}

void MainDialog::StartGame() {
    if (!MayDiscardGame()) return;
    auto dialog = std::make_unique<StartGameDialog>(
        this, network_, DataPaths::Resolve(std::string("set/player.information")));
    if (lastChoice_) dialog->Remember(lastChoice_->kind, lastBlack_, lastWhite_);
    if (discovery_ != nullptr)
        dialog->ShowFoundPlayers(&discovery_->Found(), &discovery_->Client());
    if (dialog->exec() != QDialog::Accepted) return;
    lastBlack_ = dialog->BlackName();
    lastWhite_ = dialog->WhiteName();
    StartChoice choice;
    choice.kind = dialog->Kind();
    // A name goes to the peer as GBK: what GBK cannot hold shows as '?' here too, as the peer
    // sees it.
    choice.blackName = GbkCodec::FitToGbk(dialog->BlackName().toStdString());
    choice.whiteName = GbkCodec::FitToGbk(dialog->WhiteName().toStdString());
    dialog.reset();
    lastChoice_ = choice;
    lastSetup_.reset();
    if (choice.kind == GameKind::OnePlayer) PrepareComputer(chosenLevel_);
    session_.Start(choice);
    UpdateTurnControls();
}

void MainDialog::PrepareComputer(Level level) {
    activeLevel_ = level;
    if (override_ != nullptr) return;
    session_.SetMoveChooser(computer_.get());
    levelPlayer_.reset();
    activeComputer_ = computer_.get();
    if (activeLevel_ == Level::Classic) return;
    levelPlayer_ = std::make_unique<LevelOpponent>(activeLevel_,
                                                   QRandomGenerator::global()->generate(), Table());
    activeComputer_ = levelPlayer_.get();
    session_.SetMoveChooser(activeComputer_);
}

void MainDialog::ChooseLevel(Level level) {
    chosenLevel_ = level;
    for (QAction* action : levelGroup_->actions()) {
        if (action->data().toInt() == static_cast<int>(level) && !action->isChecked())
            action->setChecked(true);
    }
}

void MainDialog::ShowHint() {
    if (!PlayAids::AidsOffered(session_.Kind())) return;
    if (PlayAids::LocalMayMove(Turn()) && !puzzle_->AcceptHint()) return;
    const std::string text = aids_.AskHint(Turn(), ReadyTable());
    if (text.empty()) return;
    if (ReadyTable() == nullptr) Table();
    ShowAidStatus(text);
    ShowMarks();
    if (aids_.HintShown()) hintTimer_.start();
}

void MainDialog::SetAnalysisOn(bool on) {
    aids_.SetAnalysis(on);
    if (analysisAction_->isChecked() != on) analysisAction_->setChecked(on);
    if (on && ReadyTable() == nullptr) Table();
    UpdateAids();
}

void MainDialog::UpdateAids() {
    const TurnView turn = Turn();
    UpdateAidActions();
    aids_.Refresh(turn, ReadyTable());
    ShowMarks();
    const bool waiting =
        session_.ComputerTurnPending() || aids_.AnalysisWaiting(turn, ReadyTable());
    if (waiting && !tablePoll_.isActive()) tablePoll_.start();
    if (!waiting) tablePoll_.stop();
}

void MainDialog::UpdateAidActions() {
    const TurnView turn = Turn();
    hintAction_->setEnabled(PlayAids::LocalMayMove(turn));
    // The analysis would give a puzzle away.
    analysisAction_->setEnabled(PlayAids::AidsOffered(turn.kind) && !puzzle_->Active());
}

void MainDialog::OnTablePoll() {
    if (session_.ComputerTurnPending()) {
        session_.ResumeComputerTurn();
        if (session_.ComputerTurnPending()) return;
    }
    UpdateTurnControls();
}

void MainDialog::ShowAidStatus(const std::string& text) {
    statusText_ = QString::fromStdString(text);
    statusIsAid_ = true;
    ShowStatus();
}

void MainDialog::StepPlayed(const PlyRecord& ply) {
    EndSlide();
    aids_.StepPlayed(ply);
    hintTimer_.stop();
    ShowMarks();
    QString said = (ply.side == Black ? tr("黑棋走 %1") : tr("白棋走 %1"))
                       .arg(QString::fromStdString(Board::FormatMove(ply.step)));
    if (!ply.captured.empty())
        said += tr("，吃掉 %n 子", nullptr, static_cast<int>(ply.captured.size()));
    BoardAccessible::Announce(boardArea_, said);
    tally_.StepPlayed(session_.Kind(), activeLevel_);
    if (puzzle_->StepPlayed(ply, session_.CurrentBoard(), ReadyTable())) {
        // The win is lost: the puzzle's game stops here, clock and all, and the line says why.
        session_.Stop();
        StopClockTimer();
        SetStatusLine({});
    }
}

void MainDialog::StopGame() {
    session_.Stop();
    UpdateTurnControls();
}

void MainDialog::UndoStep() {
    replay_->Leave();
    if (!session_.Undo()) return;
    keyboard_.Reset();
    marks_->StopLeaving();
    aids_.ClearHint();
    UpdateTurnControls();
}

void MainDialog::RedoStep() {
    replay_->Leave();
    if (!session_.Redo()) return;
    keyboard_.Reset();
    aids_.ClearHint();
    UpdateTurnControls();
}

void MainDialog::ExitGame() {
    MessageBox::Show(this, MessageBox::ProgramTitle(), QStringLiteral("OK"), QMessageBox::NoIcon);
    close();
}

void MainDialog::ShowAbout() {
    AboutDialog about(icon_, this);
    about.exec();
}

void MainDialog::ShowRules() {
    if (rules_ == nullptr)
        rules_ = new RulesDialog({backgroundPicture_, blackPicture_, whitePicture_}, this);
    rules_->show();
    rules_->raise();
    rules_->activateWindow();
}

void MainDialog::ShowMarks() {
    std::vector<BoardMark> marks = aids_.Marks();
    // A replay shows no ring: the keys step through the game.
    const std::vector<BoardMark> keys =
        replay_->Active() ? std::vector<BoardMark>{} : keyboard_.Marks();
    marks.insert(marks.end(), keys.begin(), keys.end());
    marks_->SetMarks(marks);
}

bool MainDialog::BoardKey(QKeyEvent* event) {
    if (!(event->modifiers() & ~Qt::KeypadModifier) && replay_->Key(event->key())) return true;
    if (replay_->Active()) {
        // The keyboard's ring comes back with the game, when Space or Enter goes on with it.
        const int key = event->key();
        const bool pick = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
        if (!pick || !replay_->PlayOn()) return false;
    }
    if (!session_.GameRunning() || drag_->Dragging()) return false;
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) return false;
    using Key = BoardKeyboard::Key;
    Key key = Key::Other;
    switch (event->key()) {
        case Qt::Key_Left:
            key = Key::Left;
            break;
        case Qt::Key_Right:
            key = Key::Right;
            break;
        case Qt::Key_Up:
            key = Key::Up;
            break;
        case Qt::Key_Down:
            key = Key::Down;
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            key = Key::Pick;
            break;
        case Qt::Key_Escape:
            key = Key::Back;
            break;
        case Qt::Key_Backspace:
            key = Key::Erase;
            break;
        default:
            break;
    }
    const BoardKeyboard::Result result = keyboard_.Press(key, event->text().toStdString());
    if (result == BoardKeyboard::Result::Ignored) return false;
    if (result == BoardKeyboard::Result::Refused) QApplication::beep();
    // A step played by keys hands the turn over as a dropped piece does: the aids and the
    // actions follow the side now to move.
    if (result == BoardKeyboard::Result::Played)
        UpdateTurnControls();
    else
        ShowMarks();
    BoardAccessible::FocusMoved(boardArea_, keyboard_.Focus());
    return true;
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    if (BoardKey(event)) {
        event->accept();
        return;
    }
    const bool closingKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                            event->key() == Qt::Key_Escape;
    if (closingKey && event->modifiers() == Qt::NoModifier) {
        // A game is under way until it ends or 停止 takes the turn away from both sides.
        if (session_.GameRunning() && session_.SideToMove() != Empty) {
            event->accept();
            return;
        }
        // Enter closes the window like Escape does (QDialog handles Escape itself).
        if (event->key() != Qt::Key_Escape) {
            accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

// ---- mouse ----

void MainDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized)) {
        EraseBoard();
        if (session_.GameRunning() || replay_->Active()) PaintBoard();
    }
}

void MainDialog::UpdateCursor() {
    if (devicePixelRatioF() != cursorRatio_ && cursorRatio_ != 0.0) BuildCursors();
    switch (DragController::CursorFor(session_)) {
        case TurnCursor::Default:
            canvas_->unsetCursor();
            break;
        case TurnCursor::BlackHand:
            canvas_->setCursor(blackCursor_);
            break;
        case TurnCursor::WhiteHand:
            canvas_->setCursor(whiteCursor_);
            break;
        case TurnCursor::Unchanged:
            break;
    }
}

void MainDialog::UpdateTurnControls() {
    UpdateCursor();
    undoAction_->setEnabled(session_.CanUndo() && !puzzle_->Active());
    redoAction_->setEnabled(session_.CanRedo() && !puzzle_->Active());
    const auto history = session_.History();
    aids_.SetLastStep(replay_->Active() ? replay_->ShownLast()
                      : history.empty() ? nullptr
                                        : &history.back());
    UpdateAids();
    UpdateEndBanner();
}

void MainDialog::OnCanvasPressed(int x, int y) {
    if (keyboard_.Lifted() != 0) {  // the mouse takes over from a piece lifted by keyboard
        keyboard_.Reset();
        ShowMarks();
    }
    const BoardPoint point = geometry::PointAtPixel(x, y);
    if (!replay_->Press(PointX(point), PointY(point))) return;
    drag_->Press(x, y);
    UpdateTurnControls();
}

void MainDialog::OnCanvasMoved(int x, int y, bool leftHeld) {
    UpdateCursor();
    drag_->Move(x, y, leftHeld);
}

void MainDialog::OnCanvasReleased(int x, int y) {
    drag_->Release(x, y);
    UpdateTurnControls();
}

// ---- texts, lists, clock ----

void MainDialog::SetMatchLine(const std::string& text) {
    QString line = QString::fromStdString(text);
    // Against the computer the line names its level when it is not the usual one.
    const QString computer = QString::fromStdString(texts::Text(texts::kComputerWhite));
    if (session_.Kind() == GameKind::OnePlayer && activeLevel_ != LevelSetting::kDefault &&
        line.endsWith(computer)) {
        line.chop(computer.size());
        line += tr("电脑（%1）(白)")
                    .arg(QString::fromStdString(LevelSetting::ShownTitle(activeLevel_)));
    }
    matchLabel_->setText(line);
}

void MainDialog::UpdateEndBanner() {
    if (session_.Phase() == TurnPhase::NoGame && !lastChoice_) {
        // The first screen: where a game begins.
        endText_->setText(tr("游戏 → 开始，或按 Ctrl+N"));
        againButton_->setText(tr("开始"));
        reviewButton_->hide();
        endBanner_->show();
        return;
    }
    againButton_->setText(tr("再来一局"));
    reviewButton_->setVisible(replay_->Available());
    if (puzzle_->Active() && !puzzle_->BannerText().isEmpty()) {
        endText_->setText(puzzle_->BannerText());
        againButton_->setText(puzzle_->AgainText());
        endBanner_->show();
        endBanner_->raise();
        return;
    }
    if (session_.Phase() != TurnPhase::Over) {
        endBanner_->hide();
        endKept_ = false;
        return;
    }
    KeepFinishedGame();
    if (replay_->Active()) {  // the banner would cover the position replayed
        endBanner_->hide();
        return;
    }
    const Board& board = session_.CurrentBoard();
    QString why;
    if (board.blackPieces <= 1)
        why = tr("黑棋只剩一子");
    else if (board.whitePieces <= 1)
        why = tr("白棋只剩一子");
    else if (!board.HasLegalStep(Black))
        why = tr("黑棋被围住，无路可走");
    else if (!board.HasLegalStep(White))
        why = tr("白棋被围住，无路可走");
    else if (session_.Kind() == GameKind::OnePlayer)
        why = tr("电脑认输");
    else
        why = tr("对局结束");
    endText_->setText(why);
    endBanner_->show();
    endBanner_->raise();
}

void MainDialog::KeepFinishedGame() {
    if (endKept_ || opening_) return;
    endKept_ = true;
    const GameRecordFile record =
        RecordFiles::FromSession(session_, activeLevel_, QDate::currentDate());
    std::string text = record.Write();
    if (text == keptRecord_) return;  // the same end again, after an undo and a redo
    keptRecord_ = std::move(text);
    QString error;
    if (!RecordFiles::Keep(record, QDateTime::currentDateTime(), error).isEmpty()) return;
    qWarning("kelvara: the finished game was not kept: %s", qUtf8Printable(error));
    statusText_ += tr("（棋谱没能保存）");
    sessionStatus_ = statusText_;
    statusIsAid_ = false;
    ShowStatus();
}

QString MainDialog::PickFile(bool forSaving) {
    if (picker_) return picker_(forSaving);
    const QString filter = tr("棋谱 (*.kvr);;所有文件 (*)");
    QDir().mkpath(RecordFiles::GamesFolder());
    if (forSaving) {
        QString path =
            QFileDialog::getSaveFileName(this, tr("保存棋谱"), RecordFiles::GamesFolder(), filter);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".kvr");
        return path;
    }
    return QFileDialog::getOpenFileName(this, tr("打开棋谱"), RecordFiles::GamesFolder(), filter);
}

void MainDialog::SaveRecordAs() {
    const QString path = PickFile(true);
    if (path.isEmpty()) return;
    QString error;
    const GameRecordFile record =
        RecordFiles::FromSession(session_, activeLevel_, QDate::currentDate());
    if (!RecordFiles::Save(record, path, error))
        MessageBox::Show(this, MessageBox::ProgramTitle(), tr("棋谱没能保存：%1").arg(error),
                         QMessageBox::Warning);
}

void MainDialog::OpenRecordFile() {
    const QString path = PickFile(false);
    if (!path.isEmpty()) OpenRecord(path);
}

bool MainDialog::OpenRecord(const QString& path) {
    RecordError error;
    const auto record = GameRecordFile::ReadFile(QFile::encodeName(path).toStdString(), error);
    if (!record) {
        MessageBox::Show(this, MessageBox::ProgramTitle(), RecordFiles::ErrorText(error),
                         QMessageBox::Warning);
        return false;
    }
    if (!MayDiscardGame()) return false;
    opening_ = true;
    RecordFiles::PlayInto(session_, *record);
    opening_ = false;
    marks_->StopLeaving();
    // The opened game is kept already: it is not written again when it ends as it did.
    keptRecord_ = RecordFiles::FromSession(session_, activeLevel_, QDate::currentDate()).Write();
    endKept_ = session_.Phase() == TurnPhase::Over;
    replay_->BeginOpened();
    StopClockTimer();  // until the game goes on
    UpdateTurnControls();
    return true;
}

void MainDialog::FillRecentMenu() {
    recentMenu_->clear();
    const QStringList paths = RecordFiles::Recent();
    for (const QString& path : paths) {
        QAction* item = recentMenu_->addAction(QFileInfo(path).completeBaseName());
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { OpenRecord(path); });
    }
    if (paths.isEmpty()) recentMenu_->addAction(tr("（还没有）"))->setEnabled(false);
}

void MainDialog::SetStatusLine(const std::string& text) {
    statusText_ = QString::fromStdString(text);
    sessionStatus_ = statusText_;
    statusIsAid_ = false;
    if (session_.Phase() == TurnPhase::Over) CountFinishedGame();
    if (puzzle_->Active())
        statusText_ = puzzle_->Status(session_, ReadyTable(), score_.Book().PuzzlesSolved());
    if (!scoreError_.isEmpty()) {
        statusText_ += tr("（战绩没能保存）");
        scoreError_.clear();
    }
    ShowStatus();
    // The session writes the status line at every change of turn, network games included.
    UpdateAidActions();
    UpdateEndBanner();
}

void MainDialog::ShowStatus() {
    statusLabel_->setWordWrap(false);
    if (statusIsAid_) {
        // A hint's line is set smaller until it fits, in the text alone: it must be read
        // whole, and the label's own font stays as it is.
        QFont font = statusLabel_->font();
        int pixels = QFontInfo(font).pixelSize();
        const int width = statusLabel_->contentsRect().width();
        while (pixels > 10) {
            font.setPixelSize(pixels);
            if (QFontMetrics(font).horizontalAdvance(statusText_) <= width) break;
            --pixels;
        }
        statusLabel_->setText(QStringLiteral("<span style=\"font-size:%1px\">%2</span>")
                                  .arg(pixels)
                                  .arg(statusText_.toHtmlEscaped()));
        statusLabel_->setToolTip(statusText_);
        return;
    }
    // Centred in the label's own font when it fits. A longer line (a refused move's) is
    // wrapped onto two lines and set smaller until the whole of it fits the label; only
    // below a legible size does it end in an ellipsis. The tool tip always holds all of it.
    statusLabel_->setToolTip(statusText_);
    const QRect room = statusLabel_->contentsRect();
    const QFontMetrics metrics(statusLabel_->font());
    if (metrics.horizontalAdvance(statusText_) <= room.width()) {
        statusLabel_->setText(statusText_);
        return;
    }
    constexpr int kSmallest = 9;
    QTextDocument layout;  // laid out as the label lays out rich text
    layout.setDocumentMargin(0);
    layout.setDefaultFont(statusLabel_->font());
    layout.setTextWidth(room.width());
    for (int pixels = QFontInfo(statusLabel_->font()).pixelSize(); pixels >= kSmallest; --pixels) {
        const QString html = QStringLiteral("<span style=\"font-size:%1px\">%2</span>")
                                 .arg(pixels)
                                 .arg(statusText_.toHtmlEscaped());
        layout.setHtml(html);
        if (layout.size().height() <= room.height() && layout.idealWidth() <= room.width()) {
            statusLabel_->setWordWrap(true);
            statusLabel_->setText(html);
            return;
        }
    }
    statusLabel_->setText(metrics.elidedText(statusText_, Qt::ElideRight, room.width()));
}

void MainDialog::SetClockText(const std::string& text) {
    clockLabel_->setText(QString::fromStdString(text));
}

void MainDialog::AppendHistory(CellCode side, const std::string& moveText) {
    QTreeWidget* list = side == Black ? blackHistory_ : whiteHistory_;
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(moveText)});
    list->addTopLevelItem(item);
    list->scrollToItem(item);
    if (!opening_)
        sounds_.Play(capturedThisMove_ ? SoundPlayer::Sound::Capture : SoundPlayer::Sound::Step);
    capturedThisMove_ = false;
}

void MainDialog::RemoveLastHistory(CellCode side) {
    QTreeWidget* list = side == Black ? blackHistory_ : whiteHistory_;
    const int count = list->topLevelItemCount();
    if (count == 0) return;
    delete list->takeTopLevelItem(count - 1);
    if (count > 1) list->scrollToItem(list->topLevelItem(count - 2));
}

void MainDialog::ClearHistory() {
    // The game that goes is counted as unfinished when it was under way; a game opened from
    // a record or a puzzle is not the player's own play.
    if (const auto entry = tally_.Left()) CountGame(*entry);
    tally_.NewGame();
    tally_.SetCounted(!opening_);
    puzzle_->End();
    ++puzzleRequests_;
    replay_->Leave();
    keptRecord_.clear();  // a new game, kept at its end even when it is the same as the last
    blackHistory_->clear();
    whiteHistory_->clear();
    // A new game: no last step, nothing leaving, no hint.
    aids_.NewGame();
    keyboard_.Reset();
    hintTimer_.stop();
    marks_->StopLeaving();
    ShowMarks();
}

void MainDialog::StartClockTimer() {
    const bool was = clockTimer_.isActive();
    clockTimer_.start();
    if (!was) emit gameRunningChanged(true);
}

void MainDialog::StopClockTimer() {
    const bool was = clockTimer_.isActive();
    clockTimer_.stop();
    if (was) emit gameRunningChanged(false);
}

// ---- practice and score ----

void MainDialog::OnPuzzleWanted(int grade, quint32 seed, const QString& title) {
    if (!MayDiscardGame()) return;
    const unsigned request = ++puzzleRequests_;
    if (ReadyTable() == nullptr) {
        Table();
        statusText_ = tr("正在准备谜题，请稍候……");
        statusIsAid_ = false;
        ShowStatus();
    }
    MakePuzzle(request, grade, seed, title);
}

void MainDialog::MakePuzzle(unsigned request, int grade, quint32 seed, const QString& title) {
    if (request != puzzleRequests_) return;  // another game or puzzle came first
    const SolvedTable* table = ReadyTable();
    if (table == nullptr && Table().CurrentState() != TableService::State::Failed) {
        QTimer::singleShot(kTablePollMs, this,
                           [=, this] { MakePuzzle(request, grade, seed, title); });
        return;
    }
    const std::optional<Puzzle> made =
        table != nullptr ? PuzzleMaker(*table).Make(grade, seed) : std::nullopt;
    if (!made) {
        MessageBox::Show(this, MessageBox::ProgramTitle(), tr("没能准备好这道谜题，请再试一次。"),
                         QMessageBox::Warning);
        return;
    }
    // The puzzle's game: the player's black against the perfect computer, from its position.
    PrepareComputer(Level::Perfect);
    StartChoice choice;
    choice.blackName = lastBlack_.toStdString();
    session_.Start(choice);
    tally_.SetCounted(false);
    puzzle_->Begin(*made, grade, seed, title);
    if (analysisAction_->isChecked()) SetAnalysisOn(false);
    session_.SetUpPosition(puzzle_->Round()->GetPuzzle().board, Black);
    matchLabel_->setText(puzzle_->MatchLine());
    SetStatusLine({});
    UpdateTurnControls();
}

void MainDialog::CountGame(const ScoreEntry& entry, bool quiet) {
    QString error;
    if (!score_.Change([&entry](ScoreBook& book) { entry.AddTo(book); }, error)) {
        qWarning("kelvara: the score was not saved: %s", qUtf8Printable(error));
        if (!quiet) scoreError_ = error;
    }
    if (!quiet) ShowScoreNotice();
}

void MainDialog::CountFinishedGame() {
    const CellCode winner = session_.Winner();
    if (puzzle_->GameEnded(winner)) {
        QString error;
        if (!score_.Change([](ScoreBook& book) { ++book.PuzzlesSolved(); }, error))
            scoreError_ = error;
        ShowScoreNotice();
    }
    const auto entry =
        tally_.Ended(session_.Kind(), activeLevel_, winner, session_.NetworkLocalSide());
    if (entry) CountGame(*entry);
}

void MainDialog::ShowScoreNotice() {
    const QString notice = score_.TakeNotice();
    if (!notice.isEmpty())
        MessageBox::Open(this, MessageBox::ProgramTitle(), notice, QMessageBox::Warning);
}

void MainDialog::ShowScore() {
    score_.Load();
    ShowScoreNotice();
    ScoreDialog dialog(score_, this);
    dialog.exec();
}

// ---- drawing ----

void MainDialog::EraseBoard() {
    const PixelRect& area = geometry::kBoardArea;
    canvas_->Erase(QRect(area.left, area.top, area.right - area.left, area.bottom - area.top));
}

void MainDialog::DrawPiece(int column, int row, CellCode side) {
    if (side != Black && side != White) return;
    canvas_->DrawPicture(ToQRect(geometry::PieceSquare(column, row)), &PiecePicture(side));
}

const Board& MainDialog::ShownBoard() const {
    return replay_ && replay_->Active() ? replay_->ShownBoard() : session_.CurrentBoard();
}

void MainDialog::ShowReplay() {
    PaintBoard();
    UpdateTurnControls();
    const QString said = replay_->StatusText();
    if (said.isEmpty()) {
        statusText_ = sessionStatus_;
        statusIsAid_ = false;
        ShowStatus();
    } else {
        ShowAidStatus(said.toStdString());
        BoardAccessible::Announce(boardArea_, said);
    }
}

void MainDialog::OnReplayLeft() {
    statusText_ = sessionStatus_;
    statusIsAid_ = false;
    ShowStatus();
    PaintBoard();
    // An opened record's clock stood while it was replayed.
    if (session_.GameRunning()) StartClockTimer();
}

void MainDialog::PaintBoard() {
    EraseBoard();
    const Board& board = ShownBoard();
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j)
            if (!sliding_ || MakePoint(i, j) != slideTarget_)
                DrawPiece(i, j, static_cast<CellCode>(board.Code(i, j)));
    if (sliding_) canvas_->DrawPicture(slideSquare_, &PiecePicture(slideSide_));
}

void MainDialog::PositionChanged() {
    drag_->Cancel();
    if (sliding_) {
        slide_.stop();
        sliding_ = false;
        slideBlocker_.reset();
    }
    PaintBoard();
}

void MainDialog::StepApplied(const PlyRecord& ply) {
    // The pieces of the other colour that the step took fade out where they stood, and the
    // step sounds as a capture.
    for (BoardPoint p : ply.captured)
        marks_->StartLeaving(PointX(p), PointY(p),
                             PiecePicture(Enemy(ply.side)).At(devicePixelRatioF()), animationMs_);
    capturedThisMove_ = !ply.captured.empty();
    if (session_.Phase() == TurnPhase::Animating) {
        // The piece stays on its origin until it slides.
        int toX = 0, toY = 0;
        StepTarget(ply.step.fromX, ply.step.fromY, ply.step.direction, toX, toY);
        sliding_ = true;
        slideSide_ = ply.side;
        slideTarget_ = MakePoint(toX, toY);
        slideOrigin_ =
            QPoint(geometry::SquareLeft(ply.step.fromX), geometry::SquareTop(ply.step.fromY));
        slideDirection_ = QPoint(toX - ply.step.fromX, ply.step.fromY - toY);
        slideSquare_ = QRect(slideOrigin_, QSize(geometry::kSquare, geometry::kSquare));
    }
    PaintBoard();
}

void MainDialog::AnimateStep(const PlyRecord& /*ply*/) {
    if (animationMs_ == 0) {
        EndSlide();
        session_.StepAnimationDone();
        return;
    }
    // Input that arrives meanwhile is dropped; the clock keeps ticking.
    slideBlocker_ = std::make_unique<InputBlocker>();
    slide_.stop();
    slide_.setDuration(animationMs_);
    slide_.start();
}

void MainDialog::OnSlideFrame(int frame) {
    if (!sliding_) return;
    const QRect square(slideOrigin_ + slideDirection_ * frame,
                       QSize(geometry::kSquare, geometry::kSquare));
    if (square == slideSquare_) return;
    canvas_->Erase(slideSquare_);
    slideSquare_ = square;
    canvas_->DrawPicture(slideSquare_, &PiecePicture(slideSide_));
}

void MainDialog::OnSlideFinished() {
    if (!sliding_) return;
    EndSlide();
    session_.StepAnimationDone();
    UpdateTurnControls();
}

void MainDialog::EndSlide() {
    if (!sliding_) return;
    slide_.stop();
    sliding_ = false;
    canvas_->Erase(slideSquare_);
    DrawPiece(PointX(slideTarget_), PointY(slideTarget_), slideSide_);
    slideBlocker_.reset();
}

}  // namespace kelvara
