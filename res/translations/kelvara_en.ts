<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>BoardAccessible</name>
    <message>
        <source>黑棋</source>
        <translation>black</translation>
    </message>
    <message>
        <source>白棋</source>
        <translation>white</translation>
    </message>
    <message>
        <source>空</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>第 %1 列 第 %2 行，%3</source>
        <translation>column %1, row %2, %3</translation>
    </message>
    <message>
        <source>棋盘</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>第 %1 列</source>
        <translation>Column %1</translation>
    </message>
    <message>
        <source>第 %1 行</source>
        <translation>Row %1</translation>
    </message>
    <message>
        <source>，已拿起</source>
        <translation>, held</translation>
    </message>
</context>
<context>
    <name>GameReview</name>
    <message numerus="yes">
        <source>第 %1 步 %2 失误：%3 → %4；应走 %5，%6（%n 步）</source>
        <translation>
            <numerusform>Ply %1, %2, mistake: %3 → %4; better %5, %6 (%n step)</numerusform>
            <numerusform>Ply %1, %2, mistake: %3 → %4; better %5, %6 (%n steps)</numerusform>
        </translation>
    </message>
    <message>
        <source>第 %1 步 %2 失误：%3 → %4；应走 %5，%6</source>
        <translation>Ply %1, %2, mistake: %3 → %4; better %5, %6</translation>
    </message>
    <message>
        <source>胜</source>
        <translation>win</translation>
    </message>
    <message>
        <source>和</source>
        <translation>draw</translation>
    </message>
    <message>
        <source>负</source>
        <translation>loss</translation>
    </message>
    <message>
        <source>复盘：黑方失误 %1 次，白方失误 %2 次；第 %3 步定局</source>
        <translation>Review: mistakes by black %1, by white %2; decided at ply %3</translation>
    </message>
    <message>
        <source>复盘：双方均无失误</source>
        <translation>Review: no mistakes on either side</translation>
    </message>
    <message numerus="yes">
        <source>第 %1 步 %2：%3（%n 步）</source>
        <translation>
            <numerusform>Ply %1, %2: %3 (%n step)</numerusform>
            <numerusform>Ply %1, %2: %3 (%n steps)</numerusform>
        </translation>
    </message>
    <message>
        <source>第 %1 步 %2：%3</source>
        <translation>Ply %1, %2: %3</translation>
    </message>
    <message>
        <source>第 %1 步 %2</source>
        <translation>Ply %1, %2</translation>
    </message>
