#include "MainDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>
#include <cmath>

#include "AboutDialog.h"
#include "BoardCanvas.h"
#include "CSGDlg.h"
#include "ComputerPlayer.h"
#include "DataPaths.h"
#include "DialogUnits.h"
#include "GbkText.h"
#include "InputBlocker.h"
#include "MessageBox.h"
#include "NetworkPlay.h"
#include "SettingsFile.h"

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
    QString path = QString::fromLocal8Bit(value.data(), static_cast<qsizetype>(value.size()));
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
    session_.SetMoveChooser(computer_.get());

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
    BuildMenu();
    BuildControls();

    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, this, [this] { session_.OnClockTick(); });
}

MainDialog::~MainDialog() {
    clockTimer_.stop();
}

void MainDialog::BuildMenu() {
    menuBar_ = new QMenuBar(this);
    QMenu* game = menuBar_->addMenu(QStringLiteral("游戏(&G)"));
    game->setObjectName(QStringLiteral("gameMenu"));
    QAction* start = game->addAction(QStringLiteral("开始(&S)"), this, &MainDialog::StartGame);
    start->setObjectName(QStringLiteral("actionStart"));
    QAction* stop = game->addAction(QStringLiteral("停止(&T)"), this, &MainDialog::StopGame);
    stop->setObjectName(QStringLiteral("actionStop"));
    QAction* exit = game->addAction(QStringLiteral("退出(&X)"), this, &MainDialog::ExitGame);
    exit->setObjectName(QStringLiteral("actionExit"));
    QMenu* edit = menuBar_->addMenu(QStringLiteral("编辑(&E)"));
    edit->setObjectName(QStringLiteral("editMenu"));
    undoAction_ = edit->addAction(QStringLiteral("悔棋(&U)"), this, &MainDialog::UndoStep);
    undoAction_->setObjectName(QStringLiteral("actionUndo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = edit->addAction(QStringLiteral("重做(&R)"), this, &MainDialog::RedoStep);
    redoAction_->setObjectName(QStringLiteral("actionRedo"));
    redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);
    connect(edit, &QMenu::aboutToShow, this, &MainDialog::UpdateTurnControls);
    QAction* about = menuBar_->addAction(QStringLiteral("关于(&A)"), this, &MainDialog::ShowAbout);
    about->setObjectName(QStringLiteral("actionAbout"));
    // The system menu's about item, where the window manager offers no system menu.
    game->addSeparator();
    QAction* aboutToo =
        game->addAction(QStringLiteral("关于 Kelvara(&A)..."), this, &MainDialog::ShowAbout);
    aboutToo->setObjectName(QStringLiteral("actionAboutKelvara"));
    game->addSeparator();
    soundAction_ = game->addAction(QStringLiteral("声音(&V)"));
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
    connect(canvas_, &BoardCanvas::LeftPressed, this, &MainDialog::OnCanvasPressed);
    connect(canvas_, &BoardCanvas::Moved, this, &MainDialog::OnCanvasMoved);
    connect(canvas_, &BoardCanvas::LeftReleased, this, &MainDialog::OnCanvasReleased);
    connect(canvas_, &BoardCanvas::Entered, this, &MainDialog::UpdateCursor);
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

    auto* blackTitle = new QLabel(QStringLiteral("历史记录（黑）"), canvas_);
    canvas_->Place(blackTitle, DluRect(211, 58, 58, 11));
    auto* whiteTitle = new QLabel(QStringLiteral("历史记录（白）"), canvas_);
    canvas_->Place(whiteTitle, DluRect(287, 57, 58, 11));

    blackHistory_ = MakeHistoryList(canvas_, QStringLiteral("blackHistory"));
    canvas_->Place(blackHistory_, DluRect(210, 74, 68, 159));
    whiteHistory_ = MakeHistoryList(canvas_, QStringLiteral("whiteHistory"));
    canvas_->Place(whiteHistory_, DluRect(286, 74, 68, 159));

    resize(sizeHint().expandedTo(minimumSizeHint()));
}

bool MainDialog::Initialise(const std::string& settingsPath) {
    SettingsFile settings;
    if (settings.Load(DataPaths::Resolve(settingsPath)) != 1) {
        MessageBox::Show(this, QStringLiteral("ERROR"), QStringLiteral("不能加载配置文件!!"),
                         QMessageBox::Critical);
        return false;
    }

    const QSize scene(kClientWidth, kClientHeight);
    const QSize piece(geometry::kSquare, geometry::kSquare);
    backgroundPicture_ = LoadPicture(settings, "mainbg", scene, ScenePicture::Fit::Tile);
    canvas_->SetBackground(&backgroundPicture_, QColor(200, 210, 220));
    blackPicture_ = LoadPicture(settings, "chessman_black", piece, ScenePicture::Fit::Stretch);
    whitePicture_ = LoadPicture(settings, "chessman_white", piece, ScenePicture::Fit::Stretch);

    BuildCursors();

    listenEnabled_ = settings.GetValue("NET", "listen") != "no";
    if (listenEnabled_ && network_ != nullptr && !network_->StartListening())
        MessageBox::Show(this, QStringLiteral("ERROR"), QStringLiteral("监听端口时出错!!"),
                         QMessageBox::Critical);
    settings.Clear();
    return true;
}

void MainDialog::SetNetworkPlay(NetworkPlay* network) {
    network_ = network;
    session_.SetNetworkLink(network != nullptr ? &network->Link() : nullptr);
}

void MainDialog::SetMoveChooser(MoveChooser* chooser) {
    session_.SetMoveChooser(chooser);
}

QImage MainDialog::CanvasImage() const {
    return canvas_->Render(1.0);
}

void MainDialog::SetPointMarks(std::vector<PointMark> marks) {
    canvas_->SetMarks(std::move(marks));
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

void MainDialog::StartGame() {
    auto dialog = std::make_unique<CSGDlg>(
        this, network_, DataPaths::Resolve(std::string("set/player.information")));
    if (dialog->exec() != QDialog::Accepted) return;
    StartChoice choice;
    choice.gameKind = dialog->GameKind();
    choice.blackName = GbkText::FromQString(dialog->BlackName());
    choice.whiteName = GbkText::FromQString(dialog->WhiteName());
    dialog.reset();
    session_.Start(choice);
    UpdateTurnControls();
}

void MainDialog::StopGame() {
    session_.Stop();
    UpdateTurnControls();
}

void MainDialog::UndoStep() {
    session_.Undo();
    UpdateTurnControls();
}

void MainDialog::RedoStep() {
    session_.Redo();
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

void MainDialog::keyPressEvent(QKeyEvent* event) {
    const bool closingKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                            event->key() == Qt::Key_Escape;
    if (closingKey && event->modifiers() == Qt::NoModifier) {
        // A game is under way until it ends or 停止 takes the turn away from both sides.
        if (session_.GameState() == Running && session_.SideToMove() != Empty) {
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
        if (session_.GameState() == Running) DrawAllPieces();
    }
}

void MainDialog::UpdateCursor() {
    if (devicePixelRatioF() != cursorRatio_ && cursorRatio_ != 0.0) BuildCursors();
    switch (session_.CursorFor()) {
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
    undoAction_->setEnabled(session_.CanUndo());
    redoAction_->setEnabled(session_.CanRedo());
}

void MainDialog::OnCanvasPressed(int x, int y) {
    session_.OnLeftButtonDown(x, y);
    UpdateTurnControls();
}

void MainDialog::OnCanvasMoved(int x, int y, bool leftHeld) {
    UpdateCursor();
    session_.OnMouseMove(x, y, leftHeld);
}

void MainDialog::OnCanvasReleased(int x, int y) {
    session_.OnLeftButtonUp(x, y);
    UpdateTurnControls();
}

// ---- texts, lists, clock ----

void MainDialog::SetMatchLine(const std::string& text) {
    matchLabel_->setText(GbkText::ToQString(text));
}

void MainDialog::SetStatusLine(const std::string& text) {
    statusText_ = GbkText::ToQString(text);
    ShowStatus();
}

void MainDialog::ShowStatus() {
    // Centred, ending in an ellipsis when it does not fit.
    const QFontMetrics metrics(statusLabel_->font());
    statusLabel_->setText(
        metrics.elidedText(statusText_, Qt::ElideRight, statusLabel_->contentsRect().width()));
    statusLabel_->setToolTip(statusText_);
}

void MainDialog::SetClockText(const std::string& text) {
    clockLabel_->setText(GbkText::ToQString(text));
}

void MainDialog::AppendHistory(CellCode side, const std::string& moveText) {
    QTreeWidget* list = side == Black ? blackHistory_ : whiteHistory_;
    auto* item = new QTreeWidgetItem(QStringList{GbkText::ToQString(moveText)});
    list->addTopLevelItem(item);
    list->scrollToItem(item);
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
    blackHistory_->clear();
    whiteHistory_->clear();
}

void MainDialog::StartClockTimer() {
    clockTimer_.start();
}

void MainDialog::StopClockTimer() {
    clockTimer_.stop();
}

// ---- drawing ----

void MainDialog::EraseBoard() {
    EraseRect(geometry::kBoardArea);
}

void MainDialog::DrawAllPieces() {
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j)
            DrawPiece(i, j, static_cast<CellCode>(session_.CurrentBoard().Code(i, j)));
}

void MainDialog::DrawPiece(int column, int row, CellCode side) {
    if (side != Black && side != White) return;
    DrawPictureInRect(side, geometry::PieceSquare(column, row));
}

void MainDialog::ErasePiece(int column, int row) {
    // Only the capture rule erases single pieces: the move that follows sounds as a capture.
    capturedThisMove_ = true;
    EraseRect(geometry::PieceSquare(column, row));
}

void MainDialog::EraseRect(const PixelRect& rect) {
    canvas_->Erase(ToQRect(rect));
}

void MainDialog::DrawPictureInRect(CellCode side, const PixelRect& rect) {
    canvas_->DrawPicture(ToQRect(rect), &PiecePicture(side));
}

void MainDialog::AnimateMove(CellCode side, int column, int row, int direction) {
    int x = geometry::SquareLeft(column);
    int y = geometry::SquareTop(row);
    int dx = 0, dy = 0;
    int toColumn = column, toRow = row;
    switch (direction) {
        case Up:
            dy = -1;
            ++toRow;
            break;
        case Down:
            dy = 1;
            --toRow;
            break;
        case Left:
            dx = -1;
            --toColumn;
            break;
        case Right:
            dx = 1;
            ++toColumn;
            break;
        default:
            break;
    }
    const auto square = [](int left, int top) {
        return PixelRect{left, top, left + geometry::kSquare, top + geometry::kSquare};
    };

    // Input that arrives meanwhile is dropped; the clock keeps ticking.
    InputBlocker blocker;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int frame = 1; frame <= kAnimationFrames; ++frame) {
        EraseRect(square(x, y));
        x += dx;
        y += dy;
        DrawPictureInRect(side, square(x, y));
        canvas_->Present();
        const qint64 due = static_cast<qint64>(animationMs_) * frame / kAnimationFrames;
        while (elapsed.elapsed() < due) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::ExcludeSocketNotifiers);
            if (elapsed.elapsed() < due) QThread::msleep(1);
        }
    }
    EraseRect(square(x, y));
    DrawPiece(toColumn, toRow, side);
    canvas_->Present();
    if (animationMs_ > 0) blocker.DropPendingInput();
}

}  // namespace kelvara
