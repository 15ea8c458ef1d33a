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
</context>
<context>
    <name>GameReview</name>
    <message numerus="yes">
        <source>第 %1 步 %2 失误：%3 → %4；应走 %5，%6（%n 步）</source>
        <translation>
            <numerusform>Ply %1, %2, a mistake: %3 → %4; better %5, %6 (%n step)</numerusform>
            <numerusform>Ply %1, %2, a mistake: %3 → %4; better %5, %6 (%n steps)</numerusform>
        </translation>
    </message>
    <message>
        <source>第 %1 步 %2 失误：%3 → %4；应走 %5，%6</source>
        <translation>Ply %1, %2, a mistake: %3 → %4; better %5, %6</translation>
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
