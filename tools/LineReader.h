#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace kelvara {

// Splits a byte source into lines (LF-terminated; the last line may lack its LF) in bounded
// memory: bytes are read in chunks of a fixed size, and a line longer than the bound is
// reported as too long and its rest skipped without being kept.
class LineReader {
  public:
    // Fills up to `size` bytes into the buffer and returns how many; 0 at the end of input.
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

    static constexpr std::size_t kDefaultMaxLine = 4096;
    static constexpr std::size_t kChunk = 4096;

    enum class Result { Line, TooLong, End };

    explicit LineReader(Source source, std::size_t maxLine = kDefaultMaxLine);

    // The next line without its LF in `line` (Line), or TooLong for a line of more than
    // maxLine bytes before its LF (`line` empty then), or End once the input is exhausted.
    Result Next(std::string& line);

    // Reads standard input (file descriptor 0), retrying interrupted reads.
    static std::size_t ReadStandardInput(char* buffer, std::size_t size);

  private:
    bool Fill();

    Source source_;
    std::size_t maxLine_;
    char chunk_[kChunk];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
};

}  // namespace kelvara
