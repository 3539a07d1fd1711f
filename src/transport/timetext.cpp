#include "timetext.h"

#include <QtGlobal>

#include <climits>
#include <cmath>

namespace transport {

QString formatTimeText(int seconds)
{
    seconds = qMax(0, seconds);
    const int minutes = seconds / 60;
    const int rest = seconds % 60;
    QString text = QString::number(minutes);
    text += QLatin1Char(':');
    text += QLatin1Char(char('0' + rest / 10));
    text += QLatin1Char(char('0' + rest % 10));
    return text;
}

QString positionText(int positionMs)
{
    return formatTimeText(positionMs < 0 ? 0 : positionMs / 1000);
}

int tolerantFloor(double value)
{
    double whole = std::floor(value);
    if (value - whole > 0.999999999999)
        whole += 1.0;
    if (whole >= double(INT_MAX))
        return INT_MAX;
    if (whole <= double(INT_MIN))
        return INT_MIN;
    return int(whole);
}

int knobLeftForPosition(int positionMs, int lengthSeconds)
{
    if (lengthSeconds <= 0 || positionMs <= 0)
        return KnobOrigin;
    return tolerantFloor(double(positionMs) / 1000.0 / double(lengthSeconds) * KnobScaleForPosition) + KnobOrigin;
}

int secondsForKnobLeft(int left, int lengthSeconds)
{
    return tolerantFloor(double(left - KnobOrigin) / KnobScaleForDrag * double(lengthSeconds));
}

} // namespace transport
