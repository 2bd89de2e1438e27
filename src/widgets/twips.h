#pragma once

#include <QFont>
#include <QLabel>
#include <QRect>

// Dialog layouts are given in twips, 1/1440 inch: 15 to a pixel at 96 dpi.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

struct TwipRect
{
    int left;
    int top;
    int width;
    int height;

    QRect pixels() const { return QRect(twips(left), twips(top), twips(width), twips(height)); }
};

// The twip layouts were drawn for a small, narrow font; the usual desktop
// fonts are wider and would cut the captions short.
inline QFont layoutFont(QFont font)
{
    font.setPixelSize(10);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

// A label placed by its twips, its text at the top left as the layouts show it.
inline QLabel *placedLabel(QWidget *parent, const char *name, const QString &text, const TwipRect &place)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place.pixels());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
