#include "PositionSetupDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>

#include "BoardText.h"
#include "SetupBoard.h"

namespace kelvara {
namespace {

Board EmptyBoard() {
    Board board;
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y) board.cells[Board::Index(x, y)].code = Empty;
    board.blackPieces = 0;
    board.whitePieces = 0;
    return board;
}

}  // namespace

PositionSetupDialog::PositionSetupDialog(const ScenePicture& background, const ScenePicture& black,
                                         const ScenePicture& white, const Board& board,
                                         CellCode toMove, GameKind kind, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("摆棋"));
    auto* layout = new QHBoxLayout(this);
    // The board with its text below it; the choices beside them.
    auto* left = new QVBoxLayout;
    layout->addLayout(left);
    board_ = new SetupBoard(background, black, white, this);
    board_->setObjectName(QStringLiteral("setupBoard"));
    left->addWidget(board_);
    connect(board_, &SetupBoard::pointClicked, this,
            [this](int column, int row, bool clear) { Click(column, row, clear); });

    auto* side = new QVBoxLayout;
    layout->addLayout(side);

    auto* place = new QGroupBox(tr("摆放"), this);
    auto* placeGrid = new QGridLayout(place);
    tools_ = new QButtonGroup(this);
    const struct {
        Tool tool;
        QString title;
    } tools[] = {{Tool::Cycle, tr("轮换(&C)")},
                 {Tool::Black, tr("黑子(&B)")},
                 {Tool::White, tr("白子(&W)")},
                 {Tool::Erase, tr("擦去(&E)")}};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(tools[i].title, place);
        tools_->addButton(radio, static_cast<int>(tools[i].tool));
        placeGrid->addWidget(radio, i / 2, i % 2);
    }
    tools_->button(static_cast<int>(Tool::Cycle))->setChecked(true);
    connect(tools_, &QButtonGroup::idClicked, this,
            [this](int id) { tool_ = static_cast<Tool>(id); });
    auto* how = new QLabel(tr("左键按所选摆放，右键擦去"), place);
    placeGrid->addWidget(how, 2, 0, 1, 2);
    auto* startButton = new QPushButton(tr("开局(&S)"), place);
    startButton->setAutoDefault(false);
    connect(startButton, &QPushButton::clicked, this, [this] { SetPosition(Board{}); });
    auto* clearButton = new QPushButton(tr("清空(&L)"), place);
    clearButton->setAutoDefault(false);
    connect(clearButton, &QPushButton::clicked, this, [this] { SetPosition(EmptyBoard()); });
    placeGrid->addWidget(startButton, 3, 0);
    placeGrid->addWidget(clearButton, 3, 1);
    side->addWidget(place);

    auto* first = new QGroupBox(tr("先走"), this);
    auto* firstRow = new QHBoxLayout(first);
    blackFirst_ = new QRadioButton(tr("黑棋(&K)"), first);
    whiteFirst_ = new QRadioButton(tr("白棋(&H)"), first);
    firstRow->addWidget(blackFirst_);
    firstRow->addWidget(whiteFirst_);
    connect(blackFirst_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) SetSideToMove(Black);
    });
    connect(whiteFirst_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) SetSideToMove(White);
    });
    side->addWidget(first);

    auto* game = new QGroupBox(tr("对局"), this);
    auto* gameColumn = new QVBoxLayout(game);
    twoPlayers_ = new QRadioButton(tr("两人对弈(&T)"), game);
    computer_ = new QRadioButton(tr("对电脑，你执黑(&M)"), game);
    gameColumn->addWidget(twoPlayers_);
    gameColumn->addWidget(computer_);
    (kind == GameKind::OnePlayer ? computer_ : twoPlayers_)->setChecked(true);
    side->addWidget(game);

    auto* textLabel = new QLabel(tr("棋盘文字(&X)，可粘贴："), this);
    left->addWidget(textLabel);
    text_ = new QLineEdit(this);
    textLabel->setBuddy(text_);
    text_->setObjectName(QStringLiteral("boardText"));
    text_->setMaxLength(64);
    text_->setPlaceholderText(QStringLiteral("bbbbb..bw..wwwww b"));
    connect(text_, &QLineEdit::textEdited, this, [this](const QString& text) { TakeText(text); });
    left->addWidget(text_);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("pieceCounts"));
    left->addWidget(counts_);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("setupProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #a01010;"));
    problem_->setMinimumHeight(problem_->fontMetrics().lineSpacing() * 2);
    problem_->setMaximumWidth(SetupBoard::kWidth);
    left->addWidget(problem_);
    left->addStretch(1);
    side->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(tr("开始"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("setupOk"));
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (ok_->isEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    side->addWidget(buttons);

    board_->SetBoard(board);
    toMove_ = toMove == White ? White : Black;
    (toMove_ == White ? whiteFirst_ : blackFirst_)->setChecked(true);
    Refresh();
}

const Board& PositionSetupDialog::ChosenBoard() const {
    return board_->CurrentBoard();
}

GameKind PositionSetupDialog::Kind() const {
    return computer_->isChecked() ? GameKind::OnePlayer : GameKind::TwoPlayers;
}

void PositionSetupDialog::SetTool(Tool tool) {
    tool_ = tool;
    tools_->button(static_cast<int>(tool))->setChecked(true);
}

void PositionSetupDialog::Click(int column, int row, bool clear) {
    if (!OnGrid(column, row)) return;
    Board board = board_->CurrentBoard();
    std::int32_t& code = board.cells[Board::Index(column, row)].code;
    if (clear || tool_ == Tool::Erase) {
        code = Empty;
    } else if (tool_ == Tool::Black) {
        code = Black;
    } else if (tool_ == Tool::White) {
        code = White;
    } else {
        code = code == Empty ? Black : code == Black ? White : Empty;
    }
    SetPosition(board);
}

void PositionSetupDialog::SetPosition(const Board& board) {
    Board counted = board;
    counted.blackPieces = counted.CountPieces(Black);
    counted.whitePieces = counted.CountPieces(White);
    board_->SetBoard(counted);
    Refresh();
}

void PositionSetupDialog::SetSideToMove(CellCode side) {
    if (toMove_ == side) return;
    toMove_ = side;
    Refresh();
}

bool PositionSetupDialog::TakeText(const QString& text) {
    // The engine's form, perhaps with its command word: [position] <board> [<side>].
    QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!words.isEmpty() &&
        words.front().compare(QLatin1String("position"), Qt::CaseInsensitive) == 0)
        words.pop_front();
    Board board = board_->CurrentBoard();
    CellCode side = toMove_;
    const bool read = (words.size() == 1 || words.size() == 2) &&
                      BoardFromText(words[0].toStdString(), board) &&
                      (words.size() == 1 || SideFromText(words[1].toStdString(), side));
    textInvalid_ = !read;
    if (read) {
        board_->SetBoard(board);
        toMove_ = side;
        (side == White ? whiteFirst_ : blackFirst_)->setChecked(true);
    }
    Refresh(true);
    return read;
}

