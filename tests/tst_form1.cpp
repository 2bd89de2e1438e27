// The main window: caption, pages, register rows, menus, start-up and the ways out.

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
#include <QProgressBar>
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
QList<int> column(const Harness &h, const QString &frameName, bool left)
{
    auto *frame = h.form->findChild<QWidget *>(frameName);
    QMap<int, int> byTop;
    for (int a = 0; a < 64; ++a) {
        QLineEdit *box = h.box(a);
        if (box->parentWidget() != frame)
            continue;
        const bool inLeft = box->x() < frame->width() / 2;
        if (inLeft == left)
            byTop.insert(box->y(), a);
    }
    return byTop.values();
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void captionAndClientArea();
    void onlyUserRegistersTabAfterStart();
    void registerRowsOnTheirPages();
    void rowsHoldCaptionBoxAndSlider();
    void boxAttributes();
    void debugPage();
    void commandsInFrontOfEveryPage();
    void menuTree();
    void shortcutsFireWithMenusClosed_data();
    void shortcutsFireWithMenusClosed();
    void accessibleNames();
    void secondCopyIsRefused();
    void startTouchesNoPort();
    void exitClosesPortThenEnds();
    void closingWindowEnds();
    void disconnectClosesPort();
};

void TestForm1::captionAndClientArea()
{
    Harness h;
    QCOMPARE(h.form->windowTitle(), QStringLiteral("Velmora KV71xx Triple Video Digitizer"));
    QCOMPARE(h.form->centralWidget()->size(), QSize(477, 420));
}

void TestForm1::onlyUserRegistersTabAfterStart()
{
    Harness h;
    auto *tabs = h.form->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("User Registers"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Test Registers"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Debug"));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(tabs->isTabVisible(0) && tabs->isTabEnabled(0));
    for (const int i : {1, 2}) {
        QVERIFY(!tabs->isTabVisible(i));
        QVERIFY(!tabs->isTabEnabled(i));
    }
    // Each page holds exactly one frame with no caption.
    const QStringList frames{QStringLiteral("Frame5"), QStringLiteral("Frame1"), QStringLiteral("Frame2")};
    for (int i = 0; i < 3; ++i) {
        const QList<QFrame *> children = tabs->widget(i)->findChildren<QFrame *>(
            QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(children.size(), 1);
        QCOMPARE(children.first()->objectName(), frames.at(i));
    }
}

void TestForm1::registerRowsOnTheirPages()
{
    Harness h;
    QCOMPARE(column(h, QStringLiteral("Frame5"), true), range(0x01, 0x0F));
    QCOMPARE(column(h, QStringLiteral("Frame5"), false), range(0x10, 0x1B) + QList<int>({0x22, 0x23}));
    QCOMPARE(column(h, QStringLiteral("Frame1"), true),
             QList<int>{0x00} + range(0x1C, 0x21) + range(0x24, 0x2D));
    QCOMPARE(column(h, QStringLiteral("Frame1"), false), range(0x2E, 0x3F));
}

