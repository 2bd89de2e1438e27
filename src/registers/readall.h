#pragma once

#include <QObject>
#include <QString>

class BoardLink;
class CommandLock;
class RegisterBoxes;
class RegisterEngine;

// Copies all 64 chip registers into the boxes with four burst reads, without
// writing anything back. A block the board did not send keeps its boxes as
// they were, marked as not read.
class ReadAll : public QObject
{
    Q_OBJECT

public:
    ReadAll(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock,
            QObject *parent = nullptr);

    // The bar rests at 100 this long, without processing events, before it
    // returns to 0.
    static constexpr double ClosingPause = 0.5;

    struct Outcome
    {
        int unread = 0; // boxes the board did not refresh
        QString text; // for the window's status line
    };

    // The button: refused while another command runs; says how it went.
    void ReadAllRegisters_Click();
    // Runs under the command lock, also when the caller already holds it.
    Outcome Read_All_Registers();

signals:
    // Percent of the boxes filled: 0, 12.5, ... 87.5, then 100 and 0 again.
    void progress(double percent);
    // How it went, for the window's status line.
    void status(const QString &text);

private:
    class Fill;

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    RegisterEngine &m_engine;
    CommandLock &m_lock;
};
