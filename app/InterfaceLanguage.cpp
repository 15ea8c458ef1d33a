#include "InterfaceLanguage.h"

#include <QCoreApplication>
#include <QDir>

#include "DataPaths.h"
#include "LanguageChoice.h"
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

std::vector<std::string> InterfaceLanguage::Translated() {
    std::vector<std::string> codes;
    const QStringList files = QDir(QStringLiteral(":/translations"))
                                  .entryList({QStringLiteral("kelvara_*.qm")}, QDir::Files);
    for (const QString& file : files)
        codes.push_back(file.mid(8, file.size() - 8 - 3).toStdString());
    return codes;
}

std::string InterfaceLanguage::Wanted(const std::string& settingsPath) {
    SettingsFile settings;
    settings.Load(DataPaths::Resolve(settingsPath));
    settings.SetDefaults(DataPaths::DefaultSettings());
    return LanguageChoice::Choose(settings.GetValue("UI", "language"),
                                  LanguageChoice::MessagesLocale(), Translated());
}

bool InterfaceLanguage::Install(const std::string& code) {
    Remove();
    Translation::Install(&TranslateText);
    if (code != LanguageChoice::kSource) {
        const QString name = QStringLiteral("kelvara_") + QString::fromStdString(code);
        if (program_.load(name, QStringLiteral(":/translations")))
            programInstalled_ = QCoreApplication::installTranslator(&program_);
        if (programInstalled_) {
            // Qt's own texts in the same language where Qt has them (its English source else).
            qtInstalled_ = QtTranslations::Install(qt_, QString::fromStdString(code));
            return true;
        }
    }
    // Chinese throughout, Qt's buttons too, for the source language and when a translation
    // could not be loaded.
    qtInstalled_ = QtTranslations::Install(qt_);
    return code == LanguageChoice::kSource;
}

void InterfaceLanguage::Remove() {
    if (programInstalled_) QCoreApplication::removeTranslator(&program_);
    if (qtInstalled_) QCoreApplication::removeTranslator(&qt_);
    programInstalled_ = qtInstalled_ = false;
}

}  // namespace kelvara