</context>
<context>
    <name>GameSession</name>
    <message>
        <source>现在该你走棋了...</source>
        <translation>Your move...</translation>
    </message>
    <message>
        <source>正在等候电脑走棋，请稍后....</source>
        <translation>Waiting for the computer&apos;s move, please wait....</translation>
    </message>
    <message>
        <source>正在等待对方走棋,请稍后...</source>
        <translation>Waiting for the opponent&apos;s move, please wait...</translation>
    </message>
    <message>
        <source>现在是 %1(黑)  走棋...</source>
        <translation>Now %1 (black)  to move...</translation>
    </message>
    <message>
        <source>现在是 %1(白)  走棋...</source>
        <translation>Now %1 (white)  to move...</translation>
    </message>
    <message>
        <source>电脑(白)</source>
        <translation>Computer (white)</translation>
    </message>
    <message>
        <source>战局：   %1(黑)   VS   %2</source>
        <translation>Match:   %1 (black)   VS   %2</translation>
    </message>
    <message>
        <source>战局：   %1(黑)   VS   %2(白)</source>
        <translation>Match:   %1 (black)   VS   %2 (white)</translation>
    </message>
    <message>
        <source>战局：   黑:%1(本机)   VS   白:%2(%3)</source>
        <translation>Match:   black: %1 (here)   VS   white: %2 (%3)</translation>
    </message>
    <message>
        <source>战局：   白:%1(本机)   VS   黑:%2(%3)</source>
        <translation>Match:   white: %1 (here)   VS   black: %2 (%3)</translation>
    </message>
    <message>
        <source>游戏结束，恭喜你，你赢了!!</source>
        <translation>Game over. Congratulations, you won!!</translation>
    </message>
    <message>
        <source>游戏结束，你输了 :(</source>
        <translation>Game over. You lost :(</translation>
    </message>
    <message>
        <source>游戏结束，黑棋(%1)胜!!</source>
        <translation>Game over. Black (%1) wins!!</translation>
    </message>
    <message>
        <source>游戏结束，白棋(%1)胜!!</source>
        <translation>Game over. White (%1) wins!!</translation>
    </message>
    <message>
        <source>游戏结束，对方已经离开!!</source>
        <translation>Game over. Your opponent has left!!</translation>
    </message>
    <message>
        <source>对方的走法 %1 不合规则,正在等待对方走棋,请稍后...</source>
        <translation>The opponent&apos;s move %1 breaks the rules; waiting for the opponent&apos;s move, please wait...</translation>
    </message>
</context>
<context>
    <name>HintText</name>
    <message numerus="yes">
        <source>提示：%1，必胜（还需 %n 步）</source>
        <translation>
            <numerusform>Hint: %1, a sure win (%n more step)</numerusform>
            <numerusform>Hint: %1, a sure win (%n more steps)</numerusform>
        </translation>
    </message>
    <message>
        <source>提示：%1，和棋</source>
        <translation>Hint: %1, a draw</translation>
    </message>
    <message numerus="yes">
        <source>提示：%1，必败（可坚持 %n 步）</source>
        <translation>
            <numerusform>Hint: %1, a sure loss (holds out %n step)</numerusform>
            <numerusform>Hint: %1, a sure loss (holds out %n steps)</numerusform>
        </translation>
    </message>
    <message>
        <source>提示：正在准备棋局数据，请稍候……</source>
        <translation>Hint: preparing the game data, please wait...</translation>
    </message>
    <message>
        <source>提示：无棋可走</source>
        <translation>Hint: no step to play</translation>
    </message>
    <message>
        <source>胜%1</source>
        <translation>W%1</translation>
    </message>
    <message>
        <source>和</source>
        <translation>D</translation>
    </message>
    <message>
        <source>负%1</source>
        <translation>L%1</translation>
    </message>
</context>
<context>
    <name>LevelSetting</name>
    <message>
        <source>入门</source>
        <translation>Beginner</translation>
    </message>
    <message>
        <source>经典</source>
        <translation>Classic</translation>
    </message>
    <message>
        <source>高手</source>
        <translation>Expert</translation>
    </message>
    <message>
        <source>完美</source>
        <translation>Perfect</translation>
    </message>
</context>
<context>
    <name>RecordFiles</name>
    <message>
        <source>电脑</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>不能建立文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <source>文件太大（超过 1 MiB）</source>
        <translation>The file is too large (over 1 MiB)</translation>
    </message>
    <message>
        <source>不是 UTF-8 文本</source>
        <translation>Not UTF-8 text</translation>
    </message>
    <message>
        <source>标签格式不对，应为 [名称 &quot;值&quot;]</source>
        <translation>Malformed tag; it should read [Name &quot;value&quot;]</translation>
    </message>
    <message>
        <source>标签 %1 重复</source>
        <translation>Tag %1 given twice</translation>
    </message>
    <message>
        <source>标签 %1 的值不对</source>
        <translation>Wrong value of tag %1</translation>
    </message>
    <message>
        <source>局面写得不对</source>
        <translation>The position is not written correctly</translation>
    </message>
    <message>
        <source>局面里双方都要有棋子</source>
        <translation>Both sides need pieces in the position</translation>
    </message>
    <message>
        <source>标签出现在着法之后</source>
        <translation>A tag after the moves</translation>
    </message>
    <message>
        <source>看不懂的着法 %1</source>
        <translation>Unreadable move %1</translation>
    </message>
    <message>
        <source>不合规则的着法 %1</source>
        <translation>Illegal move %1</translation>
    </message>
    <message>
        <source>棋局结束后还有着法 %1</source>
        <translation>Move %1 after the end of the game</translation>
    </message>
    <message>
        <source>结果 %1 与棋局不符</source>
        <translation>Result %1 does not match the game</translation>
    </message>
    <message>
        <source>注释缺少 }</source>
        <translation>Comment without its }</translation>
    </message>
    <message>
        <source>不能读取文件</source>
        <translation>Cannot read the file</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
</context>
<context>
    <name>ScoreKeeper</name>
    <message>
        <source>战绩文件 %1 无法读取，战绩从零开始。</source>
        <translation>The score file %1 cannot be read; the score starts from zero.</translation>
    </message>
    <message>
        <source>战绩文件无法读取，已改名为 %1，战绩从零开始。</source>
        <translation>The score file could not be read and was renamed %1; the score starts from zero.</translation>
    </message>
    <message>
        <source>无法建立文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
</context>
<context>
    <name>kelvara::AboutDialog</name>
    <message>
        <source>关于 Kelvara</source>
        <translation>About Kelvara</translation>
    </message>
    <message>
        <source>Kelvara 1.0 版</source>
        <translation>Kelvara version 1.0</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>中国民间棋，黑白各六子。</source>
        <translation>A Chinese folk game, six pieces a side.</translation>
    </message>
</context>
<context>
    <name>kelvara::GameReplay</name>
    <message>
        <source>开局</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>第 %1 步 %2</source>
        <translation>Ply %1, %2</translation>
    </message>
    <message>
        <source>复盘：正在准备棋局数据，请稍候……</source>
        <translation>Review: preparing the game data, please wait...</translation>
    </message>
