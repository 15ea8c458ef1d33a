#pragma once

#include <QTranslator>
#include <string>
#include <vector>

namespace kelvara {

// Makes the interface speak one language: the program's own translation (none for Chinese, in
// which the texts are written), Qt's own texts to match (its zh_CN for Chinese, its translation
// of the language where it has one), and the plain floors' texts through Translation. The
// translators stay installed while the object lives.
class InterfaceLanguage {
  public:
    InterfaceLanguage() = default;
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

    // The codes of the compiled-in translations (kelvara_<code>.qm under :/translations).
    static std::vector<std::string> Translated();
    // The language that the settings file at `settingsPath` (found like the window's) and the
    // messages' locale ask for.
    static std::string Wanted(const std::string& settingsPath);
    // Installs the language of `code`; false when its translation could not be loaded (the
    // texts then stay Chinese).
    bool Install(const std::string& code);

  private:
    void Remove();

    QTranslator program_;
    QTranslator qt_;
    bool programInstalled_ = false;
    bool qtInstalled_ = false;
};

}  // namespace kelvara
