#include "StreamSplitter.h"

#include <algorithm>

namespace kelvara {

void StreamSplitter::Append(std::string_view bytes) {
    const std::size_t room = capacity_ > buffer_.size() ? capacity_ - buffer_.size() : 0;
    buffer_.append(bytes.substr(0, std::min(room, bytes.size())));
}

std::string StreamSplitter::TakeText(std::size_t limit) {
    std::string text = buffer_.substr(0, std::min(limit, buffer_.size()));
    buffer_.clear();
    return text;
}

StreamSplitter::MoveTake StreamSplitter::TakeMove(char moveCode, std::size_t moveSize,
                                                  std::size_t dropLimit, std::string& block,
                                                  FrameCheck fits) {
    block.clear();
    if (buffer_.empty()) return MoveTake::NeedMore;
    if (buffer_.front() == moveCode) {
        if (buffer_.size() < moveSize) return MoveTake::NeedMore;
        block = buffer_.substr(0, moveSize);
        if (fits != nullptr && !fits(block)) {
            block.resize(1);
            buffer_.erase(0, 1);
            return MoveTake::Dropped;
        }
        buffer_.erase(0, moveSize);
        return MoveTake::Move;
    }
    // Unexpected bytes: dropped up to the next move code, at most one read's worth.
    std::size_t n = std::min(std::max<std::size_t>(dropLimit, 1), buffer_.size());
    n = std::min(n, buffer_.find(moveCode, 1));
    block = buffer_.substr(0, n);
    buffer_.erase(0, n);
    return MoveTake::Dropped;
}

}  // namespace kelvara
