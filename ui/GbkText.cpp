#include "GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kelvara {

bool GbkText::Available() {
    QStringDecoder decoder("GBK");
    return decoder.isValid();
}

QString GbkText::ToQString(const std::string& gbk) {
    const std::size_t end = gbk.find('\0');
    const std::string_view bytes(gbk.data(), end == std::string::npos ? gbk.size() : end);
    // A fresh decoder per field: a cut-off lead byte must not spill into the next text.
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string GbkText::FromQString(const QString& text, bool* ok) {
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        if (ok != nullptr) *ok = false;
        return text.toStdString();
    }
    const QByteArray bytes = encoder.encode(text);
    if (ok != nullptr) *ok = !encoder.hasError();
    return bytes.toStdString();
}

int GbkText::ByteLength(const QString& text) {
    return static_cast<int>(FromQString(text).size());
}

}  // namespace kelvara
