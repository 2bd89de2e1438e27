#pragma once

#include "platform/serialport.h"

#include <QString>

class Clock;
class MessageBoxes;

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

    BoardLink(SerialPort &port, Clock &clock, MessageBoxes &messages);

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

private:
    bool waitForInput(int count, double limit, const QString &message, bool closeAfterMessage);
    QString openFailureText() const;

    SerialPort &m_port;
    Clock &m_clock;
    MessageBoxes &m_messages;
    PortChoice m_choice;
    bool m_serialError = false;
    int m_failures = 0;
    bool m_openFailureShown = false;
};
