#include "InterfaceLanguage.h"

#include <QCoreApplication>

#include "DataPaths.h"
#include "QtTranslations.h"
#include "SettingsFile.h"
#include "Translation.h"

namespace kelvara {

namespace {

std::string TranslateText(const char* context, const char* text, int count) {
    return QCoreApplication::translate(context, text, nullptr, count).toStdString();
}

}  // namespace

InterfaceLanguage::~InterfaceLanguage() {
    Remove();
}

Language InterfaceLanguage::Wanted(const std::string& settingsPath) {
    SettingsFile settings;
    settings.Load(DataPaths::Resolve(settingsPath));
    settings.SetDefaults(DataPaths::DefaultSettings());
    return LanguageChoice::Choose(settings.GetValue("UI", "language"),
                                  LanguageChoice::MessagesLocale());
}

bool InterfaceLanguage::Install(Language language) {
    Remove();
    Translation::Install(&TranslateText);
    if (language == Language::Chinese) {
        qtInstalled_ = QtTranslations::Install(qt_);
        return true;
    }
    const QString name = QStringLiteral("kelvara_") + QLatin1String(LanguageChoice::Code(language));
    if (program_.load(name, QStringLiteral(":/translations")))
        programInstalled_ = QCoreApplication::installTranslator(&program_);
    if (programInstalled_) return true;
    // Chinese throughout rather than Qt's buttons in one language and the rest in another.
    qtInstalled_ = QtTranslations::Install(qt_);
    return false;
}

void InterfaceLanguage::Remove() {
    if (programInstalled_) QCoreApplication::removeTranslator(&program_);
    if (qtInstalled_) QCoreApplication::removeTranslator(&qt_);
    programInstalled_ = qtInstalled_ = false;
}

}  // namespace kelvara
