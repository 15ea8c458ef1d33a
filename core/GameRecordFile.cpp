#include "GameRecordFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "BoardText.h"

namespace kelvara {

namespace {

using Problem = RecordError::Problem;

constexpr std::string_view kStartText = "bbbbb..bw..wwwww";
constexpr std::size_t kLineWidth = 79;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

int LineAt(std::string_view text, std::size_t end) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + end, '\n'));
}

// Offset of the first byte that is not UTF-8 or is a control character other than tab, CR
// and LF; text.size() when there is none.
std::size_t FirstBadByte(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) return i;
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2, min = 0x80, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3, min = 0x800, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4, min = 0x10000, code = c & 0x07;
        } else {
            return i;
        }
        if (i + length > text.size()) return i;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return i;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return i;
        i += length;
    }
    return text.size();
}

bool KnownValue(std::string_view name, std::string_view value) {
    using List = std::initializer_list<std::string_view>;
    auto in = [value](List list) {
        return std::find(list.begin(), list.end(), value) != list.end();
    };
    if (name == "Mode") return in({"one-player", "two-player", "network"});
    if (name == "Level") return in({"beginner", "classic", "expert", "perfect"});
    if (name == "Result") return in({"1-0", "0-1", "*"});
    return true;
}

bool IsResult(std::string_view word) {
    return word == "1-0" || word == "0-1" || word == "*";
}

