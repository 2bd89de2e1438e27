#pragma once

class Clock;
class DeviceChooser;
class FileChooser;
class MessageBoxes;
class ProgramEnd;
class ProgramLauncher;
class Registry;
class SerialDevices;
class SerialPort;
class SingleInstance;

// What the program needs of the machine it runs on. The real implementations
// are put together in app/realplatform.h; tests and benchmarks hand in fakes.
struct Platform
{
    SerialPort &port;
    Clock &clock;
    MessageBoxes &messages;
    SingleInstance &instance;
    ProgramEnd &end;
    Registry &registry;
    ProgramLauncher &launcher;
    FileChooser &fileDialog;
    SerialDevices &devices;
    DeviceChooser &deviceChooser;
};

// The platform made of the objects that parts holds under the same names,
// with the given port and clock: the one place that lists them, for the real
// machine, the tests and the benchmarks.
template<typename Parts>
Platform platformOf(Parts &parts, SerialPort &port, Clock &clock)
{
    return {port,           clock,          parts.messages,   parts.instance, parts.end,
            parts.registry, parts.launcher, parts.fileDialog, parts.devices,  parts.deviceChooser};
}
template<typename Parts>
Platform platformOf(Parts &parts)
{
    return platformOf(parts, parts.port, parts.clock);
}
