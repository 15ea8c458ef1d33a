// The GBK codec on any bytes, read both as GBK and as UTF-8: the output is bounded and valid,
// and whatever converts without loss converts back to the same bytes.
#include <iconv.h>

#include "FuzzSupport.h"
#include "GbkCodec.h"

using kelvara::GbkCodec;

namespace {

// Valid UTF-8 by the C library's own reading, independent of the codec's.
bool IsUtf8(const std::string& text) {
    static const iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) std::abort();
    std::string copy = text;
    char* in = copy.data();
    std::size_t inLeft = copy.size();
    while (inLeft > 0) {
        char buffer[256];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) &&
            errno != E2BIG) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = kelvara::fuzz::Bytes(data, size);

    // As GBK: at most three UTF-8 bytes per byte, always valid UTF-8.
    const std::string utf8 = GbkCodec::GbkToUtf8(bytes);
    KELVARA_FUZZ_CHECK(utf8.size() <= 3 * bytes.size());
    KELVARA_FUZZ_CHECK(IsUtf8(utf8));
    // Encoding it again never grows it; without a bad byte it gives the bytes back (less a
    // lead byte cut off at the end).
    const std::string again = GbkCodec::Utf8ToGbkLossy(utf8);
    KELVARA_FUZZ_CHECK(again.size() <= bytes.size());
    if (const auto strict = GbkCodec::Utf8ToGbk(utf8)) {
        KELVARA_FUZZ_CHECK(*strict == again);
        KELVARA_FUZZ_CHECK(*strict == bytes ||
                           (!bytes.empty() && *strict == bytes.substr(0, bytes.size() - 1)));
    }

    // As UTF-8: never longer in GBK; what encodes without loss decodes to the input.
    const std::string gbk = GbkCodec::Utf8ToGbkLossy(bytes);
    KELVARA_FUZZ_CHECK(gbk.size() <= bytes.size() && GbkCodec::GbkLength(bytes) == gbk.size());
    const std::string fitted = GbkCodec::FitToGbk(bytes);
    KELVARA_FUZZ_CHECK(IsUtf8(fitted) && fitted == GbkCodec::GbkToUtf8(gbk));
    if (const auto strict = GbkCodec::Utf8ToGbk(bytes)) {
        KELVARA_FUZZ_CHECK(*strict == gbk);
        KELVARA_FUZZ_CHECK(GbkCodec::GbkToUtf8(*strict) == bytes);
    }
    return 0;
}
