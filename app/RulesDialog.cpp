#include "RulesDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "BoardMarks.h"
#include "BoardText.h"
#include "LevelSetting.h"
#include "PlayAids.h"

namespace kelvara {
namespace {

Board FromText(const char* text) {
    Board board;
    BoardFromText(text, board);
    return board;
}

MoveRecord Step(const char* text) {
    MoveRecord move;
    ParseMoveText(text, move);
    return move;
}

// "第 2 列第 4 行" for a point.
QString PointName(BoardPoint p) {
    return RulesDialog::tr("第 %1 列第 %2 行").arg(PointX(p)).arg(PointY(p));
}

QString Chip(BoardMark::Tone tone, const QString& text) {
    return QStringLiteral(
               "<span style=\"background-color:%1; color:white; font-weight:bold;\">&nbsp;%2&nbsp;"
               "</span>")
        .arg(BoardMarks::ToneColour(tone).name(), text);
}

}  // namespace

RulesDialog::RulesDialog(const BoardArt& art, QWidget* parent) : QDialog(parent), art_(art) {
    setObjectName(QStringLiteral("rulesDialog"));
    setWindowTitle(tr("游戏规则"));
    setModal(false);

    auto* content = new QWidget;
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(16, 12, 16, 12);
    page->setSpacing(8);

    // The board and the pieces.
    AddText(page, tr("<h3>棋盘和棋子</h3><p>六子棋在 4×4 的十六个点上下，点与点之间由横线和竖线"
                     "相连。黑白双方各有六个棋子：黑棋摆满最下面一行，再加上它上面一行的两端；白棋"
                     "在上方对称摆放，中间的四个点空着。黑棋先走，以后双方轮流走棋。</p>"));
    auto* startRow = new QHBoxLayout;
    AddFigure(startRow, QStringLiteral("startDiagram"), Board(), {},
              tr("开局。下面的数字是列，左边的数字是行。"));
    page->addLayout(startRow);

    // Stepping.
    AddText(page, tr("<h3>走棋</h3><p>轮到自己时，把自己的一个棋子沿着线走到相邻的空点上，"
                     "每次一格：不能斜走，不能跳过别的棋子，也不能不走。没有非吃不可的规定，"
                     "来回走也可以。</p>"));

    // Capturing, shown before and after black's step.
    AddText(page,
            tr("<h3>吃子</h3><p>走完一步，看这个棋子所在的那一列和那一行：如果这条线上自己的两个"
               "棋子紧挨在一起，紧挨着它们的一头是对方的一个棋子，而这条线上剩下的那个点是空的，"
               "对方这个棋子就被吃掉。列上和行上各能吃一子，所以一步最多吃两子。</p>"
               "<p>这些都不吃子：一条线上摆满了四个棋子；自己的两子和对方的棋子之间隔着空点；"
               "自己的一子夹在对方两子之间。只有走棋的一方吃子，棋子离开的那条线也不吃子。</p>"));
    const Board before = FromText(kCaptureBefore);
    const MoveRecord step = Step(kCaptureStep);
    Board after = before;
    PlyRecord ply;
    ply.side = Black;
    ply.step = step;
    ply.captured = after.ApplyMove(Black, step);
    BoardMark arrowFrom;
    arrowFrom.kind = BoardMark::Kind::HintFrom;
    arrowFrom.point = MakePoint(step.fromX, step.fromY);
    BoardMark arrowTo = arrowFrom;
    arrowTo.kind = BoardMark::Kind::HintTo;
    arrowTo.from = arrowFrom.point;
    int toX = 0, toY = 0;
    StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
    arrowTo.point = MakePoint(toX, toY);
    QStringList taken;
    for (BoardPoint p : ply.captured) taken << PointName(p);
    const QString stepText = QString::fromStdString(Board::FormatMove(step));
    auto* captureRow = new QHBoxLayout;
    AddFigure(captureRow, QStringLiteral("captureBefore"), before, {arrowFrom, arrowTo},
              tr("黑棋要走 %1：%2的棋子向上走一格。").arg(stepText, PointName(arrowFrom.point)));
    AddFigure(captureRow, QStringLiteral("captureAfter"), after, PlayAids::StepMarks(ply),
              tr("走了 %1 之后，第 %2 列从下往上是空、黑、黑、白：%3的白棋被吃掉（叉）。")
                  .arg(stepText)
                  .arg(toX)
                  .arg(taken.join(tr("和", "between two points"))));
    page->addLayout(captureRow);

    // The end of the game.
    AddText(page, tr("<h3>胜负</h3><p>只剩一个棋子的一方输棋。轮到走棋却一步也走不了、棋子全被"
                     "围住的一方也输棋。和电脑下棋时，电脑无棋可走就认输。棋局没有步数的限制。"
                     "</p>"));
    PlyRecord walledStep;
    walledStep.side = Black;
    walledStep.step = Step(kWalledStep);
    auto* walledRow = new QHBoxLayout;
    AddFigure(walledRow, QStringLiteral("walledIn"), FromText(kWalledIn),
              PlayAids::StepMarks(walledStep),
              tr("黑棋走了 %1，轮到白棋：白棋的两个棋子都被围住，无路可走，黑棋胜。")
                  .arg(QString::fromStdString(Board::FormatMove(walledStep.step))));
    page->addLayout(walledRow);

    // The move text.
    AddText(page,
            tr("<h3>棋谱记法</h3><p>右边的两列历史记录里，每一步写成两个数字和一个字母，例如 "
               "<b>21U</b>：第一个数字是列（从左往右数 1～4），第二个数字是行（从下往上数 1～4），"
               "字母是走的方向：<b>U</b> 向上，<b>D</b> 向下，<b>L</b> 向左，<b>R</b> 向右。"
               "21U 就是“第 2 列第 1 行的棋子向上走一格”，43L 是“第 4 列第 3 行的棋子向左走一格”。"
               "棋谱文件也这样写，用键盘走棋时也可以直接键入（字母大小写都行）。</p>"));

    // Hint and analysis.
    AddText(page, tr("<h3>提示和分析</h3><p>单人游戏和双人游戏中，编辑 → 提示（H）在棋盘上标出"
                     "此时最好的一步，并在状态栏说明结果；编辑 → 分析 在每一步能走的棋上标出它的"
                     "结果，都按双方以后走得最好来算：</p>") +
                      tr("<p>%1 走这一步必胜，算上这一步，自己还要走 N 步；<br>"
                         "%2 走这一步必败，算上这一步，自己最多还能走 N 步；<br>"
                         "%3 双方都不失误，就永远分不出胜负。</p>")
                          .arg(Chip(BoardMark::Tone::Win, tr("胜 N")),
                               Chip(BoardMark::Tone::Loss, tr("负 N")),
                               Chip(BoardMark::Tone::Draw, tr("和", "the draw label"))) +
                      tr("<p>上一步的来处画一个圈，去处画四个角，被吃掉的棋子的位置画一个叉，"
                         "直到下一步为止。</p>"));

    // The levels.
    const auto title = [](Level level) {
        return QString::fromStdString(LevelSetting::ShownTitle(level));
    };
    AddText(page, tr("<h3>难度</h3><p>难度菜单选的是下一局电脑的水平：</p><p>"
                     "<b>%1</b>：常常随手走棋，适合刚学的人；<br>"
                     "<b>%2</b>：原来的电脑棋手，先查自己的经验，再往前看一步，是默认的难度；<br>"
                     "<b>%3</b>：照着算好的整个棋局走棋，偶尔失手；<br>"
                     "<b>%4</b>：每一步都走得最好，不会输棋。</p>"
                     "<p>%3、%4、提示和分析用到的棋局数据在程序启动后准备，准备好之前电脑会"
                     "等一等。</p>")
                      .arg(title(Level::Beginner), title(Level::Classic), title(Level::Expert),
                           title(Level::Perfect)));

    // The keys.
    AddText(page,
            tr("<h3>按键</h3><p>"
               "<b>方向键</b>：在棋盘上移动选择框；<br>"
               "<b>空格、回车</b>：拿起选择框下自己的棋子，用方向键选好相邻的点，再按一次放下；<br>"
               "<b>Esc</b>：把拿起的棋子放回去；<br>"
               "<b>键入 21U 再按回车</b>：走这一步；<br>"
               "<b>Ctrl+N</b>：再来一局；<br>"
               "<b>Ctrl+Z、Ctrl+Shift+Z</b>：悔棋、重做；<br>"
               "<b>H</b>：提示；<br>"
               "<b>Ctrl+S、Ctrl+O</b>：保存棋谱、打开棋谱；<br>"
               "<b>Home、←、→、End</b>：没有对局进行时，在棋谱里回到开头、后退一步、前进一步、"
               "走到最后；<br>"
               "<b>F1</b>：游戏规则（本页）；<br>"
               "<b>Alt+字母</b>：打开菜单名中带下划线字母的菜单。</p>"
               "<p>对局进行中，回车和 Esc 不会关闭窗口。</p>"));
    page->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("rulesScroll"));
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The page is read by keys too: the arrows and Page Up / Down scroll it.
    scroll->setFocusPolicy(Qt::StrongFocus);

    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("rulesClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(scroll, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(16, 0, 16, 0);
    buttonRow->addWidget(buttons);
    layout->addLayout(buttonRow);
    resize(700, 640);
    scroll->setFocus();
}

QLabel* RulesDialog::AddText(QVBoxLayout* page, const QString& html) {
    auto* label = new QLabel(html);
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page->addWidget(label);
    return label;
}

void RulesDialog::AddFigure(QLayout* row, const QString& name, const Board& board,
                            std::vector<BoardMark> marks, const QString& caption) {
    auto* figure = new QVBoxLayout;
    auto* diagram = new BoardDiagram(art_, board, std::move(marks));
    diagram->setObjectName(name);
    figure->addWidget(diagram, 0, Qt::AlignHCenter);
    auto* text = new QLabel(caption);
    text->setObjectName(name + QStringLiteral("Caption"));
    text->setWordWrap(true);
    text->setFixedWidth(diagram->sizeHint().width() + 40);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    figure->addWidget(text, 0, Qt::AlignHCenter);
    figure->addStretch(1);
    auto* box = qobject_cast<QBoxLayout*>(row);
    if (box != nullptr && box->count() == 0) box->addStretch(1);
    row->addItem(figure);
    if (box != nullptr) box->addStretch(1);
}

}  // namespace kelvara
