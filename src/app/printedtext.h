#pragma once

#include <QWidget>

// Lines the program prints on the main window's client area: the first at
// the top left, each further one a line lower, above the pages. It takes no
// mouse input, so everything under it stays usable.
class PrintedText : public QWidget
{
    Q_OBJECT

public:
    // Covers the whole of parent and stays above its other children.
    explicit PrintedText(QWidget *parent);

    // Prints at the running text position, which then moves one line down.
    void print(const QString &line);
    // Where the next line goes, from the top.
    int currentY() const { return m_currentY; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Line
    {
        QString text;
        int y;
    };
    QList<Line> m_lines; // those that can be seen
    int m_currentY = 0;
};
