// The address book on any file: a bounded number of names, each the name of its section.
#include "FuzzSupport.h"
#include "PlayerBook.h"
#include "SettingsFile.h"

using kelvara::PlayerBook;
using kelvara::SettingsFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kelvara::fuzz::ScratchFile file("book");
    file.Write(kelvara::fuzz::Bytes(data, size));

    PlayerBook book;
    KELVARA_FUZZ_CHECK(book.Load(file.Path()));
    SettingsFile settings;
    KELVARA_FUZZ_CHECK(settings.Load(file.Path()) == 1);

    const auto count = PlayerBook::ParseNumber(settings.GetValue("playercount"));
    const int expected =
        count.has_value() && *count > 0 ? std::min(*count, PlayerBook::kMaxPlayers) : 0;
    KELVARA_FUZZ_CHECK(book.Names().size() == static_cast<std::size_t>(expected));
    for (int i = 0; i < expected; ++i) {
        KELVARA_FUZZ_CHECK(book.Names()[i] ==
                           settings.GetValue("player" + std::to_string(i), "name"));
    }
    for (int d = 1; d <= 4; ++d) {
        KELVARA_FUZZ_CHECK(book.DefaultIndex(d) ==
                           PlayerBook::ParseNumber(settings.GetValue("def" + std::to_string(d))));
    }
    KELVARA_FUZZ_CHECK(!book.DefaultIndex(0).has_value() && !book.DefaultIndex(5).has_value());
    return 0;
}