</context>
<context>
    <name>kelvara::IncomingInvitations</name>
    <message>
        <source>回应连接失败！</source>
        <translation>Failed to answer a connection!</translation>
    </message>
    <message>
        <source>接受连接时失败!</source>
        <translation>Failed to accept a connection!</translation>
    </message>
    <message>
        <source>来自 %1 的朋友邀请你一起下六子棋,
 你要接受对方的邀请吗？
  附加信息:
      %2</source>
        <translation>A friend at %1 invites you to a game of Liuziqi.
 Do you accept the invitation?
  Message:
      %2</translation>
    </message>
    <message>
        <source>请输入拒绝的原因(512字节以内):</source>
        <translation>Reason for refusing (up to 512 bytes):</translation>
    </message>
</context>
<context>
    <name>kelvara::InvitationTextDialog</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文本中有无法用 GBK 编码表示的字符，请删除这些字符后再确定。</source>
        <translation>The text holds characters that GBK cannot encode. Remove them, then press OK.</translation>
    </message>
</context>
<context>
    <name>kelvara::MainDialog</name>
    <message>
        <source>再来一局(&amp;N)</source>
        <translation>Play Agai&amp;n</translation>
    </message>
    <message>
        <source>打开棋谱(&amp;O)...</source>
        <translation>&amp;Open Record...</translation>
    </message>
    <message>
        <source>保存棋谱(&amp;P)...</source>
        <translation>Sa&amp;ve Record...</translation>
    </message>
    <message>
        <source>最近的棋局(&amp;R)</source>
        <translation>&amp;Recent Games</translation>
    </message>
    <message>
        <source>再来一局</source>
        <translation>Play Again</translation>
    </message>
    <message>
        <source>这一局还没有下完，要放弃它，开始新的一局吗？</source>
        <translation>This game is not finished. Give it up and start a new one?</translation>
    </message>
    <message>
        <source>黑棋走 %1</source>
        <translation>Black plays %1</translation>
    </message>
    <message>
        <source>白棋走 %1</source>
        <translation>White plays %1</translation>
    </message>
    <message>
        <source>游戏 → 开始，或按 Ctrl+N</source>
        <translation>Game → Start, or press Ctrl+N</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>黑棋只剩一子</source>
        <translation>Black has one piece left</translation>
    </message>
    <message>
        <source>白棋只剩一子</source>
        <translation>White has one piece left</translation>
    </message>
    <message>
        <source>黑棋被围住，无路可走</source>
        <translation>Black is walled in, with no step to play</translation>
    </message>
    <message>
        <source>白棋被围住，无路可走</source>
        <translation>White is walled in, with no step to play</translation>
    </message>
    <message>
        <source>电脑认输</source>
        <translation>The computer gives up</translation>
    </message>
    <message>
        <source>对局结束</source>
        <translation>The game is over</translation>
    </message>
    <message>
        <source>（棋谱没能保存）</source>
        <translation> (the record could not be saved)</translation>
    </message>
    <message>
        <source>棋谱 (*.kvr);;所有文件 (*)</source>
        <translation>Game records (*.kvr);;All files (*)</translation>
    </message>
    <message>
        <source>保存棋谱</source>
        <translation>Save Record</translation>
    </message>
    <message>
        <source>打开棋谱</source>
        <translation>Open Record</translation>
    </message>
    <message>
        <source>棋谱没能保存：%1</source>
        <translation>The record could not be saved: %1</translation>
    </message>
    <message>
        <source>（还没有）</source>
        <translation>(none yet)</translation>
    </message>
    <message>
        <source>游戏(&amp;G)</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>开始(&amp;S)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>停止(&amp;T)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>悔棋(&amp;U)</source>
        <translation>&amp;Undo Step</translation>
    </message>
    <message>
        <source>重做(&amp;R)</source>
        <translation>&amp;Redo Step</translation>
    </message>
    <message>
        <source>提示(&amp;H)</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>分析(&amp;N)</source>
        <translation>A&amp;nalysis</translation>
    </message>
    <message>
        <source>难度(&amp;D)</source>
        <translation>&amp;Difficulty</translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>关于 Kelvara(&amp;A)...</source>
        <translation>&amp;About Kelvara...</translation>
    </message>
    <message>
        <source>声音(&amp;V)</source>
        <translation>Soun&amp;d</translation>
    </message>
    <message>
        <source>历史记录（黑）</source>
        <translation>History (black)</translation>
    </message>
    <message>
        <source>历史记录（白）</source>
        <translation>History (white)</translation>
    </message>
    <message>
        <source>不能加载配置文件!!</source>
        <translation>Cannot load the settings file!!</translation>
    </message>
    <message>
        <source>监听端口时出错!!</source>
        <translation>Error while listening on the port!!</translation>
    </message>
    <message>
        <source>电脑（%1）(白)</source>
        <translation>Computer, %1 (white)</translation>
    </message>
    <message numerus="yes">
        <source>，吃掉 %n 子</source>
        <translation>
            <numerusform>, taking %n piece</numerusform>
            <numerusform>, taking %n pieces</numerusform>
        </translation>
    </message>
    <message>
        <source>摆棋(&amp;B)...</source>
        <translation>Set Up &amp;Board...</translation>
    </message>
    <message>
        <source>玩家</source>
        <translation>Player</translation>
    </message>
    <message>
        <source>黑方</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>白方</source>
        <translation>White</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>游戏规则(&amp;R)</source>
        <translation>&amp;Rules of the Game</translation>
    </message>
    <message>
        <source>战绩(&amp;C)...</source>
        <translation>S&amp;core...</translation>
    </message>
    <message>
        <source>复盘</source>
        <translation>Review</translation>
    </message>
    <message>
        <source>（战绩没能保存）</source>
        <translation> (the score could not be saved)</translation>
    </message>
    <message>
        <source>正在准备谜题，请稍候……</source>
        <translation>Preparing the puzzle, please wait...</translation>
    </message>
    <message>
        <source>没能准备好这道谜题，请再试一次。</source>
        <translation>The puzzle could not be prepared. Please try again.</translation>
    </message>
