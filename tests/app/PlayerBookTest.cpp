#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "PlayerBook.h"
#include "SettingsFile.h"

using kelvara::PlayerBook;
using kelvara::SettingsFile;

namespace {

std::string WriteBook(const std::string& name, const std::string& body) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << body;
    return path;
}

}  // namespace

TEST(PlayerBook, ReadsNumbersLikeScanfInteger) {
    EXPECT_EQ(PlayerBook::ParseNumber("  12abc"), 12);
    EXPECT_EQ(PlayerBook::ParseNumber("-3"), -3);
    EXPECT_EQ(PlayerBook::ParseNumber("+7 "), 7);
    EXPECT_EQ(PlayerBook::ParseNumber("99999999999999999999"), 2147483647);
    EXPECT_FALSE(PlayerBook::ParseNumber("").has_value());
    EXPECT_FALSE(PlayerBook::ParseNumber("abc").has_value());
    EXPECT_FALSE(PlayerBook::ParseNumber("- 3").has_value());
    EXPECT_FALSE(PlayerBook::ParseNumber(SettingsFile::kNotFound).has_value());
}

TEST(PlayerBook, NamesInFileOrderWithMarkersForMissingSections) {
    const std::string path = WriteBook("book1.information",
                                       "[player1]\r\nname=b\r\n"
                                       "[player0]\r\nname=a\r\ndef2=1\r\n"
                                       "playercount=3\r\ndef1=0\r\ndef4=x\r\n"
                                       "[other]\r\nname=zzz\r\n");
    PlayerBook book;
    ASSERT_TRUE(book.Load(path));
    ASSERT_EQ(book.Names().size(), 3u);
    EXPECT_EQ(book.Names()[0], "a");
    EXPECT_EQ(book.Names()[1], "b");
    EXPECT_EQ(book.Names()[2], SettingsFile::kNotFound);
    // Keys are found wherever they stand, also inside a player section.
    EXPECT_EQ(book.DefaultIndex(1), 0);
    EXPECT_EQ(book.DefaultIndex(2), 1);
    EXPECT_FALSE(book.DefaultIndex(3).has_value());
    EXPECT_FALSE(book.DefaultIndex(4).has_value());
    std::remove(path.c_str());
}

TEST(PlayerBook, CountsThatAddNoNamesOrTooMany) {
    PlayerBook book;
    EXPECT_FALSE(book.Load(::testing::TempDir() + "no-such-book.information"));
    // A directory in place of the book is a book that cannot be read, and keeps nothing.
    const std::string folder = ::testing::TempDir() + "book-folder.information";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(book.Load(WriteBook("book0.information", "playercount=1\n[player0]\nname=a\n")));
    EXPECT_FALSE(book.Load(folder));
    EXPECT_TRUE(book.Names().empty());
    std::filesystem::remove(folder);

    for (const char* count : {"0", "-4", "none"}) {
        const std::string path = WriteBook(
            "book2.information", std::string("playercount=") + count + "\n[player0]\nname=a\n");
        ASSERT_TRUE(book.Load(path));
        EXPECT_TRUE(book.Names().empty()) << count;
        std::remove(path.c_str());
    }
    const std::string path = WriteBook("book3.information", "playercount=2000000000\n");
    ASSERT_TRUE(book.Load(path));
    EXPECT_EQ(book.Names().size(), static_cast<std::size_t>(PlayerBook::kMaxPlayers));
    std::remove(path.c_str());
}
