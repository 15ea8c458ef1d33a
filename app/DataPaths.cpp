#include "DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <string_view>
#include <utility>

#include "ShippedSettings.h"

namespace kelvara {
namespace {

bool HasSettings(const QString& dir) {
    return !dir.isEmpty() &&
           QFileInfo(QDir(dir).filePath(QStringLiteral("set/kelvara.ini"))).isFile();
}

}  // namespace

QString DataPaths::UserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kelvara");
}

QString DataPaths::InstalledDirectory() {
    if (QCoreApplication::instance() != nullptr) {
        const QString beside = QDir(QCoreApplication::applicationDirPath())
                                   .filePath(QStringLiteral("../share/kelvara"));
        if (HasSettings(beside)) return QDir::cleanPath(beside);
    }
    const QString built = QStringLiteral(KELVARA_INSTALLED_DATA_DIR);
    return HasSettings(built) ? built : QString();
}

QString DataPaths::Resolve(const QString& path) {
    if (path.isEmpty() || QDir::isAbsolutePath(path) || QFileInfo::exists(path)) return path;
    const QString installed = InstalledDirectory();
    if (installed.isEmpty()) return path;
    const QString candidate = QDir(installed).filePath(path);
    return QFileInfo::exists(candidate) ? candidate : path;
}

std::string DataPaths::Resolve(const std::string& path) {
    const QString original =
        QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
    const QString resolved = Resolve(original);
    if (resolved == original) return path;
    const QByteArray bytes = resolved.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

SettingsFile DataPaths::DefaultSettings() {
    SettingsFile shipped;
    shipped.LoadBytes(
        std::string_view(reinterpret_cast<const char*>(kShippedSettings), sizeof kShippedSettings));
    const QString installed = InstalledDirectory();
    if (installed.isEmpty()) return shipped;
    SettingsFile file;
    const QByteArray path =
        QDir(installed).filePath(QStringLiteral("set/kelvara.ini")).toLocal8Bit();
    if (file.Load(std::string(path.constData(), static_cast<std::size_t>(path.size()))) != 1)
        return shipped;
    file.SetDefaults(std::move(shipped));
    return file;
}

}  // namespace kelvara