</context>
<context>
    <name>kelvara::MessageBox</name>
    <message>
        <source>六子棋</source>
        <translation>Kelvara</translation>
    </message>
    <message>
        <source>监听信息</source>
        <translation>Listener</translation>
    </message>
</context>
<context>
    <name>kelvara::PlayerListModel</name>
    <message>
        <source>  (对弈中)</source>
        <translation>  (playing)</translation>
    </message>
</context>
<context>
    <name>kelvara::PositionSetupDialog</name>
    <message>
        <source>摆棋</source>
        <translation>Set Up Board</translation>
    </message>
    <message>
        <source>摆放</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>轮换(&amp;C)</source>
        <translation>&amp;Cycle</translation>
    </message>
    <message>
        <source>黑子(&amp;B)</source>
        <translation>&amp;Black piece</translation>
    </message>
    <message>
        <source>白子(&amp;W)</source>
        <translation>&amp;White piece</translation>
    </message>
    <message>
        <source>擦去(&amp;E)</source>
        <translation>&amp;Erase</translation>
    </message>
    <message>
        <source>左键按所选摆放，右键擦去</source>
        <translation>Left button places the choice, right button erases</translation>
    </message>
    <message>
        <source>开局(&amp;S)</source>
        <translation>&amp;Start position</translation>
    </message>
    <message>
        <source>清空(&amp;L)</source>
        <translation>C&amp;lear</translation>
    </message>
    <message>
        <source>先走</source>
        <translation>First to move</translation>
    </message>
    <message>
        <source>黑棋(&amp;K)</source>
        <translation>Blac&amp;k</translation>
    </message>
    <message>
        <source>白棋(&amp;H)</source>
        <translation>W&amp;hite</translation>
    </message>
    <message>
        <source>对局</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>两人对弈(&amp;T)</source>
        <translation>&amp;Two players</translation>
    </message>
    <message>
        <source>对电脑，你执黑(&amp;M)</source>
        <translation>Against the co&amp;mputer, you play black</translation>
    </message>
    <message>
        <source>棋盘文字(&amp;X)，可粘贴：</source>
        <translation>Board te&amp;xt, may be pasted:</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>黑白双方都要有棋子。</source>
        <translation>Both black and white need pieces.</translation>
    </message>
    <message>
        <source>只有一子的一方已经输了：每方至少要有两子。</source>
        <translation>A side with one piece has already lost: each side needs at least two.</translation>
    </message>
    <message>
        <source>每方最多六子：对局中棋子只会减少。</source>
        <translation>At most six pieces a side: a game only ever loses pieces.</translation>
    </message>
    <message>
        <source>先走的一方无路可走，已经输了。</source>
        <translation>The side to move has no step and has already lost.</translation>
    </message>
    <message>
        <source>请选择哪一方先走。</source>
        <translation>Choose the side that moves first.</translation>
    </message>
    <message>
        <source>网络对局总是从开局开始。</source>
        <translation>A network game always begins at the start position.</translation>
    </message>
    <message>
        <source>黑 %1 子，白 %2 子</source>
        <translation>Pieces: black %1, white %2</translation>
    </message>
    <message>
        <source>棋盘文字应为 16 个 b、w 或 . （从下往上一行行写），可再加 b 或 w 表示先走的一方。</source>
        <translation>The board text is 16 of b, w or . (row by row from the bottom), then b or w for the side to move if you like.</translation>
    </message>
