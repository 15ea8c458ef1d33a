#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StreamSplitter.h"
#include "WireProtocol.h"

using namespace kelvara;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

}  // namespace

// The examples of the protocol's byte table.
TEST(WireProtocol, BuildsTheTableExamples) {
    EXPECT_EQ(WireProtocol::Probe(), Bytes({0x77}));
    EXPECT_EQ(WireProtocol::ProbeReply(), Bytes({0x59, 0x01, 0x00}));
    EXPECT_EQ(WireProtocol::Acceptance(), Bytes({0x61}));
    EXPECT_EQ(WireProtocol::Hello("abc"), Bytes({0x6D, 0x61, 0x62, 0x63}));
    EXPECT_EQ(WireProtocol::Move({2, 1, Up}), Bytes({0x74, 0x02, 0x01, 0x00}));
    EXPECT_EQ(WireProtocol::Move({4, 3, Left}), Bytes({0x74, 0x04, 0x03, 0x02}));
    EXPECT_EQ(WireProtocol::Refusal(""), Bytes({0x72}));
}

TEST(WireProtocol, TextMessagesCarryTheTextAsGbkAndStopAt512Bytes) {
    EXPECT_EQ(WireProtocol::Invitation(""), "i");
    EXPECT_EQ(WireProtocol::Hello(""), "m");
    EXPECT_EQ(WireProtocol::Invitation("a\r\nb"), "ia\r\nb");
    EXPECT_EQ(WireProtocol::Refusal("你好"), "r\xc4\xe3\xba\xc3");
    EXPECT_EQ(WireProtocol::Hello("张三"), "m\xd5\xc5\xc8\xfd");
    // What GBK cannot hold goes as '?'.
    EXPECT_EQ(WireProtocol::Hello("a😀b"), "ma?b");
    const std::string longText(600, 'x');
    EXPECT_EQ(WireProtocol::Invitation(longText).size(), 513u);
    EXPECT_EQ(WireProtocol::Refusal(longText).size(), 513u);
    // The limit counts GBK bytes: 300 characters of two bytes each are cut after 256.
    std::string chinese;
    for (int i = 0; i < 300; ++i) chinese += "中";
    const std::string sent = WireProtocol::Invitation(chinese);
    ASSERT_EQ(sent.size(), 513u);
    EXPECT_EQ(WireProtocol::Text(sent), chinese.substr(0, 256 * 3));
    // A name is not limited by the sender; the receiver's read limit cuts it.
    EXPECT_EQ(WireProtocol::Hello(std::string(150, 'n')).size(), 151u);
}

TEST(WireProtocol, MoveFieldsAreCutToTheirLowByte) {
    EXPECT_EQ(WireProtocol::Move({0x104, -1, 0x203}), Bytes({0x74, 0x04, 0xFF, 0x03}));
}

TEST(WireProtocol, ReadsCodeAndTextUpToTheFirstZero) {
    EXPECT_EQ(WireProtocol::Code(""), '\0');
    EXPECT_EQ(WireProtocol::Code("a and more"), 'a');
    EXPECT_EQ(WireProtocol::Text(""), "");
    EXPECT_EQ(WireProtocol::Text("r"), "");
    EXPECT_EQ(WireProtocol::Text("rbusy"), "busy");
    EXPECT_EQ(WireProtocol::Text(std::string("rbu\0sy", 6)), "bu");
    EXPECT_EQ(WireProtocol::Text(std::string("m\0abc", 5)), "");
    EXPECT_EQ(WireProtocol::Text("m\xd5\xc5\xc8\xfd"), "张三");
    // Bytes that make no character show as U+FFFD; a character cut off at the end is dropped.
    EXPECT_EQ(WireProtocol::Text("r\xff"
                                 "a\xd5"),
              "\xEF\xBF\xBD"
              "a");
}

TEST(WireProtocol, ProbeReplyCountsOnlyWithThreeBytesAndItsCode) {
    int major = 7, minor = 7;
    EXPECT_TRUE(WireProtocol::ReadVersion(Bytes({0x59, 0x01, 0x00}), major, minor));
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);
    // Version bytes are signed.
    EXPECT_TRUE(WireProtocol::ReadVersion(Bytes({0x59, 0xFF, 0x02}), major, minor));
    EXPECT_EQ(major, -1);
    EXPECT_EQ(minor, 2);
    major = minor = 7;
    EXPECT_FALSE(WireProtocol::ReadVersion(Bytes({0x59, 0x01}), major, minor));
    EXPECT_FALSE(WireProtocol::ReadVersion(Bytes({0x59, 0x01, 0x00, 0x00}), major, minor));
    EXPECT_FALSE(WireProtocol::ReadVersion(Bytes({0x58, 0x01, 0x00}), major, minor));
    EXPECT_FALSE(WireProtocol::ReadVersion("", major, minor));
    EXPECT_EQ(major, 7);
    EXPECT_EQ(minor, 7);
}

