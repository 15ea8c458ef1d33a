#include "GbkCodec.h"

#include <iconv.h>

#include <cerrno>

namespace kelvara {

namespace {

constexpr const char* kGbk = "GBK";
constexpr const char* kUtf8 = "UTF-8";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

bool IsTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// Length of the valid UTF-8 sequence at the start of `text` and its code point; 0 when there
// is none (a stray continuation byte, an overlong form, a surrogate, a value past U+10FFFF, a
// cut).
std::size_t ReadUtf8(std::string_view text, char32_t& codePoint) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high) return 0;
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF) return 0;
        codePoint = (codePoint << 6) | (at(i) & 0x3F);
    }
    return length;
}

// Unicode's default-ignorable code points (joiners, direction marks, variation selectors,
// tags): invisible, so a text that GBK cannot hold loses them instead of showing a '?'.
bool IsDefaultIgnorable(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static constexpr Range kRanges[] = {
        {0xAD, 0xAD},     {0x34F, 0x34F},     {0x61C, 0x61C},     {0x115F, 0x1160},
        {0x17B4, 0x17B5}, {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},
        {0x2060, 0x206F}, {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFFA0, 0xFFA0},
        {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    for (const Range& r : kRanges) {
        if (c >= r.first && c <= r.last) return true;
    }
    return false;
}

// One iconv descriptor for the length of a conversion.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != kNoConverter) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Appends the conversion of `in` to `out` up to the first byte that cannot be converted
    // and returns the number of bytes taken; `error` is 0 when all were taken, otherwise
    // EILSEQ (a byte that starts no convertible character) or EINVAL (a character cut off by
    // the end of the input). Without a descriptor only ASCII passes.
    std::size_t Run(std::string_view in, std::string& out, int& error) {
        error = 0;
        if (cd_ == kNoConverter) {
            std::size_t i = 0;
            while (i < in.size() && static_cast<unsigned char>(in[i]) < 0x80)
                out.push_back(in[i++]);
            if (i < in.size()) error = EILSEQ;
            return i;
        }
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                error = errno == EINVAL ? EINVAL : EILSEQ;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                break;
            }
        }
        return in.size() - inLeft;
    }

    bool Valid() const { return cd_ != kNoConverter; }

  private:
    iconv_t cd_;
};

}  // namespace

bool GbkCodec::Available() {
    return Converter(kGbk, kUtf8).Valid() && Converter(kUtf8, kGbk).Valid();
}

std::optional<std::string> GbkCodec::Utf8ToGbk(std::string_view utf8) {
    Converter converter(kGbk, kUtf8);
    std::string gbk;
    int error = 0;
    converter.Run(utf8, gbk, error);
    if (error != 0) return std::nullopt;
    return gbk;
}

std::string GbkCodec::Utf8ToGbkLossy(std::string_view utf8) {
    Converter converter(kGbk, kUtf8);
    std::string gbk;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        int error = 0;
        pos += converter.Run(utf8.substr(pos), gbk, error);
        if (error == 0) break;
        char32_t codePoint = 0;
        const std::size_t length = ReadUtf8(utf8.substr(pos), codePoint);
        if (length == 0 || !IsDefaultIgnorable(codePoint)) gbk.push_back('?');
        pos += length == 0 ? 1 : length;
    }
    return gbk;
}

std::string GbkCodec::GbkToUtf8(std::string_view gbk) {
    Converter converter(kUtf8, kGbk);
    std::string utf8;
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        int error = 0;
        pos += converter.Run(gbk.substr(pos), utf8, error);
        if (error == 0) break;
        const auto lead = static_cast<unsigned char>(gbk[pos]);
        if (error == EINVAL && IsLeadByte(lead) && pos + 1 == gbk.size()) break;
        utf8.append(kReplacement);
        const bool pair = IsLeadByte(lead) && pos + 1 < gbk.size() &&
                          IsTrailByte(static_cast<unsigned char>(gbk[pos + 1]));
        pos += pair ? 2 : 1;
    }
    return utf8;
}

std::size_t GbkCodec::GbkLength(std::string_view utf8) {
    return Utf8ToGbkLossy(utf8).size();
}

std::string GbkCodec::FitToGbk(std::string_view utf8) {
    return GbkToUtf8(Utf8ToGbkLossy(utf8));
}

}  // namespace kelvara
