#pragma once

#include <QString>

#include <optional>

// The standard file open and save dialogs, so that tests choose a file
// without a person at the keyboard.
class FileChooser
{
public:
    enum class Kind { Open, Save };

    struct Request
    {
        Kind kind = Kind::Open;
        // Proposed in the dialog: a name in the working directory or a full path.
        QString fileName;
        // Added to a name typed without one.
        QString defaultSuffix;
        // "Entry|patterns|Entry|patterns|": each entry is shown exactly as
        // written; blanks around the patterns do not count, and a pattern
        // matches names in upper and lower case alike.
        QString filter;
        // Ask before an existing file is replaced (Save only).
        bool confirmOverwrite = false;
    };

    virtual ~FileChooser() = default;
    // Modal. The chosen file's full path; nothing when the user cancelled or
    // the dialog failed.
    virtual std::optional<QString> choose(const Request &request) = 0;
};
