#pragma once

#include <QString>

class QTranslator;

namespace kelvara {

// Qt's own texts (standard buttons such as 确定, 是, 否, the file and colour dialogs) in
// Simplified Chinese, or in another language, from the translations the distribution installs
// with Qt.
class QtTranslations {
  public:
    static constexpr const char* kLanguage = "zh_CN";

    // Loads qtbase_<language> (zh_CN unless named) from Qt's translations directory into
    // `translator` and installs it in the application; false (and nothing installed) when the
    // file is not there.
    static bool Install(QTranslator& translator, const QString& language = kLanguage);
    static QString Directory();
};

}  // namespace kelvara
