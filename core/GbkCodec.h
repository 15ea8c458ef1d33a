#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvara {

// Conversion between the program's UTF-8 text and GBK (code page 936), the encoding of the
// wire protocol, the settings file and the address book. Plain C++ over the C library's
// iconv; safe to call from any thread.
class GbkCodec {
  public:
    // True when the C library can convert GBK at all (checked once at start-up).
    static bool Available();

    // The GBK bytes of `utf8`; nothing when it is not valid UTF-8 or holds a character GBK
    // cannot represent.
    static std::optional<std::string> Utf8ToGbk(std::string_view utf8);
    // As Utf8ToGbk, but each character GBK cannot represent, and each byte of `utf8` that
    // starts no valid UTF-8 sequence, becomes one '?'; invisible marks GBK cannot represent
    // (joiners, direction marks, variation selectors) are left out.
    static std::string Utf8ToGbkLossy(std::string_view utf8);
    // The UTF-8 text of GBK bytes. Bytes that form no character become U+FFFD: a lead byte
    // with a byte that may follow it as one, any other byte alone. A lead byte that ends the
    // input is dropped, so a text cut in the middle of a character shows its whole ones.
    static std::string GbkToUtf8(std::string_view gbk);

    // Number of GBK bytes `utf8` takes, Utf8ToGbkLossy's count.
    static std::size_t GbkLength(std::string_view utf8);
    // `utf8` with each character GBK cannot represent replaced by '?'.
    static std::string FitToGbk(std::string_view utf8);
};

}  // namespace kelvara