</context>
<context>
    <name>kelvara::PuzzlePlay</name>
    <message>
        <source>练习(&amp;P)</source>
        <translation>&amp;Practice</translation>
    </message>
    <message>
        <source>今日谜题(&amp;T)</source>
        <translation>&amp;Today&apos;s Puzzle</translation>
    </message>
    <message>
        <source>%1取胜(&amp;%2)</source>
        <translation>Win in %1 (&amp;%2)</translation>
    </message>
    <message>
        <source>1 步</source>
        <translation>1 step</translation>
    </message>
    <message>
        <source>2–3 步</source>
        <translation>2–3 steps</translation>
    </message>
    <message>
        <source>4–6 步</source>
        <translation>4–6 steps</translation>
    </message>
    <message>
        <source>7 步以上</source>
        <translation>7+ steps</translation>
    </message>
    <message>
        <source>今日谜题（%1）</source>
        <translation>Today&apos;s puzzle (%1)</translation>
    </message>
    <message>
        <source>%1取胜</source>
        <translation>Win in %1</translation>
    </message>
    <message>
        <source>看了提示，这道谜题解开了也不计入战绩。
要看提示吗？</source>
        <translation>After a hint, solving this puzzle does not count in the score.
Show the hint?</translation>
    </message>
    <message>
        <source>练习：%1   你(黑)   VS   电脑(白)</source>
        <translation>Practice: %1   you VS computer</translation>
    </message>
    <message>
        <source>谜题失败：%1 丢掉了胜局</source>
        <translation>Puzzle failed: %1 let the win slip</translation>
    </message>
    <message>
        <source>谜题解开了（用了提示，不计入战绩）</source>
        <translation>Puzzle solved (with a hint, not counted)</translation>
    </message>
    <message>
        <source>谜题解开了！共解开 %1 道</source>
        <translation>Puzzle solved! %1 solved in all</translation>
    </message>
    <message>
        <source>电脑在防守，请稍后....</source>
        <translation>The computer is defending, please wait....</translation>
    </message>
    <message>
        <source>谜题：黑先，%1 步取胜</source>
        <translation>Puzzle: black to move and win in %1</translation>
    </message>
    <message>
        <source>走得好！还需 %1 步取胜</source>
        <translation>Well played! %1 more to win</translation>
    </message>
    <message>
        <source>解开了，用了提示</source>
        <translation>Solved, with a hint</translation>
    </message>
    <message>
        <source>谜题解开了！</source>
        <translation>Puzzle solved!</translation>
    </message>
    <message>
        <source>这一步丢掉了胜局</source>
        <translation>The win is gone</translation>
    </message>
    <message>
        <source>下一题</source>
        <translation>Next Puzzle</translation>
    </message>
    <message>
        <source>再试一次</source>
        <translation>Try Again</translation>
    </message>
