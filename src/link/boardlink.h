#pragma once

#include <QString>

#include <functional>

class Clock;
class LinkMonitor;
class MessageBoxes;
class SerialPort;

// The one RS-232 link to the evaluation board: opening the chosen port and
// bringing the board to its prompt, echo-paced sending, receiving with time
// limits, and the program-wide record that the link has failed.
class BoardLink
{
public:
    // The board's prompt, which ends every reply; also what a receive gives
    // when no character came, so that every prompt loop ends.
    static constexpr char Prompt = '>';
    // How long a reset waits for the board to reach its prompt.
    static constexpr double ResetPause = 0.5;

    // selectedPort gives the number of the checked port item, 0 for none.
    BoardLink(SerialPort &port, Clock &clock, MessageBoxes &messages, std::function<int()> selectedPort);

    // False when the port could not be opened; the caller decides whether to
    // tell the user (reportOpenFailure) or stay silent. A reset that the board
    // answers with its prompt ends a failure episode: Serial_Error is cleared
    // and the next failure shows its message again.
    bool Connect_Board();
    // Shows why the port could not be opened, at most once until a later
    // Connect_Board opens a port or the user chooses a port.
    void reportOpenFailure();
    // Connect_Board, and on failure reportOpenFailure.
    bool connectOrReport();
    void portChosen();
    void disconnect();

    bool Wait_Serial_Input(int count);
    QString Get_Serial_Character();
    void Send_Serial_Echo(const QString &text);
    bool Wait_Prompt_Input(int count);
    QString Get_Prompt_Character();

    // True from a wait that ran out of time until a reset the board answers:
    // meanwhile the waits end at once and show no second message.
    bool Serial_Error() const { return m_serialError; }
    // How many waits have ended without their characters, so that a command
    // can tell whether its whole exchange went through.
    int failures() const { return m_failures; }

    // What the board commands need besides the paced procedures above.
    bool isOpen() const;
    // A command letter goes out alone and unpaced: the board does not echo it.
    void sendLetter(char letter);
    void discardInput();
    // Up to max waiting characters (all when max is 0).
    QString take(int max);
    // Blocks without processing events; the window is frozen meanwhile.
    void pause(double seconds);
    void processEvents();

    // Told of every character and failure while set; nullptr for none.
    void setMonitor(LinkMonitor *monitor) { m_monitor = monitor; }

private:
    bool waitForInput(int count, double limit, const QString &message, bool closeAfterMessage);
    QString openFailureText() const;
    QString portName() const;
    void sendMonitored(const QByteArray &bytes);

    SerialPort &m_port;
    Clock &m_clock;
    MessageBoxes &m_messages;
    std::function<int()> m_selectedPort;
    bool m_serialError = false;
    int m_failures = 0;
    bool m_openFailureShown = false;
    LinkMonitor *m_monitor = nullptr;
};
