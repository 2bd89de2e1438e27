// The key filter of every hexadecimal box, with real key events.

#include "registers/hexkeyfilter.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestHexKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void typing();
};

void TestHexKeyFilter::typing()
{
    HexKeyFilter filter;
    QLineEdit open;
    QLineEdit limited;
    filter.watch(&open);
    filter.watch(&limited, 2);
    QTest::keyClicks(&open, QStringLiteral("a1g x-fZ9"));
    QCOMPARE(open.text(), QStringLiteral("A1F9"));
    QSignalSpy entered(&open, &QLineEdit::returnPressed);
    QTest::keyClick(&open, Qt::Key_Backspace);
    QTest::keyClick(&open, Qt::Key_Return);
    QCOMPARE(open.text(), QStringLiteral("A1F"));
    QCOMPARE(entered.count(), 1);
    QCOMPARE(hexKeyFilter(8), 8);
    QCOMPARE(hexKeyFilter(13), 13);
    QCOMPARE(hexKeyFilter(22), 0); // Ctrl+V pastes nothing

    QTest::keyClicks(&limited, QStringLiteral("1a3"));
    QCOMPARE(limited.text(), QStringLiteral("1A"));
    limited.selectAll();
    QTest::keyClicks(&limited, QStringLiteral("b"));
    QCOMPARE(limited.text(), QStringLiteral("B"));
    // The limit binds typing only: the program may set a longer text.
    limited.setText(QStringLiteral("005"));
    QCOMPARE(limited.text(), QStringLiteral("005"));
}

QTEST_MAIN(TestHexKeyFilter)
#include "tst_hexkeyfilter.moc"