void TestForm1::rowsHoldCaptionBoxAndSlider()
{
    Harness h;
    const QStringList sliderNames{
        "RedGain_HScroll", "GreenGain_HScroll", "BlueGain_HScroll", "RedOffset_HScroll",
        "GreenOffset_HScroll", "BlueOffset_HScroll", "PllPhase_HScroll", "PllPreCoast_HScroll",
        "PllPostCoast_HScroll", "DCRestABLC_MSB_HScroll", "DCRestABLC_LSB_HScroll",
        "DCRestClampWidth_HScroll", "HSOUTWidth_HScroll", "RedAnalogABLC_HScroll",
        "GreenAnalogABLC_HScroll", "BlueAnalogABLC_HScroll", "AFE_BIAS_CTRL1_HScroll",
        "AFE_BIAS_CTRL0_HScroll", "ADC_REF_CTRL_HScroll", "FG_NUM_HScroll", "PG_NUM_HScroll",
        "PHASE_DELAY_NUMBER_MSB_HScroll", "PHASE_DELAY_NUMBER_LSB_HScroll", "APLL_DIV_HScroll",
        "EXTERNAL_PNUM4_HScroll", "EXTERNAL_PNUM3_HScroll", "EXTERNAL_PNUM2_HScroll",
        "EXTERNAL_PNUM1_HScroll", "EXTERNAL_PNUM0_HScroll", "LOCK_CRITERIA_HScroll"};
    const QList<int> sliderRegisters = range(0x06, 0x0B)
                                       + QList<int>({0x10, 0x11, 0x12, 0x14, 0x15, 0x16, 0x19,
                                                     0x1D, 0x1E, 0x1F})
                                       + range(0x24, 0x30) + QList<int>({0x32});
    QCOMPARE(sliderRegisters.size(), 30);
    for (int i = 0; i < 30; ++i) {
        const int a = sliderRegisters.at(i);
        auto *slider = h.form->findChild<QScrollBar *>(sliderNames.at(i));
        QVERIFY2(slider, qPrintable(sliderNames.at(i)));
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), a == 0x10 ? 63 : 255);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(slider->parentWidget(), h.box(a)->parentWidget());
        QCOMPARE(slider->y(), h.box(a)->y());
        QVERIFY(slider->x() >= h.box(a)->geometry().right());
    }
    QCOMPARE(h.form->findChildren<QScrollBar *>().size(), 30);
    for (int a = 0; a < 64; ++a) {
        QLabel *label = h.form->boxes().KV7106_Label(a);
        QCOMPARE(label->text(), QString::fromLatin1(RegisterMap::at(a).caption));
        QCOMPARE(label->y(), h.box(a)->y());
        QVERIFY(label->geometry().right() < h.box(a)->x());
    }
    QCOMPARE(h.form->boxes().KV7106_Label(0x00)->text(), QStringLiteral(" ID and REVISION (00h) "));
    QCOMPARE(h.form->boxes().KV7106_Label(0x0C)->text(), QStringLiteral("Offset DAC Confog (0x0C)"));
    QCOMPARE(h.form->boxes().KV7106_Label(0x24)->text(), QStringLiteral("AFE BIAS CTRL 1(24h) "));
}

void TestForm1::boxAttributes()
{
    Harness h;
    for (int a = 0; a < 64; ++a) {
        // The Test page itself is disabled at start; the box's own state counts.
        QCOMPARE(h.box(a)->isEnabledTo(h.box(a)->parentWidget()), a != 0x01 && a != 0x02);
        QCOMPARE(h.text(a), a >= 0x05 && a <= 0x0F ? QStringLiteral("  ") : QString());
    }
}

void TestForm1::debugPage()
{
    Harness h;
    const QStringList checks{"ShowJitterCheckButton", "MinimizedJitterCheckButton", "AutoSyncCheckButton"};
    const QStringList captions{"Show PLL Jitter", "Minimized Jitter", "Auto Sync Detect"};
    for (int i = 0; i < 3; ++i) {
        auto *check = h.form->findChild<QAbstractButton *>(checks.at(i));
        auto *text = h.form->findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i + 1));
        QVERIFY(check && text);
        QCOMPARE(check->text(), captions.at(i));
        QVERIFY(!check->isChecked());
        QVERIFY(text->text().isEmpty());
        QCOMPARE(check->parentWidget()->objectName(), QStringLiteral("Frame2"));
        QCOMPARE(text->y(), check->y());
        QVERIFY(text->x() > check->geometry().right());
    }
}

void TestForm1::commandsInFrontOfEveryPage()
{
    Harness h;
    auto *readAll = h.form->findChild<QPushButton *>(QStringLiteral("ReadAllRegisters"));
    auto *progress = h.form->findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    QVERIFY(readAll && progress);
    QCOMPARE(readAll->text(), QStringLiteral("Read All Registers"));
    QCOMPARE(readAll->parentWidget(), h.form->centralWidget());
    QCOMPARE(progress->parentWidget(), h.form->centralWidget());
    QVERIFY(progress->y() > readAll->y());
    QCOMPARE(progress->value(), 0);
    // In front of the tab control, whichever page it shows.
    const QObjectList order = h.form->centralWidget()->children();
    auto *tabs = h.form->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    QVERIFY(order.indexOf(readAll) > order.indexOf(tabs));
    QVERIFY(order.indexOf(progress) > order.indexOf(tabs));

    auto *frame3 = h.form->findChild<QWidget *>(QStringLiteral("Frame3"));
    QCOMPARE(frame3->property("title").toString(), QStringLiteral("Individual Register Read/Write"));
    QCOMPARE(frame3->parentWidget()->objectName(), QStringLiteral("Frame5"));
    auto *address = h.form->findChild<QLineEdit *>(QStringLiteral("Address"));
    auto *data = h.form->findChild<QLineEdit *>(QStringLiteral("Data"));
    auto *read = h.form->findChild<QPushButton *>(QStringLiteral("ReadRegCommand"));
    auto *write = h.form->findChild<QPushButton *>(QStringLiteral("WriteRegCommand"));
    QCOMPARE(address->text(), QStringLiteral("00"));
    QVERIFY(data->text().isEmpty());
    QCOMPARE(read->text(), QStringLiteral("Read"));
    QCOMPARE(write->text(), QStringLiteral("Write"));
    QVERIFY(read->x() < address->x() && address->x() < data->x() && data->x() < write->x());
    QVERIFY(frame3->findChild<QLabel *>()->text() == QStringLiteral("Address      Data "));
    auto *logo = h.form->findChild<QLabel *>(QStringLiteral("Picture1"));
    QVERIFY(logo && !logo->pixmap().isNull());
    QCOMPARE(logo->pixmap().size(), QSize(79, 79));
}

