#include "ScoreBook.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <vector>

#include "AtomicFile.h"

namespace kelvara {

namespace {

constexpr std::string_view kHeader = "kelvara-score 1";
constexpr Level kAllLevels[] = {Level::Beginner, Level::Classic, Level::Expert, Level::Perfect};

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = line.find(' ', at);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > at) words.push_back(line.substr(at, stop - at));
        at = stop + 1;
    }
    return words;
}

bool Number(std::string_view word, std::uint32_t& value) {
    if (word.empty() || word.size() > 10) return false;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

bool Counts(const std::vector<std::string_view>& words, std::size_t first, ScoreLine& line) {
    return words.size() == first + 3 && Number(words[first], line.wins) &&
           Number(words[first + 1], line.losses) && Number(words[first + 2], line.unfinished);
}

std::string CountsText(const ScoreLine& line) {
    return std::to_string(line.wins) + " " + std::to_string(line.losses) + " " +
           std::to_string(line.unfinished) + "\n";
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

ScoreLine& ScoreBook::Games(GameKind kind, Level level) {
    if (kind == GameKind::TwoPlayers) return twoPlayers_;
    if (kind == GameKind::Network) return network_;
    return onePlayer_[static_cast<int>(level)];
}

const ScoreLine& ScoreBook::Games(GameKind kind, Level level) const {
    return const_cast<ScoreBook*>(this)->Games(kind, level);
}

std::string ScoreBook::Text() const {
    std::string text = std::string(kHeader) + "\n";
    for (Level level : kAllLevels) {
        text += "one " + LevelSetting::Word(level) + " " +
                CountsText(Games(GameKind::OnePlayer, level));
    }
    text += "two " + CountsText(twoPlayers_);
    text += "network " + CountsText(network_);
    text += "puzzles " + std::to_string(puzzles_) + "\n";
    return text;
}

bool ScoreBook::FromText(std::string_view text) {
    if (text.size() > kMaxFileBytes) return false;
    ScoreBook read;
    std::vector<std::string> seen;
    bool header = false;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        std::string_view line =
            text.substr(at, end == std::string_view::npos ? text.size() - at : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!header) {
            if (line != kHeader) return false;
            header = true;
            continue;
        }
        if (line.empty()) continue;
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) return false;
        std::string key(words[0]);
        bool ok = false;
        if (words[0] == "one" && words.size() >= 2) {
            Level level = Level::Classic;
            key += " " + std::string(words[1]);
            ok = LevelSetting::FromWord(std::string(words[1]), level) &&
                 Counts(words, 2, read.Games(GameKind::OnePlayer, level));
        } else if (words[0] == "two") {
            ok = Counts(words, 1, read.twoPlayers_);
        } else if (words[0] == "network") {
            ok = Counts(words, 1, read.network_);
        } else if (words[0] == "puzzles") {
            ok = words.size() == 2 && Number(words[1], read.puzzles_);
        }
        for (const std::string& earlier : seen) {
            if (earlier == key) ok = false;
        }
        if (!ok) return false;
        seen.push_back(key);
    }
    if (!header) return false;
    *this = read;
    return true;
}

ScoreBook::LoadResult ScoreBook::Load(const std::string& path, std::string& setAside) {
    Reset();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && !Exists(path)) return LoadResult::Missing;
    std::string bytes;
    bool readable = S_ISREG(info.st_mode) && info.st_size >= 0 &&
                    static_cast<std::size_t>(info.st_size) <= kMaxFileBytes;
    if (readable) {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> buffer(kMaxFileBytes + 1);
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        bytes.assign(buffer.data(), static_cast<std::size_t>(in.gcount()));
        readable = !in.bad() && FromText(bytes);
    }
    if (readable) return LoadResult::Read;
    Reset();
    setAside = path + ".bad";
    for (int n = 1; Exists(setAside) && n < 1000; ++n) {
        setAside = path + ".bad." + std::to_string(n);
    }
    if (Exists(setAside) || std::rename(path.c_str(), setAside.c_str()) != 0) setAside.clear();
    return LoadResult::SetAside;
}

bool ScoreBook::Save(const std::string& path, std::string& error) const {
    return AtomicFile::Write(path, Text(), error);
}

}  // namespace kelvara
