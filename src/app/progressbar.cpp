#include "progressbar.h"

#include <QLocale>

#include <cmath>

ProgressBar::ProgressBar(QWidget *parent)
    : QProgressBar(parent)
{
    setRange(0, 100 * Steps);
    setValue(0);
}

void ProgressBar::setPercent(double percent)
{
    setValue(int(std::lround(percent * Steps)));
}

QString ProgressBar::text() const
{
    return QLocale::c().toString(percent(), 'g', 4) + QLatin1Char('%');
}
