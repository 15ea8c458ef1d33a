#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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

TEST_F(SettingsFileTest, EmptyFilesLoadAndFindNothing) {
    for (const char* bytes : {"", "\n\n\r\n", "\r\r\r"}) {
        SettingsFile& r = LoadBytes(bytes);
        EXPECT_EQ(r.GetValue("k"), kNotFound);
        EXPECT_EQ(r.GetValue("", "k"), kNotFound);
        ASSERT_EQ(r.entries().size(), 1u);
        EXPECT_EQ(r.entries().back().kind, 'e');
    }
}

TEST_F(SettingsFileTest, BlanksCaseAndBytesAreExact) {
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
    EXPECT_EQ(r.GetValue("net", "name"), "\xd5\xc5\xc8\xfd");
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
