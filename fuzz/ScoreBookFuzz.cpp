// The score reader on any bytes: a text it takes is written back in the one canonical form,
// which reads again to the same book; a file it refuses is set aside and the book left empty.
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "ScoreBook.h"

using kelvara::ScoreBook;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kelvara::fuzz::ScratchFile file("score");
    const std::string_view bytes = kelvara::fuzz::Bytes(data, size);

    ScoreBook book;
    const bool taken = book.FromText(bytes);
    if (taken) {
        ScoreBook again;
        KELVARA_FUZZ_CHECK(again.FromText(book.Text()) && again == book);
    } else {
        KELVARA_FUZZ_CHECK(book == ScoreBook{});
    }

    file.Write(bytes);
    ScoreBook loaded;
    std::string aside;
    const ScoreBook::LoadResult result = loaded.Load(file.Path(), aside);
    KELVARA_FUZZ_CHECK(result ==
                       (taken ? ScoreBook::LoadResult::Read : ScoreBook::LoadResult::SetAside));
    KELVARA_FUZZ_CHECK(loaded == book);
    if (!taken) {
        KELVARA_FUZZ_CHECK(!aside.empty());
        std::remove(aside.c_str());
    }
    return 0;
}
