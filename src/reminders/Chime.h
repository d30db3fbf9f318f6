#pragma once

// The short sound a reminder pop-up plays. Playing never blocks; a new chime cuts off one that
// is still sounding. Tests install their own player.
class IChime {
public:
    virtual ~IChime() = default;
    virtual void Play() = 0;
};

// The program's chime: the sound kept in its resources on the default audio output, the
// system beep where there is no audio output.
class TSoundChime : public IChime {
public:
    void Play() override;

protected:
    virtual bool HasAudioOutput() const;
    virtual void PlaySound();
    virtual void Beep();
};

void PlayChime();
// nullptr restores the program's chime.
void SetChime(IChime* chime);
