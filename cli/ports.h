#pragma once

class QIODevice;
class SerialDevices;

// kv71xx-cli ports: COM1 to COM8 with the device each opens and whether it is
// there, then every serial device the system reports. Returns the exit status.
int listPorts(const SerialDevices &devices, QIODevice &out);
