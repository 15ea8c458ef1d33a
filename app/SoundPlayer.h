#pragma once

#include <QObject>
#include <QUrl>
#include <memory>

class QSoundEffect;

namespace kelvara {

// The two short sounds of the game: a step and a capture. Nothing of the audio system is
// touched before the first sound is wanted; without an audio output (tests, servers,
// offscreen) the sounds stay silent and nothing else changes.
class SoundPlayer : public QObject {
    Q_OBJECT
  public:
    enum class Sound { Step, Capture };

    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }

    void Play(Sound sound);

    // How many sounds were asked for while enabled (whether or not a device played them).
    int Requested() const { return requested_; }
    Sound LastRequested() const { return last_; }
    // Whether an audio output was found at the first request (false before it).
    bool HasOutput() const { return state_ == State::Ready; }

    static QUrl SourceOf(Sound sound);

  private:
    enum class State { Untried, Ready, Silent };
    void Prepare();

    bool enabled_ = true;
    int requested_ = 0;
    Sound last_ = Sound::Step;
    State state_ = State::Untried;
    std::unique_ptr<QSoundEffect> step_;
    std::unique_ptr<QSoundEffect> capture_;
};

}  // namespace kelvara
