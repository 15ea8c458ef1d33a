#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "SettingsFile.h"

using kelvara::SettingsFile;

namespace {

class SettingsFileTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& bytes) {
        const auto path = dir_ / ("f" + std::to_string(count_++) + ".ini");
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    SettingsFile& LoadBytes(const std::string& bytes) {
        reader_.Clear();
        EXPECT_EQ(reader_.Load(Write(bytes)), 1);
        return reader_;
    }
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kelvara-settings-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    int count_ = 0;
    SettingsFile reader_;
};

// Load, with a generous bound on how long it may take: a load stuck in an open is freed by
// a writer so that the test ends and fails instead of hanging.
int LoadWithoutHanging(SettingsFile& reader, const std::string& path) {
    auto load = std::async(std::launch::async, [&] { return reader.Load(path); });
    if (load.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return load.get();
    ADD_FAILURE() << "Load blocked on " << path;
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    load.get();
    return 0;
}

const std::string kNotFound = SettingsFile::kNotFound;
const std::string kNotLoaded = SettingsFile::kNotLoaded;

}  // namespace

TEST_F(SettingsFileTest, LoadStatesAndMarkers) {
    SettingsFile r;
    EXPECT_EQ(r.GetValue("k"), std::string("\x01"));
    EXPECT_EQ(r.GetValue("S", "k"), kNotLoaded);
    EXPECT_EQ(r.Load((dir_ / "missing.ini").string()), -1);
    EXPECT_EQ(r.path(), (dir_ / "missing.ini").string());
    EXPECT_FALSE(r.IsLoaded());
    EXPECT_EQ(r.GetValue("k"), kNotLoaded);

    const std::string first = Write("[S]\nk=first\n");
    ASSERT_EQ(r.Load(first), 1);
    EXPECT_EQ(r.Load(Write("[S]\nk=second\n")), -2);
    EXPECT_EQ(r.GetValue("S", "k"), "first");
    EXPECT_EQ(r.path(), first);
    EXPECT_EQ(r.GetValue("S", "nothing"), std::string("\x02"));
    EXPECT_EQ(r.Clear(), 1);
    EXPECT_EQ(r.path(), "");
    EXPECT_EQ(r.GetValue("k"), kNotLoaded);
    ASSERT_EQ(r.Load(Write("k=again")), 1);
    EXPECT_EQ(r.GetValue("k"), "again");
}

// A directory, a FIFO and a device open like files but are none: each is refused at once
// (a FIFO without a writer would block a plain open for ever) and nothing is loaded.
TEST_F(SettingsFileTest, OnlyARegularFileLoads) {
    const std::filesystem::path folder = dir_ / "set" / "kelvara.ini";
    std::filesystem::create_directories(folder);
    const std::filesystem::path fifo = dir_ / "player.information";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {folder.string(), fifo.string(), std::string("/dev/null")}) {
        SettingsFile r;
        EXPECT_EQ(LoadWithoutHanging(r, path), -1) << path;
        EXPECT_FALSE(r.IsLoaded());
        EXPECT_TRUE(r.entries().empty());
        EXPECT_EQ(r.path(), path);
        EXPECT_EQ(r.GetValue("k"), kNotLoaded);
        // Nothing is held, so the next file loads without a Clear.
        EXPECT_EQ(r.Load(Write("k=v\n")), 1);
        EXPECT_EQ(r.GetValue("k"), "v");
    }
}

// Defaults answer what the file lacks, in layers; a key the file has, even with an empty
// value, keeps its own value. Clear drops them.
TEST_F(SettingsFileTest, DefaultsAnswerOnlyWhatTheFileLacks) {
    SettingsFile last;
    ASSERT_EQ(last.LoadBytes("[BG]\r\nmainbg=last\r\nblack=last\r\nonly=last"), 1);
    SettingsFile middle;
    ASSERT_EQ(middle.LoadBytes("[BG]\nblack=middle\nwhite=middle\n"), 1);
    middle.SetDefaults(std::move(last));
    SettingsFile& r = LoadBytes("[BG]\nwhite=\n[NET]\nmainbg=own\n");
    r.SetDefaults(std::move(middle));
    EXPECT_EQ(r.GetValue("BG", "white"), "");
    EXPECT_EQ(r.GetValue("BG", "black"), "middle");
    EXPECT_EQ(r.GetValue("BG", "mainbg"), "last");
    EXPECT_EQ(r.GetValue("mainbg"), "own");
    EXPECT_EQ(r.GetValue("NET", "only"), kNotFound);
    r.Clear();
    ASSERT_EQ(r.LoadBytes(""), 1);
    EXPECT_EQ(r.GetValue("BG", "black"), kNotFound);
}