TEST(WireProtocol, ReadsMoveFieldsAsSignedBytesAndKeepsABadDirection) {
    MoveRecord move{1, 1, Right};
    bool valid = false;
    ASSERT_TRUE(WireProtocol::ReadMove(Bytes({0x74, 0x02, 0x01, 0x00}), move, &valid));
    EXPECT_EQ(move, (MoveRecord{2, 1, Up}));
    EXPECT_TRUE(valid);

    move = {1, 1, Left};
    ASSERT_TRUE(WireProtocol::ReadMove(Bytes({0x74, 0x03, 0x04, 0x07}), move, &valid));
    EXPECT_EQ(move, (MoveRecord{3, 4, Left}));  // direction 7 is not stored
    EXPECT_FALSE(valid);

    ASSERT_TRUE(WireProtocol::ReadMove(Bytes({0x74, 0xFF, 0x80, 0xFF}), move, &valid));
    EXPECT_EQ(move.fromX, -1);
    EXPECT_EQ(move.fromY, -128);
    EXPECT_FALSE(valid);

    move = {1, 1, Down};
    EXPECT_FALSE(WireProtocol::ReadMove(Bytes({0x74, 0x02, 0x01}), move));
    EXPECT_FALSE(WireProtocol::ReadMove(Bytes({0x6D, 0x02, 0x01, 0x00}), move));
    EXPECT_EQ(move, (MoveRecord{1, 1, Down}));
}

TEST(StreamSplitter, MoveSplitOverTwoReadsIsTakenOnceWhole) {
    StreamSplitter s;
    std::string block;
    s.Append(Bytes({0x74, 0x02}));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::NeedMore);
    EXPECT_EQ(s.Size(), 2u);
    s.Append(Bytes({0x01, 0x00}));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::Move);
    EXPECT_EQ(block, Bytes({0x74, 0x02, 0x01, 0x00}));
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::NeedMore);
}

TEST(StreamSplitter, JoinedMessagesLeaveTheRestForTheNextTake) {
    StreamSplitter s;
    std::string block;
    s.Append(Bytes({0x74, 0x02, 0x01, 0x00, 0x74, 0x04, 0x03}));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::Move);
    EXPECT_EQ(block, Bytes({0x74, 0x02, 0x01, 0x00}));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::NeedMore);
    s.Append(Bytes({0x02, 0x6D}));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::Move);
    EXPECT_EQ(block, Bytes({0x74, 0x04, 0x03, 0x02}));
    EXPECT_EQ(s.View(), "m");
}

TEST(StreamSplitter, UnexpectedBytesAreDroppedUpToTheNextMoveOrOneRead) {
    StreamSplitter s;
    std::string block;
    s.Append("mname");
    s.Append(Bytes({0x74, 0x01, 0x01, 0x00}));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::Dropped);
    EXPECT_EQ(block, "mname");
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::Move);

    s.Append(std::string(250, 'x'));
    EXPECT_EQ(s.TakeMove('t', 4, 100, block), StreamSplitter::MoveTake::Dropped);
    EXPECT_EQ(block.size(), 100u);
    EXPECT_EQ(s.Size(), 150u);
}

TEST(StreamSplitter, TextTakesOneReadAndDropsTheTailOfAnOverlongText) {
    StreamSplitter s;
    s.Append("m" + std::string(150, 'n'));
    const std::string hello = s.TakeText(100);
    EXPECT_EQ(hello, "m" + std::string(99, 'n'));
    EXPECT_TRUE(s.Empty());
    s.Append("mab");
    EXPECT_EQ(s.TakeText(100), "mab");
}

TEST(StreamSplitter, DropsBytesBeyondItsCapacity) {
    StreamSplitter s(8);
    s.Append("0123456789");
    EXPECT_EQ(s.View(), "01234567");
    s.Append("x");
    EXPECT_EQ(s.Size(), 8u);
}

// A 't' among other bytes is taken for a frame only when its point is on the board; a frame
// it is not gives up that byte alone, so a move right behind it is still found.
TEST(StreamSplitter, AStrayMoveCodeCannotSwallowTheMoveBehindIt) {
    struct Case {
        std::string stream;
        std::vector<std::string> moves;
    };
    const std::string m21U = Bytes({0x74, 0x02, 0x01, 0x00});
    const std::string m44L = Bytes({0x74, 0x04, 0x04, 0x02});
    const Case cases[] = {
        {"xyzt" + m21U, {m21U}},
        {"tt" + m21U, {m21U}},
        {Bytes({0x74, 0x05, 0x01}) + m44L, {m44L}},
        {Bytes({0x74, 0x01, 0x80, 0x00, 0x74}) + m21U + m44L, {m21U, m44L}},
        {m21U + "zt" + m44L, {m21U, m44L}},
        {Bytes({0x74, 0x01, 0x04, 0x07}), {Bytes({0x74, 0x01, 0x04, 0x07})}},  // on the board
    };
    for (const Case& c : cases) {
        StreamSplitter s;
        s.Append(c.stream);
        std::vector<std::string> taken;
        std::string block;
        for (auto t = StreamSplitter::MoveTake::Dropped; t != StreamSplitter::MoveTake::NeedMore;) {
            t = s.TakeMove('t', 4, 100, block, &WireProtocol::MoveOnBoard);
            if (t == StreamSplitter::MoveTake::Move) taken.push_back(block);
        }
        EXPECT_EQ(taken, c.moves) << c.stream;
        EXPECT_TRUE(s.Empty()) << c.stream;
    }
}
