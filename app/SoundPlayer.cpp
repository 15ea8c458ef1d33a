#include "SoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

namespace kelvara {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;

QUrl SoundPlayer::SourceOf(Sound sound) {
    return QUrl(sound == Sound::Step ? QStringLiteral("qrc:/kelvara/step.wav")
                                     : QStringLiteral("qrc:/kelvara/capture.wav"));
}

void SoundPlayer::Prepare() {
    // Headless runs never open an audio connection at all.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal") ||
        QMediaDevices::defaultAudioOutput().isNull()) {
        state_ = State::Silent;
        return;
    }
    const auto make = [this](Sound sound) {
        auto effect = std::make_unique<QSoundEffect>(this);
        effect->setSource(SourceOf(sound));
        effect->setVolume(0.6f);
        return effect;
    };
    step_ = make(Sound::Step);
    capture_ = make(Sound::Capture);
    state_ = State::Ready;
}

void SoundPlayer::Play(Sound sound) {
    if (!enabled_) return;
    ++requested_;
    last_ = sound;
    if (state_ == State::Untried) Prepare();
    if (state_ != State::Ready) return;
    QSoundEffect* effect = sound == Sound::Step ? step_.get() : capture_.get();
    effect->play();
}

}  // namespace kelvara