TEST_F(SettingsFileTest, EmptyFilesLoadAndFindNothing) {
    for (const char* bytes : {"", "\n\n\r\n", "\r\r\r"}) {
        SettingsFile& r = LoadBytes(bytes);
        EXPECT_EQ(r.GetValue("k"), kNotFound);
        EXPECT_EQ(r.GetValue("", "k"), kNotFound);
        ASSERT_EQ(r.entries().size(), 1u);
        EXPECT_EQ(r.entries().back().kind, 'e');
    }
}

TEST_F(SettingsFileTest, BlanksCaseAndTextAreExact) {
    SettingsFile& r = LoadBytes(
        "[BG]\n"
        "mainbg =spaced key\n"
        "black= spaced value\n"
        "White=upper\n"
        "[BG] \n"
        "after=blank header\n"
        " [NET]\n"
        "listen=under dropped header\n"
        "[net]\n"
        "listen=lower section\n"
        "name=\xd5\xc5\xc8\xfd\n");
    EXPECT_EQ(r.GetValue("BG", "mainbg"), kNotFound);
    EXPECT_EQ(r.GetValue("BG", "mainbg "), "spaced key");
    EXPECT_EQ(r.GetValue("BG", "black"), " spaced value");
    EXPECT_EQ(r.GetValue("BG", "white"), kNotFound);
    EXPECT_EQ(r.GetValue("BG", "after"), kNotFound);  // "[BG] " is another header
    EXPECT_EQ(r.GetValue("BG ", "after"), kNotFound);
    EXPECT_EQ(r.GetValue("NET", "listen"), kNotFound);
    EXPECT_EQ(r.GetValue("net", "listen"), "lower section");
    EXPECT_EQ(r.GetValue("listen"), "under dropped header");  // key alone: first anywhere
    EXPECT_EQ(r.GetValue("net", "name"), "张三");             // GBK in the file
}

// The file's GBK is read as UTF-8 in every part of a line; bytes that make no character show
// as U+FFFD.
TEST_F(SettingsFileTest, GbkTextIsReadAsUtf8) {
    SettingsFile& r =
        LoadBytes("[\xcd\xe6\xbc\xd2]\n\xc3\xfb=\xd5\xc5\xc8\xfd\n#\xd7\xa2\nbad=a\xff\n");
    EXPECT_EQ(r.GetValue("玩家", "名"), "张三");
    ASSERT_EQ(r.entries().size(), 5u);
    EXPECT_EQ(r.entries()[2].value, "#注");
    EXPECT_EQ(r.GetValue("bad"), "a\xEF\xBF\xBD");
}

TEST_F(SettingsFileTest, LineKindsAndEqualsSigns) {
    SettingsFile& r = LoadBytes(
        "top=above any header\n"
        "#k=comment\n"
        "[S=x]\n"
        "k=a=b=c\n"
        "=empty key\n"
        "empty=\n"
        "no equals sign here\n"
        "[S]\n"
        "k=one\n"
        "k=two\n"
        "[T]\n"
        "u=t\n"
        "[S]\n"
        "later=second S block\n");
    EXPECT_EQ(r.GetValue("top"), "above any header");
    EXPECT_EQ(r.GetValue("", "top"), kNotFound);
    EXPECT_EQ(r.GetValue("#k"), kNotFound);
    EXPECT_EQ(r.GetValue("S=x", "k"), "a=b=c");
    EXPECT_EQ(r.GetValue(""), "empty key");
    EXPECT_EQ(r.GetValue("empty"), "");
    EXPECT_EQ(r.GetValue("S", "k"), "one");
    EXPECT_EQ(r.GetValue("S", "later"), "second S block");
    EXPECT_EQ(r.GetValue("T", "k"), kNotFound);
    // Comment, headers and key lines each make one entry; the plain text line makes none.
    int comments = 0, headers = 0, keys = 0;
    for (const auto& e : r.entries()) {
        comments += e.kind == 'n';
        headers += e.kind == 'd';
        keys += e.kind == 'o';
    }
    EXPECT_EQ(comments, 1);
    EXPECT_EQ(headers, 4);
    EXPECT_EQ(keys, 8);
}

