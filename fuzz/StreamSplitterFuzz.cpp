// Appends and takes in any order on one receive buffer, checked against the bytes that went in:
// nothing is invented or reordered, and a move comes out only once all its bytes are in.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "StreamSplitter.h"
#include "WireProtocol.h"

using kelvara::StreamSplitter;
using kelvara::WireProtocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::size_t capacity = in.ConsumeIntegralInRange<std::size_t>(1, 700);
    StreamSplitter splitter(capacity);
    std::string block;
    while (in.remaining_bytes() > 0) {
        const std::string before(splitter.View());
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
            case 1: {
                const std::string bytes = in.ConsumeRandomLengthString(600);
                splitter.Append(bytes);
                const std::size_t room = capacity > before.size() ? capacity - before.size() : 0;
                KELVARA_FUZZ_CHECK(splitter.View() == before + bytes.substr(0, room));
                break;
            }
            case 2: {
                const std::size_t dropLimit = in.ConsumeIntegralInRange<std::size_t>(0, 120);
                const auto took = splitter.TakeMove(WireProtocol::kMove, WireProtocol::kMoveSize,
                                                    dropLimit, block);
                switch (took) {
                    case StreamSplitter::MoveTake::NeedMore:
                        KELVARA_FUZZ_CHECK(before.empty() ||
                                           (before[0] == WireProtocol::kMove &&
                                            before.size() < WireProtocol::kMoveSize));
                        KELVARA_FUZZ_CHECK(block.empty() && splitter.View() == before);
                        break;
                    case StreamSplitter::MoveTake::Move:
                        KELVARA_FUZZ_CHECK(block.size() == WireProtocol::kMoveSize);
                        KELVARA_FUZZ_CHECK(block[0] == WireProtocol::kMove);
                        KELVARA_FUZZ_CHECK(before.compare(0, block.size(), block) == 0);
                        KELVARA_FUZZ_CHECK(splitter.View() == before.substr(block.size()));
                        break;
                    case StreamSplitter::MoveTake::Dropped:
                        // Only bytes in front of the next move code, at most one read's worth.
                        KELVARA_FUZZ_CHECK(!block.empty() && block[0] != WireProtocol::kMove);
                        KELVARA_FUZZ_CHECK(block.find(WireProtocol::kMove) == std::string::npos);
                        KELVARA_FUZZ_CHECK(block.size() <= std::max<std::size_t>(dropLimit, 1));
                        KELVARA_FUZZ_CHECK(before.compare(0, block.size(), block) == 0);
                        KELVARA_FUZZ_CHECK(splitter.View() == before.substr(block.size()));
                        break;
                }
                break;
            }
            case 3: {
                const std::size_t limit = in.ConsumeIntegralInRange<std::size_t>(0, 600);
                const std::string text = splitter.TakeText(limit);
                KELVARA_FUZZ_CHECK(text == before.substr(0, limit));
                KELVARA_FUZZ_CHECK(splitter.Empty());
                break;
            }
        }
        KELVARA_FUZZ_CHECK(splitter.Size() <= capacity &&
                           splitter.Size() == splitter.View().size());
        KELVARA_FUZZ_CHECK(splitter.Front() == (splitter.Empty() ? '\0' : splitter.View()[0]));
    }
    return 0;
}
