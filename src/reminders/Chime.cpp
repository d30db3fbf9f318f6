#include "reminders/Chime.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

void TSoundChime::Play() {
    if (HasAudioOutput())
        PlaySound();
    else
        Beep();
}

bool TSoundChime::HasAudioOutput() const {
    return !QMediaDevices::audioOutputs().isEmpty();
}

void TSoundChime::PlaySound() {
    static QSoundEffect* effect = nullptr; // lives until the program ends
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl(QStringLiteral("qrc:/reminders/chime.wav")));
    }
    effect->play();
}

void TSoundChime::Beep() {
    QApplication::beep();
}

namespace {

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
