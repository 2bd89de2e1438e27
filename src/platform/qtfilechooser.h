#pragma once

#include "filechooser.h"

// The file dialogs on Qt's own QFileDialog rather than the desktop's, so
// that the filter entries read exactly as given and match names in either
// case on every system.
class QtFileChooser : public FileChooser
{
public:
    std::optional<QString> choose(const Request &request) override;
};
