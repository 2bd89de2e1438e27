#include "winregistry.h"

#include <windows.h>

namespace {

HKEY handle(Registry::Key key)
{
    // The predefined root is a sign-extended constant on 64-bit Windows.
    return key == Registry::LocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(key);
}

} // namespace

long WinRegistry::RegOpenKeyExA(Key root, const QString &subKey, quint32 options, quint32 access, Key *result)
{
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(handle(root), subKey.toLocal8Bit().constData(), options, REGSAM(access),
                                        &opened);
    *result = status == ERROR_SUCCESS ? reinterpret_cast<Key>(opened) : 0;
    return status;
}

long WinRegistry::RegQueryValueExA(Key key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size)
{
    DWORD valueType = 0;
    DWORD length = qMin(DWORD(*size), DWORD(buffer->size()));
    const LONG status = ::RegQueryValueExA(handle(key), valueName.toLocal8Bit().constData(), nullptr, &valueType,
                                           reinterpret_cast<LPBYTE>(buffer->data()), &length);
    *type = valueType;
    *size = length;
    return status;
}

long WinRegistry::RegCloseKey(Key key)
{
    return ::RegCloseKey(handle(key));
}
