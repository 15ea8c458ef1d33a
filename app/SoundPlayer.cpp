#include "SoundPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kelvara {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
    if (module_ != nullptr && close_ != nullptr) close_(module_);
}

QStringList SoundPlayer::ModuleCandidates() {
    const QDir dir(QCoreApplication::applicationDirPath());
    return {dir.filePath(QStringLiteral("kelvara-sound.so")),
            dir.filePath(QStringLiteral("../lib/kelvara/kelvara-sound.so"))};
}

void SoundPlayer::Prepare() {
    state_ = State::Silent;
    // Headless runs never open an audio connection at all.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    for (const QString& candidate : ModuleCandidates()) {
        if (!QFileInfo::exists(candidate)) continue;
        library_.setFileName(candidate);
        if (library_.load()) break;
    }
    if (!library_.isLoaded()) return;
    using Open = void* (*)();
    const auto open = reinterpret_cast<Open>(library_.resolve("kelvara_sound_open"));
    play_ = reinterpret_cast<void (*)(void*, int)>(library_.resolve("kelvara_sound_play"));
    close_ = reinterpret_cast<void (*)(void*)>(library_.resolve("kelvara_sound_close"));
    if (open == nullptr || play_ == nullptr || close_ == nullptr) return;
    module_ = open();
    if (module_ != nullptr) state_ = State::Ready;
}

void SoundPlayer::Play(Sound sound) {
    if (!enabled_) return;
    ++requested_;
    last_ = sound;
    if (state_ == State::Untried) Prepare();
    if (state_ != State::Ready) return;
    play_(module_, sound == Sound::Step ? 0 : 1);
}

}  // namespace kelvara