</context>
<context>
    <name>kelvara::RulesDialog</name>
    <message>
        <source>第 %1 列第 %2 行</source>
        <translation>column %1, row %2</translation>
    </message>
    <message>
        <source>游戏规则</source>
        <translation>Rules of the Game</translation>
    </message>
    <message>
        <source>&lt;h3&gt;棋盘和棋子&lt;/h3&gt;&lt;p&gt;六子棋在 4×4 的十六个点上下，点与点之间由横线和竖线相连。黑白双方各有六个棋子：黑棋摆满最下面一行，再加上它上面一行的两端；白棋在上方对称摆放，中间的四个点空着。黑棋先走，以后双方轮流走棋。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;The board and the pieces&lt;/h3&gt;&lt;p&gt;Liuziqi is played on the sixteen points of a 4×4 grid, joined by horizontal and vertical lines. Black and white have six pieces each: black fills the bottom row and the two ends of the row above it; white stands the same way at the top, and the four points in the middle are empty. Black moves first, then the two sides take turns.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>开局。下面的数字是列，左边的数字是行。</source>
        <translation>The start. The numbers below are the columns, those on the left the rows.</translation>
    </message>
    <message>
        <source>&lt;h3&gt;走棋&lt;/h3&gt;&lt;p&gt;轮到自己时，把自己的一个棋子沿着线走到相邻的空点上，每次一格：不能斜走，不能跳过别的棋子，也不能不走。没有非吃不可的规定，来回走也可以。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Stepping&lt;/h3&gt;&lt;p&gt;On your turn, move one of your pieces along a line to a neighbouring empty point, one point at a time: not diagonally, not over other pieces, and you cannot pass. Nothing forces a capture, and stepping back and forth is allowed.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;吃子&lt;/h3&gt;&lt;p&gt;走完一步，看这个棋子所在的那一列和那一行：如果这条线上自己的两个棋子紧挨在一起，紧挨着它们的一头是对方的一个棋子，而这条线上剩下的那个点是空的，对方这个棋子就被吃掉。列上和行上各能吃一子，所以一步最多吃两子。&lt;/p&gt;&lt;p&gt;这些都不吃子：一条线上摆满了四个棋子；自己的两子和对方的棋子之间隔着空点；自己的一子夹在对方两子之间。只有走棋的一方吃子，棋子离开的那条线也不吃子。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Capturing&lt;/h3&gt;&lt;p&gt;After a step, look at the column and the row of the piece that moved: if two of your pieces stand next to each other on that line, an enemy piece stands right next to one end of the pair, and the remaining point of the line is empty, that enemy piece is taken. The column and the row can each take one piece, so a step takes at most two.&lt;/p&gt;&lt;p&gt;None of these captures: a line filled with four pieces; a gap between your two pieces and the enemy piece; one of your pieces between two enemy pieces. Only the side that moves captures, and the line the piece left does not capture.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>黑棋要走 %1：%2的棋子向上走一格。</source>
        <translation>Black is about to play %1: the piece at %2 steps up one point.</translation>
    </message>
    <message>
        <source>走了 %1 之后，第 %2 列从下往上是空、黑、黑、白：%3的白棋被吃掉（叉）。</source>
        <translation>After %1, column %2 reads empty, black, black, white from the bottom: the white piece at %3 is taken (the cross).</translation>
    </message>
    <message>
        <source>&lt;h3&gt;胜负&lt;/h3&gt;&lt;p&gt;只剩一个棋子的一方输棋。轮到走棋却一步也走不了、棋子全被围住的一方也输棋。和电脑下棋时，电脑无棋可走就认输。棋局没有步数的限制。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Winning and losing&lt;/h3&gt;&lt;p&gt;A side left with one piece loses. A side whose turn it is but which cannot make a single step, all its pieces walled in, loses too. Against the computer, the computer gives up when it has no step. There is no limit on the number of moves.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>黑棋走了 %1，轮到白棋：白棋的两个棋子都被围住，无路可走，黑棋胜。</source>
        <translation>Black played %1 and it is white&apos;s turn: both white pieces are walled in with no step to play, so black wins.</translation>
    </message>
    <message>
        <source>&lt;h3&gt;棋谱记法&lt;/h3&gt;&lt;p&gt;右边的两列历史记录里，每一步写成两个数字和一个字母，例如 &lt;b&gt;21U&lt;/b&gt;：第一个数字是列（从左往右数 1～4），第二个数字是行（从下往上数 1～4），字母是走的方向：&lt;b&gt;U&lt;/b&gt; 向上，&lt;b&gt;D&lt;/b&gt; 向下，&lt;b&gt;L&lt;/b&gt; 向左，&lt;b&gt;R&lt;/b&gt; 向右。21U 就是“第 2 列第 1 行的棋子向上走一格”，43L 是“第 4 列第 3 行的棋子向左走一格”。棋谱文件也这样写，用键盘走棋时也可以直接键入（字母大小写都行）。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Move notation&lt;/h3&gt;&lt;p&gt;In the two history lists on the right every step is written as two digits and a letter, for example &lt;b&gt;21U&lt;/b&gt;: the first digit is the column (1–4 from the left), the second the row (1–4 from the bottom), and the letter the direction of the step: &lt;b&gt;U&lt;/b&gt; up, &lt;b&gt;D&lt;/b&gt; down, &lt;b&gt;L&lt;/b&gt; left, &lt;b&gt;R&lt;/b&gt; right. 21U is “the piece on column 2, row 1 steps up one point”, 43L is “the piece on column 4, row 3 steps left one point”. Game record files are written the same way, and when you play by keyboard you can type a step directly (in either case).&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;提示和分析&lt;/h3&gt;&lt;p&gt;单人游戏和双人游戏中，编辑 → 提示（H）在棋盘上标出此时最好的一步，并在状态栏说明结果；编辑 → 分析 在每一步能走的棋上标出它的结果，都按双方以后走得最好来算：&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Hint and analysis&lt;/h3&gt;&lt;p&gt;In one-player and two-player games, Edit → Hint (H) marks the best step on the board and tells its outcome in the status line; Edit → Analysis labels every step that can be played with its outcome, always reckoning that both sides play their best from then on:&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1 走这一步必胜，算上这一步，自己还要走 N 步；&lt;br&gt;%2 走这一步必败，算上这一步，自己最多还能走 N 步；&lt;br&gt;%3 双方都不失误，就永远分不出胜负。&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1 this step wins; counting this step, you still need N steps of your own;&lt;br&gt;%2 this step loses; counting this step, you can hold out for at most N steps of your own;&lt;br&gt;%3 if neither side makes a mistake, the game is never decided.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>胜 N</source>
        <translation>W N</translation>
    </message>
    <message>
        <source>负 N</source>
        <translation>L N</translation>
    </message>
    <message>
        <source>&lt;p&gt;上一步的来处画一个圈，去处画四个角，被吃掉的棋子的位置画一个叉，直到下一步为止。&lt;/p&gt;</source>
        <translation>&lt;p&gt;Until the next step, the last step&apos;s starting point carries a ring, its end point four corners, and the place of each taken piece a cross.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;难度&lt;/h3&gt;&lt;p&gt;难度菜单选的是下一局电脑的水平：&lt;/p&gt;&lt;p&gt;&lt;b&gt;%1&lt;/b&gt;：常常随手走棋，适合刚学的人；&lt;br&gt;&lt;b&gt;%2&lt;/b&gt;：原来的电脑棋手，先查自己的经验，再往前看一步，是默认的难度；&lt;br&gt;&lt;b&gt;%3&lt;/b&gt;：照着算好的整个棋局走棋，偶尔失手；&lt;br&gt;&lt;b&gt;%4&lt;/b&gt;：每一步都走得最好，不会输棋。&lt;/p&gt;&lt;p&gt;%3、%4、提示和分析用到的棋局数据在程序启动后准备，准备好之前电脑会等一等。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Difficulty&lt;/h3&gt;&lt;p&gt;The Difficulty menu chooses the computer&apos;s strength for the next game:&lt;/p&gt;&lt;p&gt;&lt;b&gt;%1&lt;/b&gt;: often plays just any step, for those who have only just learnt the game;&lt;br&gt;&lt;b&gt;%2&lt;/b&gt;: the original computer player, which first looks up its experience and then looks one step ahead; the default;&lt;br&gt;&lt;b&gt;%3&lt;/b&gt;: plays from the solved game, with an occasional slip;&lt;br&gt;&lt;b&gt;%4&lt;/b&gt;: plays the best step every time and never loses.&lt;/p&gt;&lt;p&gt;The game data that %3, %4, the hint and the analysis use is prepared after the program starts; until it is ready the computer waits a little.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;按键&lt;/h3&gt;&lt;p&gt;&lt;b&gt;方向键&lt;/b&gt;：在棋盘上移动选择框；&lt;br&gt;&lt;b&gt;空格、回车&lt;/b&gt;：拿起选择框下自己的棋子，用方向键选好相邻的点，再按一次放下；&lt;br&gt;&lt;b&gt;Esc&lt;/b&gt;：把拿起的棋子放回去；&lt;br&gt;&lt;b&gt;键入 21U 再按回车&lt;/b&gt;：走这一步；&lt;br&gt;&lt;b&gt;Ctrl+N&lt;/b&gt;：再来一局；&lt;br&gt;&lt;b&gt;Ctrl+Z、Ctrl+Shift+Z&lt;/b&gt;：悔棋、重做；&lt;br&gt;&lt;b&gt;H&lt;/b&gt;：提示；&lt;br&gt;&lt;b&gt;Ctrl+S、Ctrl+O&lt;/b&gt;：保存棋谱、打开棋谱；&lt;br&gt;&lt;b&gt;Home、←、→、End&lt;/b&gt;：没有对局进行时，在棋谱里回到开头、后退一步、前进一步、走到最后；&lt;br&gt;&lt;b&gt;F1&lt;/b&gt;：游戏规则（本页）；&lt;br&gt;&lt;b&gt;Alt+字母&lt;/b&gt;：打开菜单名中带下划线字母的菜单。&lt;/p&gt;&lt;p&gt;对局进行中，回车和 Esc 不会关闭窗口。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Keys&lt;/h3&gt;&lt;p&gt;&lt;b&gt;Arrow keys&lt;/b&gt;: move the focus ring over the board;&lt;br&gt;&lt;b&gt;Space, Enter&lt;/b&gt;: pick up your piece under the ring, choose the neighbouring point with the arrow keys, press again to put it down;&lt;br&gt;&lt;b&gt;Esc&lt;/b&gt;: put the picked-up piece back;&lt;br&gt;&lt;b&gt;Type 21U, then Enter&lt;/b&gt;: play that step;&lt;br&gt;&lt;b&gt;Ctrl+N&lt;/b&gt;: play again;&lt;br&gt;&lt;b&gt;Ctrl+Z, Ctrl+Shift+Z&lt;/b&gt;: undo, redo a step;&lt;br&gt;&lt;b&gt;H&lt;/b&gt;: hint;&lt;br&gt;&lt;b&gt;Ctrl+S, Ctrl+O&lt;/b&gt;: save, open a game record;&lt;br&gt;&lt;b&gt;Home, ←, →, End&lt;/b&gt;: with no game running, go to the start of a record, one step back, one step forward, to the end;&lt;br&gt;&lt;b&gt;F1&lt;/b&gt;: the rules (this page);&lt;br&gt;&lt;b&gt;Alt+letter&lt;/b&gt;: open the menu whose name has that letter underlined.&lt;/p&gt;&lt;p&gt;During a game, Enter and Esc do not close the window.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>和</source>
        <comment>between two points</comment>
        <translation> and </translation>
    </message>
    <message>
        <source>和</source>
        <comment>the draw label</comment>
        <translation>D</translation>
    </message>
