// The part of the sounds that needs Qt Multimedia, built as a module of its own
// (kelvara-sound) that SoundPlayer loads at the first sound: the audio libraries then cost
// nothing at start-up, and nothing at all while the sounds are off.
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <memory>

namespace {

class SoundModule {
  public:
    SoundModule()
        : step_(Make("qrc:/kelvara/step.wav")), capture_(Make("qrc:/kelvara/capture.wav")) {}
    void Play(int which) { (which == 0 ? step_ : capture_)->play(); }

  private:
    static std::unique_ptr<QSoundEffect> Make(const char* source) {
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl(QString::fromLatin1(source)));
        effect->setVolume(0.6f);
        return effect;
    }
    std::unique_ptr<QSoundEffect> step_;
    std::unique_ptr<QSoundEffect> capture_;
};

}  // namespace

extern "C" {

// Null when there is no audio output.
__attribute__((visibility("default"))) void* kelvara_sound_open() {
    if (QMediaDevices::defaultAudioOutput().isNull()) return nullptr;
    return new SoundModule;
}

__attribute__((visibility("default"))) void kelvara_sound_play(void* module, int which) {
    static_cast<SoundModule*>(module)->Play(which);
}

__attribute__((visibility("default"))) void kelvara_sound_close(void* module) {
    delete static_cast<SoundModule*>(module);
}
}
