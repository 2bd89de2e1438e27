#pragma once

#include "messageboxes.h"

class QtMessageBoxes : public MessageBoxes
{
public:
    using MessageBoxes::show;
    void show(const QString &text, const QString &caption, Icon icon) override;
};
