#include "reminders/Chime.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

// The chime kept in the program's resources, played through the default audio output.
// Without an audio output it stays silent.
class TSoundChime : public IChime {
public:
    void Play() override {
        if (QMediaDevices::audioOutputs().isEmpty())
            return;
        if (!effect) {
            effect = new QSoundEffect;
            effect->setSource(QUrl(QStringLiteral("qrc:/reminders/chime.wav")));
        }
        effect->play();
    }

private:
    QSoundEffect* effect = nullptr; // lives until the program ends
};

IChime*& chimeSlot() {
    static IChime* chime = nullptr;
    return chime;
}

} // namespace

void PlayChime() {
    static TSoundChime soundChime;
    IChime* chime = chimeSlot();
    (chime ? chime : &soundChime)->Play();
}

void SetChime(IChime* chime) {
    chimeSlot() = chime;
}
