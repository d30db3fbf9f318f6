#include "controls/DateKeys.h"

#include "data/Clock.h"

#include <QKeyEvent>
#include <QLocale>

QString DateKeyText(const QKeyEvent* event) {
    if (!event->modifiers().testFlag(Qt::ControlModifier))
        return QString();
    const QLocale locale;
    if (event->key() == Qt::Key_D)
        return locale.toString(Now().date(), QLocale::ShortFormat);
    if (event->key() == Qt::Key_T)
        return locale.toString(Now(), QLocale::ShortFormat);
    return QString();
}
