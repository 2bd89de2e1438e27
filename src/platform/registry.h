#pragma once

#include <QByteArray>
#include <QString>

// The registry calls that locate the system-information tool, as the Windows
// API names them. Keys are opaque handles. Elsewhere a stand-in answers the
// same look-ups from what the machine has.
class Registry
{
public:
    using Key = quintptr;
    // HKEY_LOCAL_MACHINE, the machine-wide root.
    static constexpr Key LocalMachine = 0x80000002;
    static constexpr long Success = 0;
    static constexpr long FileNotFound = 2;
    static constexpr long MoreData = 234;
    // Read access only: a standard user is refused a key opened for more.
    static constexpr quint32 KeyRead = 0x20019;
    static constexpr quint32 StringType = 1; // REG_SZ

    virtual ~Registry() = default;

    virtual long RegOpenKeyExA(Key root, const QString &subKey, quint32 options, quint32 access, Key *result) = 0;
    // Reads the value into buffer, whose size is *size; *size then holds the
    // number of bytes the value has.
    virtual long RegQueryValueExA(Key key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size)
        = 0;
    virtual long RegCloseKey(Key key) = 0;
};

// Where the system-information tool is registered.
namespace SysInfoKeys {

// The tool's full path.
constexpr const char *Path = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char *PathValue = "PATH";
// The folder that holds MSINFO32.EXE.
constexpr const char *Location = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char *LocationValue = "MSINFO";

} // namespace SysInfoKeys
