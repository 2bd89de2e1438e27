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
// are put together in app/realplatform.h; tests hand in fakes.
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