void TestForm1::menuTree()
{
    Harness h;
    const QList<QAction *> top = h.form->menuBar()->actions();
    QCOMPARE(top.size(), 2);
    QCOMPARE(top.at(0)->text(), QStringLiteral("&File"));
    QCOMPARE(top.at(1)->text(), QStringLiteral("&Options"));

    struct Item { const char *text; const char *name; QKeySequence shortcut; };
    const QList<Item> file{{"Save Resisters", "nFileSaveRegisterAs", QKeySequence(QStringLiteral("Ctrl+S"))},
                           {"Load Registers", "nFileLoadRegisterFrom", QKeySequence(QStringLiteral("Ctrl+L"))},
                           {"About", "nFileAbout", QKeySequence()},
                           {"E&xit", "nMenuFileExit", QKeySequence(QStringLiteral("Ctrl+X"))}};
    const QList<QAction *> fileActions = top.at(0)->menu()->actions();
    QCOMPARE(fileActions.size(), file.size());
    for (int i = 0; i < file.size(); ++i) {
        QCOMPARE(fileActions.at(i)->text(), QString::fromLatin1(file.at(i).text));
        QCOMPARE(fileActions.at(i)->objectName(), QString::fromLatin1(file.at(i).name));
        QCOMPARE(fileActions.at(i)->shortcut(), file.at(i).shortcut);
    }

    const QList<QAction *> options = top.at(1)->menu()->actions();
    QCOMPARE(options.size(), 3);
    QCOMPARE(options.at(0)->text(), QStringLiteral("Select &Input Video Mode"));
    QCOMPARE(options.at(0)->objectName(), QStringLiteral("nVideoModeInput"));
    QCOMPARE(options.at(1)->text(), QStringLiteral("&Select Serial Port"));
    QCOMPARE(options.at(2)->text(), QStringLiteral("&Disconnect Serial Port"));
    QCOMPARE(options.at(2)->objectName(), QStringLiteral("mDisconnectSerial"));
    QMenu *ports = options.at(1)->menu();
    QVERIFY(ports);
    QCOMPARE(ports->objectName(), QStringLiteral("mSetupCom"));
    QStringList portTexts;
    for (QAction *a : ports->actions())
        portTexts.append(a->text());
    QCOMPARE(portTexts, (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));

    // COM items appear nowhere else; nothing starts disabled or hidden.
    const QList<QAction *> all = h.form->findChildren<QAction *>();
    int comItems = 0;
    for (QAction *a : all) {
        QVERIFY(a->isEnabled() && a->isVisible());
        if (a->text().startsWith(QStringLiteral("COM")))
            ++comItems;
    }
    QCOMPARE(comItems, 8);
}

void TestForm1::shortcutsFireWithMenusClosed_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("focusInBox");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << "nFileSaveRegisterAs" << false;
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << "nFileLoadRegisterFrom" << false;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << "nMenuFileExit" << false;
    // In a text box Ctrl+X would otherwise cut.
    QTest::newRow("Ctrl+X in a box") << int(Qt::Key_X) << "nMenuFileExit" << true;
    QTest::newRow("Ctrl+S in a box") << int(Qt::Key_S) << "nFileSaveRegisterAs" << true;
}