QString PositionSetupDialog::ProblemText(SetupProblem problem) {
    switch (problem) {
        case SetupProblem::None:
            break;
        case SetupProblem::NoPieces:
            return tr("黑白双方都要有棋子。");
        case SetupProblem::LonePiece:
            return tr("只有一子的一方已经输了：每方至少要有两子。");
        case SetupProblem::TooManyPieces:
            return tr("每方最多六子：对局中棋子只会减少。");
        case SetupProblem::MoverBlocked:
            return tr("先走的一方无路可走，已经输了。");
        case SetupProblem::NoSideToMove:
            return tr("请选择哪一方先走。");
        case SetupProblem::NotLocal:
            return tr("网络对局总是从开局开始。");
    }
    return {};
}

void PositionSetupDialog::Refresh(bool keepText) {
    const Board& board = board_->CurrentBoard();
    if (!keepText) {
        text_->setText(QString::fromStdString(BoardToText(board)) +
                       (toMove_ == White ? QStringLiteral(" w") : QStringLiteral(" b")));
        textInvalid_ = false;
    }
    counts_->setText(
        tr("黑 %1 子，白 %2 子").arg(board.CountPieces(Black)).arg(board.CountPieces(White)));
    const SetupProblem problem = Problem();
    problem_->setText(textInvalid_
                          ? tr("棋盘文字应为 16 个 b、w 或 . （从下往上一行行写），可再加 b 或 w "
                               "表示先走的一方。")
                          : ProblemText(problem));
    ok_->setEnabled(!textInvalid_ && problem == SetupProblem::None);
}

}  // namespace kelvara
