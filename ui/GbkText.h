#pragma once

#include <QString>
#include <string>

namespace kelvara {

// Conversion between the program's GBK byte strings and Qt's strings, at the widget boundary.
class GbkText {
  public:
    // True when the platform can convert GBK at all (checked once at start-up).
    static bool Available();
    // Decodes GBK bytes up to the first zero byte.
    static QString ToQString(const std::string& gbk);
    // Encodes to GBK; `ok` is false when the text holds characters GBK cannot represent.
    static std::string FromQString(const QString& text, bool* ok = nullptr);
    // Number of GBK bytes the text takes (characters GBK cannot hold count as one byte).
    static int ByteLength(const QString& text);
};

}  // namespace kelvara