// "<board> <side>" with any spaces around and between.
bool ParsePosition(std::string_view value, Board& board, CellCode& side) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < value.size()) {
        if (IsSpace(value[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < value.size() && !IsSpace(value[i])) ++i;
        words.push_back(value.substr(start, i - start));
    }
    return words.size() == 2 && BoardFromText(words[0], board) && SideFromText(words[1], side);
}

std::string Escape(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out;
}

// Reads the text in one pass: tags, then moves played on the board as they come.
class Reader {
  public:
    Reader(std::string_view text, RecordError& error) : text_(text), error_(error) {}

    std::optional<GameRecordFile> Run() {
        if (text_.size() > GameRecordFile::kMaxBytes)
            return Fail(LineAt(text_, GameRecordFile::kMaxBytes), Problem::TooLarge);
        if (const std::size_t bad = FirstBadByte(text_); bad != text_.size())
            return Fail(LineAt(text_, bad), Problem::NotText);
        if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (IsSpace(c)) {
                ++pos_;
            } else if (c == '{') {
                if (!SkipComment()) return std::nullopt;
            } else if (c == '[') {
                if (!ReadTag()) return std::nullopt;
            } else if (!ReadWord()) {
                return std::nullopt;
            }
        }
        if (!CheckOutcome()) return std::nullopt;
        return std::move(record_);
    }

  private:
    std::nullopt_t Fail(int line, Problem problem, std::string detail = {}) {
        error_ = RecordError{line, problem, std::move(detail)};
        return std::nullopt;
    }

    bool SkipComment() {
        const std::size_t close = text_.find('}', pos_);
        if (close == std::string_view::npos) return Fail(line_, Problem::OpenComment), false;
        line_ += static_cast<int>(std::count(text_.begin() + pos_, text_.begin() + close, '\n'));
        pos_ = close + 1;
        return true;
    }

    // [Name "value"] on one line; \" and \\ in the value stand for " and \.
    bool ReadTag() {
        if (movesStarted_) return Fail(line_, Problem::TagAfterMoves), false;
        std::size_t i = pos_ + 1;
        auto skipBlanks = [&] {
            while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
        };
        skipBlanks();
        const std::size_t nameStart = i;
        while (i < text_.size() && IsNameChar(text_[i])) ++i;
        std::string name(text_.substr(nameStart, i - nameStart));
        skipBlanks();
        if (name.empty() || i >= text_.size() || text_[i] != '"')
            return Fail(line_, Problem::BadTag, name), false;
        std::string value;
        for (++i;; ++i) {
            if (i >= text_.size() || text_[i] == '\n' || text_[i] == '\r')
                return Fail(line_, Problem::BadTag, name), false;
            if (text_[i] == '"') break;
            if (text_[i] == '\\' && i + 1 < text_.size() &&
                (text_[i + 1] == '"' || text_[i + 1] == '\\'))
                ++i;
            value += text_[i];
        }
        ++i;
        skipBlanks();
        if (i >= text_.size() || text_[i] != ']') return Fail(line_, Problem::BadTag, name), false;
        pos_ = i + 1;

        for (const RecordTag& tag : record_.tags) {
            if (tag.name == name) return Fail(line_, Problem::DuplicateTag, name), false;
        }
        if (!KnownValue(name, value)) return Fail(line_, Problem::BadTagValue, name), false;
        if (name == "Position") {
            if (!ParsePosition(value, board_, side_))
                return Fail(line_, Problem::BadPosition, name), false;
            if (board_.blackPieces == 0 || board_.whitePieces == 0)
                return Fail(line_, Problem::NoPieces, name), false;
        }
        if (name == "Result") resultLine_ = line_;
        record_.tags.push_back({std::move(name), std::move(value)});
        return true;
    }

    bool ReadWord() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '{') ++pos_;
        std::string_view word = text_.substr(start, pos_ - start);
        if (IsResult(word)) {
            if (!result_.empty())
                return Fail(line_, Problem::MoveAfterEnd, std::string(word)), false;
            const std::string tagged = record_.Tag("Result");
            if (!tagged.empty() && tagged != word)
                return Fail(line_, Problem::ResultMismatch, std::string(word)), false;
            result_ = word;
            if (tagged.empty() && word != "*") record_.SetTag("Result", std::string(word));
            resultLine_ = line_;
            movesStarted_ = true;
            return true;
        }
        // A move number: digits and dots, the move possibly right after them.
        std::size_t digits = 0;
        while (digits < word.size() && word[digits] >= '0' && word[digits] <= '9') ++digits;
        std::size_t dots = digits;
        while (dots < word.size() && word[dots] == '.') ++dots;
        if (digits > 0 && dots > digits) {
            word.remove_prefix(dots);
            movesStarted_ = true;
            if (word.empty()) return true;
        }
        return PlayMove(word);
    }

    bool PlayMove(std::string_view word) {
        MoveRecord move;
        if (!ParseMoveText(word, move))
            return Fail(line_, Problem::BadMove, std::string(word)), false;
        if (!result_.empty() || board_.Winner(side_) != Empty)
            return Fail(line_, Problem::MoveAfterEnd, std::string(word)), false;
        if (!board_.IsLegalStep(side_, move))
            return Fail(line_, Problem::IllegalMove, std::string(word)), false;
        board_.ApplyMove(side_, move);
        side_ = Enemy(side_);
        record_.moves.push_back(move);
        movesStarted_ = true;
        return true;
    }

    // A finished game's result may not name the side that lost.
    bool CheckOutcome() {
        const CellCode winner = board_.Winner(side_);
        const std::string result = record_.Tag("Result");
        if ((winner == Black && result == "0-1") || (winner == White && result == "1-0"))
            return Fail(resultLine_, Problem::ResultMismatch, result), false;
        return true;
    }

    std::string_view text_;
    RecordError& error_;
    GameRecordFile record_;
    Board board_;
    CellCode side_ = Black;
    std::size_t pos_ = 0;
    int line_ = 1;
    int resultLine_ = 1;
    bool movesStarted_ = false;
    std::string result_;
};

}  // namespace

