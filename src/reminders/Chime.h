#pragma once

// The short sound a reminder pop-up plays. Playing never blocks; a new chime cuts off one that
// is still sounding. Tests install their own player.
class IChime {
public:
    virtual ~IChime() = default;
    virtual void Play() = 0;
};

void PlayChime();
// nullptr restores the program's chime.
void SetChime(IChime* chime);
