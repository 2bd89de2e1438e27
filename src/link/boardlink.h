#pragma once

#include "linkmonitor.h"

#include "platform/serialport.h"

#include <QString>

#include <functional>

class Clock;
class MessageBoxes;

// The messages of a failure episode, one for each wait that can run out of
// time, and the advice after a port that did not open. The window's by
// default; another owner of the link passes its own. In them {port} stands
// for "COM1" and {opened} for "COM1 (/dev/ttyUSB0)".
struct LinkTexts
{
    QString echoTimeout = QStringLiteral("There is a problem communicating over the serial port. Please check "
                                         "your serial cable connection and settings");
    QString promptTimeout = QStringLiteral("Error in serial communication port. Please Reset Evaluation Board "
                                           "and Restart the Application");
    QString openAdvice = QStringLiteral("Options > Select Serial Port chooses another port, and \"Assign a Device "
                                        "to {port}...\" there the device {port} opens.");
};

// The one RS-232 link to the evaluation board: opening the chosen port and
// bringing the board to its prompt, echo-paced sending, receiving with time
// limits, and the program-wide record that the link has failed.
class BoardLink
{
public:
    // The board's prompt, which ends every reply; also what a receive gives
    // when no character came, so that every prompt loop ends.
    static constexpr char Prompt = '>';
    // A reset sends "Q" this often, then waits this long for the board to
    // reach its prompt.
    static constexpr int ResetLetters = 3;
    static constexpr double ResetPause = 0.5;
    // Seconds an echo (or burst data) may take, for each character waited for.
    static constexpr double EchoTimeLimit = 1.0;
    // Seconds each character of a reply read up to the prompt may take.
    static constexpr double PromptTimeLimit = 3.0;
    // The longest reply the board sends: a burst read of 255 registers, two
    // digits each, then the prompt and one more character. A reply read up to
    // the prompt that grows longer comes from something else on the port.
    static constexpr int LongestReply = 2 * 255 + 2;
    // A whole reply read up to the prompt: the prompt time limit for it to
    // begin and as much again to end (its longest form needs half a second at
    // 9600 baud). A port still talking after that is not the board.
    static constexpr double ReplyTimeLimit = 2 * PromptTimeLimit;

    BoardLink(SerialPort &port, Clock &clock, MessageBoxes &messages, LinkTexts texts = {});

    // The port the next Connect_Board opens (an open port stays as it is):
    // COMn, 0 when none is chosen, or a device named directly. A new choice
    // lets the next open failure be reported again.
    void setPort(int number);
    void setDevice(const QString &path);

    // False when the port could not be opened; the caller decides whether to
    // tell the user (reportOpenFailure) or stay silent. A reset that the board
    // answers with its prompt ends a failure episode: Serial_Error is cleared
    // and the next failure shows its message again.
    bool Connect_Board();
    // Shows why the port could not be opened, at most once until a later
    // Connect_Board opens a port or another port is chosen.
    void reportOpenFailure();
    // Connect_Board, and on failure reportOpenFailure.
    bool connectOrReport();
    void disconnect();

    bool Wait_Serial_Input(int count);
    QString Get_Serial_Character();
    void Send_Serial_Echo(const QString &text);
    bool Wait_Prompt_Input(int count);
    QString Get_Prompt_Character();
    // Ends a reply that went on without its prompt as a prompt wait that ran
    // out of time: one message per episode, the port closed with it.
    void failReply();

    // True from a wait that ran out of time until a reset the board answers:
    // meanwhile the waits end at once and show no second message.
    bool Serial_Error() const { return m_serialError; }
    // Since the last reset the port did not open, or the board stayed silent.
    bool isDown() const { return m_serialError || m_openFailed; }
    // How many waits have ended without their characters, so that a command
    // can tell whether its whole exchange went through.
    int failures() const { return m_failures; }

    // What the board commands need besides the paced procedures above.
    bool isOpen() const;
    // A command letter goes out alone and unpaced: the board does not echo it.
    // False, and nothing sent, on a port that is not open.
    bool sendLetter(char letter);
    // "COM1 (/dev/ttyUSB0)": the port and the device its last open chose; the
    // device alone when it was named directly.
    QString portDescription() const;
    void discardInput();
    // Up to max waiting characters (all when max is 0).
    QString take(int max);
    // Blocks without processing events; the window is frozen meanwhile.
    void pause(double seconds);
    void processEvents();
    double seconds() const;

    // A command line is in flight from its letter until endCommand(): its
    // reply read, or failed within the time limits.
    bool commandInFlight() const { return m_commandDepth > 0; }
    void endCommand();
    // Runs action at once, or as soon as the command line in flight is
    // complete, so that the board is never left inside half a command.
    void whenNoCommand(std::function<void()> action);

    // Told of every character and failure while added; with none added the
    // link does not even look for one.
    void addMonitor(LinkMonitor *monitor);
    void removeMonitor(LinkMonitor *monitor);
    // The port the next Connect_Board opens.
    const PortChoice &choice() const { return m_choice; }

private:
    bool waitForInput(int count, double limit, const QString &message, bool closeAfterMessage);
    // The monitor is told what failed; the user, once an episode, message.
    void fail(const QString &message, bool closeAfterMessage, const QString &what);
    QString openFailureText() const;
    QString filledIn(QString text) const;
    // A reset or a command letter: the monitor starts a new line.
    void startExchange();
    void tellFailure(const QString &what);
    void sendMonitored(const QByteArray &bytes);

    SerialPort &m_port;
    Clock &m_clock;
    MessageBoxes &m_messages;
    PortChoice m_choice;
    LinkTexts m_texts;
    bool m_serialError = false;
    int m_failures = 0;
    bool m_openFailureShown = false;
    bool m_openFailed = false;
    bool m_failureTold = false;
    int m_commandDepth = 0;
    std::function<void()> m_afterCommand;
    LinkMonitors m_monitors;
    LinkMonitor *m_monitor = nullptr; // m_monitors while it holds any
};
