// The main window: pages, register rows, menus, start-up and the ways out.

#include "harness.h"

#include "link/boardlink.h"
#include "registers/registerboxes.h"
#include "registers/registermap.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

namespace {

QList<int> range(int first, int last)
{
    QList<int> result;
    for (int a = first; a <= last; ++a)
        result.append(a);
    return result;
}

// The addresses of one column of a page frame, top to bottom.
QList<int> column(const Harness &h, const char *frameName, bool left)
{
    auto *frame = h.form->findChild<QWidget *>(QLatin1String(frameName));
    QMap<int, int> byTop;
    for (int a = 0; a < 64; ++a) {
        if (h.box(a)->parentWidget() == frame && (h.box(a)->x() < frame->width() / 2) == left)
            byTop.insert(h.box(a)->y(), a);
    }
    return byTop.values();
}

QStringList texts(const QList<QAction *> &actions)
{
    QStringList result;
    for (const QAction *a : actions)
        result.append(a->text() + (a->shortcut().isEmpty() ? QString() : QLatin1Char('\t') + a->shortcut().toString()));
    return result;
}

QString accessibleName(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void onlyUserRegistersTabAfterStart();
    void registerRows();
    void menuTree();
    void shortcutsFireWithMenusClosed_data();
    void shortcutsFireWithMenusClosed();
    void accessibleNames();
    void secondCopyIsRefused();
    void exitClosesPortThenEnds();
};

void TestForm1::onlyUserRegistersTabAfterStart()
{
    Harness h;
    QCOMPARE(h.form->windowTitle(), QStringLiteral("Velmora KV71xx Triple Video Digitizer"));
    QCOMPARE(h.form->centralWidget()->size(), QSize(477, 420));
    auto *tabs = h.form->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    QStringList shown;
    for (int i = 0; i < tabs->count(); ++i)
        shown.append(tabs->tabText(i) + (tabs->isTabVisible(i) && tabs->isTabEnabled(i) ? "" : " (hidden)"));
    QCOMPARE(shown, (QStringList{"User Registers", "Test Registers (hidden)", "Debug (hidden)"}));
    // Start-up touches neither the port nor the board.
    QCOMPARE(h.port.opens(), 0);
    QVERIFY(h.messages.shown.isEmpty());
    // Read All and its bar belong to the window, in front of every page.
    const QObjectList order = h.form->centralWidget()->children();
    for (const char *name : {"ReadAllRegisters", "ProgressBar1"}) {
        QObject *control = h.form->findChild<QWidget *>(QLatin1String(name));
        QVERIFY(order.indexOf(control) > order.indexOf(tabs));
    }
}

void TestForm1::registerRows()
{
    Harness h;
    QCOMPARE(column(h, "Frame5", true), range(0x01, 0x0F));
    QCOMPARE(column(h, "Frame5", false), range(0x10, 0x1B) + QList<int>({0x22, 0x23}));
    QCOMPARE(column(h, "Frame1", true), QList<int>{0x00} + range(0x1C, 0x21) + range(0x24, 0x2D));
    QCOMPARE(column(h, "Frame1", false), range(0x2E, 0x3F));
    for (int a = 0; a < 64; ++a) {
        QLabel *label = h.form->boxes().KV7106_Label(a);
        QCOMPARE(label->text(), QString::fromLatin1(RegisterMap::at(a).caption));
        QVERIFY(label->y() == h.box(a)->y() && label->geometry().right() < h.box(a)->x());
        QCOMPARE(h.box(a)->isEnabledTo(h.box(a)->parentWidget()), a != 0x01 && a != 0x02);
        QCOMPARE(h.text(a), a >= 0x05 && a <= 0x0F ? QStringLiteral("  ") : QString());
    }
    for (const int a : RegisterMap::sliderAddresses()) {
        QVERIFY(h.slider(a)->y() == h.box(a)->y() && h.slider(a)->x() > h.box(a)->geometry().right());
        QCOMPARE(h.slider(a)->maximum(), a == 0x10 ? 63 : 255);
    }
    QCOMPARE(h.form->findChildren<QScrollBar *>().size(), 30);
}

void TestForm1::menuTree()
{
    Harness h;
    const QList<QAction *> top = h.form->menuBar()->actions();
    QCOMPARE(texts(top), (QStringList{"&File", "&Options"}));
    QCOMPARE(texts(top.at(0)->menu()->actions()),
             (QStringList{"Save Resisters\tCtrl+S", "Load Registers\tCtrl+L", "About", "E&xit\tCtrl+X"}));
    const QList<QAction *> options = top.at(1)->menu()->actions();
    QCOMPARE(texts(options), (QStringList{"Select &Input Video Mode", "&Select Serial Port",
                                          "&Disconnect Serial Port"}));
    QCOMPARE(texts(options.at(1)->menu()->actions()),
             (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
    for (const QAction *a : h.form->findChildren<QAction *>())
        QVERIFY(a->isEnabled() && a->isVisible());
}

void TestForm1::shortcutsFireWithMenusClosed_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("inBox");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << "nFileSaveRegisterAs" << false;
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << "nFileLoadRegisterFrom" << false;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << "nMenuFileExit" << false;
    // In a text box Ctrl+X would otherwise cut.
    QTest::newRow("Ctrl+X in a box") << int(Qt::Key_X) << "nMenuFileExit" << true;
}

void TestForm1::shortcutsFireWithMenusClosed()
{
    QFETCH(int, key);
    QFETCH(QString, action);
    QFETCH(bool, inBox);
    Harness h;
    h.form->show();
    QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    h.setText(0x03, QStringLiteral("12"));
    h.box(0x03)->selectAll();
    QSignalSpy spy(h.form->findChild<QAction *>(action), &QAction::triggered);
    QTest::keyClick(inBox ? static_cast<QWidget *>(h.box(0x03)) : h.form.get(), Qt::Key(key),
                    Qt::ControlModifier);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(h.text(0x03), QStringLiteral("12"));
}

void TestForm1::accessibleNames()
{
    Harness h;
    QCOMPARE(accessibleName(h.box(0x00)), QStringLiteral(" ID and REVISION (00h) "));
    QCOMPARE(accessibleName(h.box(0x22)), QStringLiteral("DC Restore Clamp 1 (0x22) "));
    QCOMPARE(accessibleName(h.slider(0x06)), QStringLiteral("Red Gain (0x06)"));
    for (const char *name : {"Address", "Data"})
        QCOMPARE(accessibleName(h.form->findChild<QWidget *>(QLatin1String(name))), QLatin1String(name));
    QVERIFY(!accessibleName(h.form->findChild<QWidget *>(QStringLiteral("ProgressBar1"))).isEmpty());
}

void TestForm1::secondCopyIsRefused()
{
    Harness h({}, false);
    h.instance.running = true;
    QVERIFY(!h.form->Form_Load());
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown.first().text,
             QStringLiteral("Another copy of the Application is running.\r\n"
                            "Please close all previous instance of the application and restart"));
    QCOMPARE(h.messages.shown.first().caption, QStringLiteral("KV71xx"));
    QCOMPARE(h.messages.shown.first().icon, MessageBoxes::Icon::Exclamation);
    QCOMPARE(h.log.events.last(), QStringLiteral("end"));
    // None of the later start-up steps ran.
    QVERIFY(!h.form->isVisible());
    QVERIFY(!QFile::exists(QStringLiteral("KV71xx.ini")));
}

void TestForm1::exitClosesPortThenEnds()
{
    Harness h;
    h.form->show();
    QVERIFY(h.form->link().Connect_Board());
    h.log.events.clear();
    h.form->findChild<QAction *>(QStringLiteral("nMenuFileExit"))->trigger();
    QCOMPARE(h.log.events, (QStringList{"close", "end"}));
    QVERIFY(!h.form->isVisible());

    // Closing the window ends the program without closing the port first;
    // Disconnect closes it and leaves the port choice alone.
    Harness closing;
    closing.form->show();
    QVERIFY(closing.form->link().Connect_Board());
    closing.form->findChild<QAction *>(QStringLiteral("mDisconnectSerial"))->trigger();
    QVERIFY(!closing.port.isOpen() && closing.form->COM_SEL(1)->isChecked());
    QVERIFY(closing.form->link().Connect_Board());
    closing.log.events.clear();
    QVERIFY(closing.form->close());
    QCOMPARE(closing.log.events, QStringList{"end"});
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
