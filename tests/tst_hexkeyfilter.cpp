// The key filter of every hexadecimal box, with real key events.

#include "registers/hexkeyfilter.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestHexKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void codes_data();
    void codes();
    void typing();
    void backspaceAndEnterPass();
    void typingLimit();
};

void TestHexKeyFilter::codes_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("passed");
    QTest::newRow("a becomes A") << int('a') << int('A');
    QTest::newRow("f becomes F") << int('f') << int('F');
    QTest::newRow("digit") << int('7') << int('7');
    QTest::newRow("upper") << int('C') << int('C');
    QTest::newRow("g") << int('g') << 0;
    QTest::newRow("x") << int('x') << 0;
    QTest::newRow("G") << int('G') << 0;
    QTest::newRow("blank") << int(' ') << 0;
    QTest::newRow("minus") << int('-') << 0;
    QTest::newRow("Backspace") << 8 << 8;
    QTest::newRow("Enter") << 13 << 13;
    QTest::newRow("Tab") << 9 << 0;
    QTest::newRow("Ctrl+V") << 22 << 0;
}

void TestHexKeyFilter::codes()
{
    QFETCH(int, typed);
    QFETCH(int, passed);
    QCOMPARE(hexKeyFilter(typed), passed);
}

void TestHexKeyFilter::typing()
{
    HexKeyFilter filter;
    QLineEdit box;
    filter.watch(&box);
    QTest::keyClicks(&box, QStringLiteral("a1g x-fZ9"));
    QCOMPARE(box.text(), QStringLiteral("A1F9"));
}

void TestHexKeyFilter::backspaceAndEnterPass()
{
    HexKeyFilter filter;
    QLineEdit box;
    filter.watch(&box);
    QSignalSpy entered(&box, &QLineEdit::returnPressed);
    QTest::keyClicks(&box, QStringLiteral("3f"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("3"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(entered.count(), 1);
    // Editing keys that type no character still work.
    QTest::keyClick(&box, Qt::Key_Home);
    QTest::keyClick(&box, Qt::Key_Delete);
    QCOMPARE(box.text(), QString());
}

void TestHexKeyFilter::typingLimit()
{
    HexKeyFilter filter;
    QLineEdit limited;
    QLineEdit open;
    filter.watch(&limited, 2);
    filter.watch(&open);
    QTest::keyClicks(&limited, QStringLiteral("1a3"));
    QCOMPARE(limited.text(), QStringLiteral("1A"));
    // A selection is replaced, so typing over it stays within the limit.
    limited.selectAll();
    QTest::keyClicks(&limited, QStringLiteral("b"));
    QCOMPARE(limited.text(), QStringLiteral("B"));
    QTest::keyClicks(&open, QStringLiteral("12345"));
    QCOMPARE(open.text(), QStringLiteral("12345"));
    // The limit binds typing only: the program may set a longer text.
    limited.setText(QStringLiteral("005"));
    QCOMPARE(limited.text(), QStringLiteral("005"));
}

QTEST_MAIN(TestHexKeyFilter)
#include "tst_hexkeyfilter.moc"
