#include "LineReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace kelvara {

LineReader::LineReader(Source source, std::size_t maxLine)
    : source_(std::move(source)), maxLine_(maxLine) {}

bool LineReader::Fill() {
    if (atEnd_) return false;
    begin_ = 0;
    end_ = source_(chunk_, sizeof chunk_);
    if (end_ > sizeof chunk_) end_ = sizeof chunk_;
    if (end_ == 0) atEnd_ = true;
    return end_ > 0;
}

LineReader::Result LineReader::Next(std::string& line) {
    line.clear();
    bool tooLong = false;
    bool any = false;  // some byte of this line (or its LF) was seen
    for (;;) {
        if (begin_ == end_ && !Fill()) {
            if (tooLong) return Result::TooLong;
            return any ? Result::Line : Result::End;
        }
        any = true;
        const char* start = chunk_ + begin_;
        const std::size_t available = end_ - begin_;
        const void* lf = std::memchr(start, '\n', available);
        const std::size_t take =
            lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - start)
                          : available;
        if (!tooLong) {
            if (line.size() + take > maxLine_) {
                tooLong = true;
                line.clear();
                line.shrink_to_fit();
            } else {
                line.append(start, take);
            }
        }
        if (lf != nullptr) {
            begin_ += take + 1;
            return tooLong ? Result::TooLong : Result::Line;
        }
        begin_ = end_;
    }
}

std::size_t LineReader::ReadStandardInput(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) return 0;
    }
}

}  // namespace kelvara
