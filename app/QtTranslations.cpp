#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kelvara {

QString QtTranslations::Directory() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QtTranslations::Install(QTranslator& translator, const QString& language) {
    if (!translator.load(QStringLiteral("qtbase_") + language, Directory())) return false;
    return QCoreApplication::installTranslator(&translator);
}

}  // namespace kelvara
