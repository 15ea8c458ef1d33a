#pragma once

#include <QLibrary>
#include <QObject>
#include <QString>

namespace kelvara {

// The two short sounds of the game: a step and a capture. Nothing of the audio system is
// touched before the first sound is wanted: the module kelvara-sound, which plays them with
// Qt Multimedia, is loaded then. Without the module or an audio output (tests, servers,
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

    // Where the module is looked for: beside the program, then in ../lib/kelvara.
    static QStringList ModuleCandidates();

  private:
    enum class State { Untried, Ready, Silent };
    void Prepare();

    bool enabled_ = true;
    int requested_ = 0;
    Sound last_ = Sound::Step;
    State state_ = State::Untried;
    QLibrary library_;
    void* module_ = nullptr;
    void (*play_)(void*, int) = nullptr;
    void (*close_)(void*) = nullptr;
};

}  // namespace kelvara