TEST_F(SettingsFileTest, ByteOrderMarkSpoilsTheHeader) {
    SettingsFile& r = LoadBytes("\xEF\xBB\xBF[BG]\nmainbg=a.png\n[NET]\nlisten=no\n");
    EXPECT_EQ(r.GetValue("BG", "mainbg"), kNotFound);
    EXPECT_EQ(r.GetValue("mainbg"), "a.png");
    EXPECT_EQ(r.GetValue("NET", "listen"), "no");
}

TEST_F(SettingsFileTest, LineEnds) {
    SettingsFile& r = LoadBytes("[A]\r\na=crlf\r\nb=lf\nc=cr\rXd=after cr\r\r\ne=last");
    EXPECT_EQ(r.GetValue("A", "a"), "crlf");
    EXPECT_EQ(r.GetValue("A", "b"), "lf");
    // A CR followed by another byte ends the line with that byte as its last byte.
    EXPECT_EQ(r.GetValue("A", "c"), "crX");
    EXPECT_EQ(r.GetValue("A", "d"), "after cr\r");
    EXPECT_EQ(r.GetValue("A", "e"), "last");
}

TEST_F(SettingsFileTest, LongLinesAcrossReadBuffers) {
    std::string longValue(10000, 'v');
    longValue[4095] = '=';
    std::string bytes = "[S]\n" + std::string(4090, '#') + "\n" + "k=" + longValue + "\r\nz=1";
    SettingsFile& r = LoadBytes(bytes);
    EXPECT_EQ(r.GetValue("S", "k"), longValue);
    EXPECT_EQ(r.GetValue("S", "z"), "1");
}

namespace {

// A file and the values it must give, by key alone ('\x02' where the key must be missing).
struct LineEndCase {
    const char* name;
    std::string bytes;
    std::vector<std::pair<std::string, std::string>> values;
};

void PrintTo(const LineEndCase& c, std::ostream* os) {
    *os << c.name;
}

class LastLine : public SettingsFileTest, public ::testing::WithParamInterface<LineEndCase> {};

}  // namespace

// The last line of a file, with every kind of line end or none.
TEST_P(LastLine, IsRead) {
    const LineEndCase& c = GetParam();
    SettingsFile& r = LoadBytes(c.bytes);
    for (const auto& [key, value] : c.values) EXPECT_EQ(r.GetValue(key), value) << key;
}

INSTANTIATE_TEST_SUITE_P(
    Ends, LastLine,
    ::testing::Values(LineEndCase{"NoLineEnd", "a=1\nz=last", {{"a", "1"}, {"z", "last"}}},
                      LineEndCase{"Lf", "a=1\nz=last\n", {{"a", "1"}, {"z", "last"}}},
                      LineEndCase{"CrLf", "a=1\r\nz=last\r\n", {{"a", "1"}, {"z", "last"}}},
                      LineEndCase{"LoneCr", "a=1\r\nz=last\r", {{"a", "1"}, {"z", "last"}}},
                      LineEndCase{"OnlyLineLoneCr", "z=last\r", {{"z", "last"}}},
                      LineEndCase{"EmptyValueLoneCr", "z=\r", {{"z", ""}}},
                      LineEndCase{"CrThenByte", "z=last\rx", {{"z", "lastx"}}},
                      LineEndCase{"CrCr", "z=last\r\r", {{"z", "last\r"}}}),
    [](const ::testing::TestParamInfo<LineEndCase>& info) { return std::string(info.param.name); });

// A CR that is the last byte of one 4096-byte read still takes the first byte of the next read
// into its line end.
TEST_F(SettingsFileTest, CrAtTheEndOfAReadBuffer) {
    constexpr std::size_t kBuffer = 4096;
    for (std::size_t crAt : {kBuffer - 2, kBuffer - 1, kBuffer, 2 * kBuffer - 1}) {
        SCOPED_TRACE(crAt);
        // "k=vvv...v" ending just before offset crAt, then the CR.
        const std::string head = "k=" + std::string(crAt - 2, 'v');
        const std::string value = head.substr(2);

        SettingsFile& lf = LoadBytes(head + "\r\nn=1\n");
        EXPECT_EQ(lf.GetValue("k"), value);
        EXPECT_EQ(lf.GetValue("n"), "1");

        // The byte after the CR is the line's last byte; the next line starts after it.
        SettingsFile& other = LoadBytes(head + "\rX=2\n");
        EXPECT_EQ(other.GetValue("k"), value + "X");
        EXPECT_EQ(other.GetValue(""), "2");

        SettingsFile& cr = LoadBytes(head + "\r\rn=3\n");
        EXPECT_EQ(cr.GetValue("k"), value + "\r");
        EXPECT_EQ(cr.GetValue("n"), "3");
    }
}