std::string RecordError::Reason() const {
    const std::string quoted = detail.empty() ? std::string() : " " + detail;
    switch (problem) {
        case Problem::TooLarge:
            return "the file is larger than 1 MiB";
        case Problem::NotText:
            return "not UTF-8 text";
        case Problem::BadTag:
            return "bad tag" + quoted;
        case Problem::DuplicateTag:
            return "tag" + quoted + " given twice";
        case Problem::BadTagValue:
            return "bad value of tag" + quoted;
        case Problem::BadPosition:
            return "position must be 16 characters of b, w and . and the side b or w";
        case Problem::NoPieces:
            return "the position needs a piece of each side";
        case Problem::TagAfterMoves:
            return "tag after the moves";
        case Problem::BadMove:
            return "bad move text" + quoted;
        case Problem::IllegalMove:
            return "illegal move" + quoted;
        case Problem::MoveAfterEnd:
            return "move after the end of the game" + quoted;
        case Problem::ResultMismatch:
            return "result" + quoted + " does not fit the game";
        case Problem::OpenComment:
            return "comment not closed";
        case Problem::Unreadable:
            break;
    }
    return "cannot read the file";
}

std::string GameRecordFile::Tag(std::string_view name) const {
    for (const RecordTag& tag : tags) {
        if (tag.name == name) return tag.value;
    }
    return {};
}

void GameRecordFile::SetTag(std::string_view name, std::string value) {
    for (RecordTag& tag : tags) {
        if (tag.name == name) {
            tag.value = std::move(value);
            return;
        }
    }
    tags.push_back({std::string(name), std::move(value)});
}

void GameRecordFile::RemoveTag(std::string_view name) {
    std::erase_if(tags, [name](const RecordTag& tag) { return tag.name == name; });
}

void GameRecordFile::StartPosition(Board& board, CellCode& side) const {
    board = Board();
    board.blackPieces = 6;
    board.whitePieces = 6;
    side = Black;
    const std::string position = Tag("Position");
    if (!position.empty()) {
        Board parsed;
        CellCode parsedSide = Black;
        if (ParsePosition(position, parsed, parsedSide)) {
            board = parsed;
            side = parsedSide;
        }
    }
}

void GameRecordFile::SetStartPosition(const Board& board, CellCode side) {
    const std::string text = BoardToText(board);
    if (text == kStartText && side == Black) {
        RemoveTag("Position");
    } else {
        SetTag("Position", text + (side == Black ? " b" : " w"));
    }
}

std::vector<PlyRecord> GameRecordFile::Replay(Board& board, CellCode& side) const {
    StartPosition(board, side);
    std::vector<PlyRecord> plies;
    plies.reserve(moves.size());
    for (const MoveRecord& move : moves) {
        PlyRecord ply{side, move, {}, board.blackPieces, board.whitePieces};
        ply.captured = board.ApplyMove(side, move);
        plies.push_back(ply);
        side = Enemy(side);
    }
    return plies;
}

std::string GameRecordFile::Write() const {
    std::string out;
    for (const RecordTag& tag : tags) out += "[" + tag.name + " \"" + Escape(tag.value) + "\"]\n";
    if (!tags.empty()) out += '\n';
    Board board;
    CellCode side = Black;
    StartPosition(board, side);
    std::string line;
    auto put = [&](const std::string& word) {
        if (!line.empty() && line.size() + 1 + word.size() > kLineWidth) {
            out += line + '\n';
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    };
    int number = 1;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (side == Black) {
            put(std::to_string(number) + ".");
        } else if (i == 0) {
            put(std::to_string(number) + "...");
        }
        put(Board::FormatMove(moves[i]));
        if (side == White) ++number;
        side = Enemy(side);
    }
    const std::string result = Tag("Result");
    put(result.empty() ? "*" : result);
    out += line + '\n';
    return out;
}

std::optional<GameRecordFile> GameRecordFile::Read(std::string_view text, RecordError& error) {
    return Reader(text, error).Run();
}

std::optional<GameRecordFile> GameRecordFile::ReadFile(const std::string& path,
                                                       RecordError& error) {
    error = RecordError{0, Problem::Unreadable, {}};
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while (text.size() <= kMaxBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return Read(text, error);
}

}  // namespace kelvara
