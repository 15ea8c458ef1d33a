#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "Board.h"
#include "BoardText.h"

namespace kelvara::test {

// Board text from the four rows as seen on screen, top row first.
inline std::string Rows(const char* top, const char* r3, const char* r2, const char* bottom) {
    return std::string(bottom) + r2 + r3 + top;
}

// The stored-answer pattern of the position after black's first step (2, 1) up,
// "b.bbbb.bw..wwwww", with white to move.
inline const std::string kPattern21U = "2022220210011111";

// A board with counts taken from the cells; fails the calling test on malformed text.
inline Board BoardOf(const std::string& text) {
    Board board;
    EXPECT_TRUE(BoardFromText(text, board)) << text;
    return board;
}

// A fresh directory under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvara-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace kelvara::test
