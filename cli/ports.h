#pragma once

#include <QString>

class SerialDevices;

// kv71xx-cli ports: COM1 to COM8 with the device each opens and whether it is
// there, then every serial device the system reports.
QString portList(const SerialDevices &devices);