</context>
<context>
    <name>kelvara::ScoreDialog</name>
    <message>
        <source>战绩</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>胜</source>
        <translation>Won</translation>
    </message>
    <message>
        <source>负</source>
        <translation>Lost</translation>
    </message>
    <message>
        <source>未完</source>
        <translation>Unfinished</translation>
    </message>
    <message>
        <source>人机对弈（%1）</source>
        <translation>Against the computer (%1)</translation>
    </message>
    <message>
        <source>双人对弈（以黑方计）</source>
        <translation>Two players (as black)</translation>
    </message>
    <message>
        <source>网络对弈</source>
        <translation>Network games</translation>
    </message>
    <message>
        <source>清零(&amp;R)...</source>
        <translation>&amp;Reset...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>解开的谜题：%1 道</source>
        <translation>Puzzles solved: %1</translation>
    </message>
    <message>
        <source>要把全部战绩清零吗？清零后不能恢复。</source>
        <translation>Reset the whole score to zero? This cannot be undone.</translation>
    </message>
    <message>
        <source>战绩没能保存：%1</source>
        <translation>The score could not be saved: %1</translation>
    </message>
</context>
<context>
    <name>kelvara::SetupBoard</name>
    <message>
        <source>棋盘</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>左键摆放，右键擦去；也可以在下面输入棋盘文字</source>
        <translation>Left button places, right button erases; the board text can also be typed below</translation>
    </message>