void TestForm1::shortcutsFireWithMenusClosed()
{
    QFETCH(int, key);
    QFETCH(QString, action);
    QFETCH(bool, focusInBox);
    Harness h;
    h.form->show();
    QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    QWidget *target = h.form.get();
    if (focusInBox) {
        h.setText(0x03, QStringLiteral("12"));
        h.box(0x03)->setFocus();
        h.box(0x03)->selectAll();
        target = h.box(0x03);
    }
    QSignalSpy spy(h.form->findChild<QAction *>(action), &QAction::triggered);
    QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(spy.count(), 1);
    if (focusInBox)
        QCOMPARE(h.text(0x03), QStringLiteral("12"));
}

void TestForm1::accessibleNames()
{
    Harness h;
    for (const int a : {0x00, 0x06, 0x22, 0x3F})
        QCOMPARE(accessibleName(h.box(a)), QString::fromLatin1(RegisterMap::at(a).caption));
    QCOMPARE(h.form->boxes().KV7106_Label(0x06)->buddy(), h.box(0x06));
    QCOMPARE(accessibleName(h.slider(0x06)), QStringLiteral("Red Gain (0x06)"));
    QCOMPARE(accessibleName(h.form->findChild<QWidget *>(QStringLiteral("Address"))), QStringLiteral("Address"));
    QCOMPARE(accessibleName(h.form->findChild<QWidget *>(QStringLiteral("Data"))), QStringLiteral("Data"));
    QVERIFY(!accessibleName(h.form->findChild<QWidget *>(QStringLiteral("ProgressBar1"))).isEmpty());
}

void TestForm1::secondCopyIsRefused()
{
    Harness h({}, false);
    h.instance.running = true;
    QVERIFY(!h.form->Form_Load());
    QCOMPARE(h.messages.shown.size(), 1);
    const FakeMessageBoxes::Shown &shown = h.messages.shown.first();
    QCOMPARE(shown.text, QStringLiteral("Another copy of the Application is running.\r\n"
                                        "Please close all previous instance of the application and restart"));
    QCOMPARE(shown.caption, QStringLiteral("KV71xx"));
    QCOMPARE(shown.icon, MessageBoxes::Icon::Exclamation);
    QCOMPARE(h.end.ended, 1);
    QCOMPARE(h.log.events.indexOf(QStringLiteral("end")), h.log.events.size() - 1);
    // None of the later start-up steps ran.
    QVERIFY(!h.form->isVisible());
    QVERIFY(!QFile::exists(QStringLiteral("KV71xx.ini")));
    QCOMPARE(h.form->selectedPort(), 0);
}

void TestForm1::startTouchesNoPort()
{
    Harness h;
    QVERIFY(!h.port.isOpen());
    QCOMPARE(h.port.opens(), 0);
    QVERIFY(h.port.received().isEmpty());
    QVERIFY(h.messages.shown.isEmpty());
    QVERIFY(!h.form->boxes().ReadingAllRegisters);
}

void TestForm1::exitClosesPortThenEnds()
{
    Harness h;
    h.form->show();
    QVERIFY(h.form->link().Connect_Board());
    h.log.events.clear();
    h.form->findChild<QAction *>(QStringLiteral("nMenuFileExit"))->trigger();
    QCOMPARE(h.log.events, (QStringList{"close", "end"}));
    QVERIFY(!h.port.isOpen());
    QVERIFY(!h.form->isVisible());
    QCOMPARE(h.end.ended, 1);

    // With the port closed there is nothing to close first.
    Harness closed;
    closed.form->show();
    closed.form->findChild<QAction *>(QStringLiteral("nMenuFileExit"))->trigger();
    QCOMPARE(closed.log.events, QStringList{"end"});
}

void TestForm1::closingWindowEnds()
{
    Harness h;
    h.form->show();
    QVERIFY(h.form->link().Connect_Board());
    h.log.events.clear();
    QVERIFY(h.form->close());
    QCOMPARE(h.end.ended, 1);
    // The port is released by the end of the program, not closed first.
    QCOMPARE(h.log.events, QStringList{"end"});
}

void TestForm1::disconnectClosesPort()
{
    Harness h;
    QAction *disconnect = h.form->findChild<QAction *>(QStringLiteral("mDisconnectSerial"));
    disconnect->trigger(); // closed already: nothing happens
    QVERIFY(h.log.events.isEmpty());
    QVERIFY(h.form->link().Connect_Board());
    h.log.events.clear();
    disconnect->trigger();
    QCOMPARE(h.log.events, QStringList{"close"});
    QVERIFY(!h.port.isOpen());
    QVERIFY(h.form->COM_SEL(1)->isChecked());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
