#pragma once

#include <QByteArray>
#include <QString>

// A hint typed out in a status panel one GBK byte per tick: a Chinese character appears over
// two ticks, the tick after the whole hint empties the panel, and it starts over.
class TRunningHint {
public:
    explicit TRunningHint(const QString& hint);
    // The text to show after this tick.
    QString Tick();

private:
    QByteArray hint;
    int bytes = 0;
};