</context>
<context>
    <name>kelvara::StartGameDialog</name>
    <message>
        <source>局域网中的玩家：</source>
        <translation>Players on the local network:</translation>
    </message>
    <message>
        <source>无法自动查找玩家，请输入对方的地址。</source>
        <translation>Search is unavailable; enter the address.</translation>
    </message>
    <message>
        <source>开始游戏</source>
        <translation>Start Game</translation>
    </message>
    <message>
        <source>单人游戏（玩家 VS 电脑）</source>
        <translation>One player (player VS computer)</translation>
    </message>
    <message>
        <source>黑棋:  玩家</source>
        <translation>Black:</translation>
    </message>
    <message>
        <source>白棋:   电脑</source>
        <translation>White: computer</translation>
    </message>
    <message>
        <source>双人游戏（玩家  VS  玩家）</source>
        <translation>Two players (player VS player)</translation>
    </message>
    <message>
        <source>黑棋:  玩家1</source>
        <translation>Black:</translation>
    </message>
    <message>
        <source>白棋:  玩家2</source>
        <translation>White:</translation>
    </message>
    <message>
        <source>网络游戏</source>
        <translation>Network game</translation>
    </message>
    <message>
        <source>黑棋(本机):  玩家</source>
        <translation>Black (here):</translation>
    </message>
    <message>
        <source>白棋(网络):  地址</source>
        <translation>White at:</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>List</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>测试连接</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>找不到玩家信息文件！</source>
        <translation>The player information file cannot be found!</translation>
    </message>
</context>
<context>
    <name>kelvara::TcpNetworkPlay</name>
    <message>
        <source>连接测试成功，对方程序版本为 v%1.%2</source>
        <translation>Connection test passed; the other program is version v%1.%2</translation>
    </message>
    <message>
        <source>主机没有运行六子棋程序!!</source>
        <translation>The host is not running Kelvara!!</translation>
    </message>
    <message>
        <source>连接超时！</source>
        <translation>The connection timed out!</translation>
    </message>
    <message>
        <source>无法与主机建立连接!</source>
        <translation>Cannot connect to the host!</translation>
    </message>
    <message>
        <source>消息发送失败!</source>
        <translation>The message could not be sent!</translation>
    </message>
    <message>
        <source>对方拒绝了你的请求，原因是：
   %1</source>
        <translation>Your invitation was refused. The reason:
   %1</translation>
    </message>
    <message>
        <source>收到无效的应答！</source>
        <translation>An invalid answer came back!</translation>
    </message>
    <message>
        <source>创建接口失败！</source>
        <translation>Could not create the socket!</translation>
    </message>
    <message>
        <source>监听端口失败！</source>
        <translation>Could not listen on the port!</translation>
    </message>
    <message>
        <source>请输入邀请信息(512字节以内):</source>
        <translation>Invitation message (up to 512 bytes):</translation>
    </message>
    <message>
        <source>请求已经发出,正在等待对方回应,请等待......</source>
        <translation>The invitation has been sent; waiting for the answer, please wait......</translation>
    </message>
</context>
<context>
    <name>kelvara::WaitingNotice</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
