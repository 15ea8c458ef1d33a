#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvara {

// Receive buffer of one connection. TCP hands over bytes, not messages: reads are appended
// here and whole messages taken from the front; what is beyond a taken message stays for the
// next take.
//
// Framing. A move is exactly 4 bytes, so it is complete only when all 4 are here. Texts (the
// first request on an accepted connection, a hello) carry no length: the protocol relies on
// the sender saying nothing else until it is answered, so a text is everything that has
// arrived, up to the reader's limit. The socket layer decides when that is (it waits a moment
// for the rest of a text that came in pieces); TakeText then takes the bytes and discards
// what lies beyond the limit, which can only be the tail of the same over-long text.
class StreamSplitter {
  public:
    // Bytes beyond `capacity` that nobody takes are dropped on arrival.
    explicit StreamSplitter(std::size_t capacity = 64 * 1024) : capacity_(capacity) {}

    void Append(std::string_view bytes);
    void Clear() { buffer_.clear(); }
    bool Empty() const { return buffer_.empty(); }
    std::size_t Size() const { return buffer_.size(); }
    char Front() const { return buffer_.empty() ? '\0' : buffer_.front(); }
    std::string_view View() const { return buffer_; }

    // One read of a text message: at most `limit` bytes; everything else buffered is dropped.
    std::string TakeText(std::size_t limit);

    enum class MoveTake { NeedMore, Move, Dropped };
    // Whether a whole frame that starts with the move code is one; a frame it turns down was
    // no frame at all, only a stray code byte in other bytes.
    using FrameCheck = bool (*)(std::string_view frame);
    // In a state that waits for a move: a block starting with the move code is taken when its
    // 4 bytes are here (NeedMore before) and `fits` accepts it; a block it refuses gives up
    // its first byte alone (Dropped), and the next take starts from the byte after it, so a
    // frame hidden behind the stray code is still found. Anything else at the front is
    // dropped (returned in `block`) up to the next move code, but at most `dropLimit` bytes,
    // one reader's read.
    MoveTake TakeMove(char moveCode, std::size_t moveSize, std::size_t dropLimit,
                      std::string& block, FrameCheck fits = nullptr);

  private:
    std::size_t capacity_;
    std::string buffer_;
};

}  // namespace kelvara
