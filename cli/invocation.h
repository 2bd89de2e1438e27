#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What one run of kv71xx-cli is asked to do, taken from its command line.
struct Invocation
{
    enum class Command { Help, Version, Read, Write, FpgaRead, FpgaWrite, Dump, Load, Diff, Ports, Watch };

    Command command = Command::Help;
    int port = 1;
    QString device; // when not empty, opened instead of port COMn
    bool trace = false;
    bool verify = false;
    bool burst = false;
    int address = 0;
    int value = 0;
    QString file; // dump without a file writes to stdout
    // Every address and value given, in order: write's pairs, watch's registers.
    QList<int> addresses;
    QList<int> values;
    double interval = 1; // watch: seconds between the starts of two rounds of reads
    int count = 0; // watch: the rounds of reads; 0 until stopped

    // The exit statuses.
    enum Status { Success = 0, Differs = 1, BadInput = 2, LinkFailure = 3 };
};

namespace CommandLine {

struct Parsed
{
    std::optional<Invocation> invocation;
    QString error; // one line naming the argument, when there is no invocation
};
// The program's arguments, its own name first.
Parsed parse(const QStringList &arguments);
QString helpText();

// A hexadecimal number with or without "0x", at most maximum.
std::optional<int> hexArgument(const QString &text, int maximum);

} // namespace CommandLine
