// Register files: saved bytes, Load's writes, faults, cancel, the real dialog.

#include "harness.h"
#include "texts.h"

#include "app/printedtext.h"
#include "files/registerfiles.h"
#include "platform/qtfilechooser.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs Save or Load on the file (written first when bytes are given); returns its path.
QString run(Harness &h, bool save, const char *name, const QByteArray &bytes = {})
{
    QFile file(h.dir.filePath(QLatin1String(name)));
    if (!bytes.isNull() && file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.close();
    h.fileDialog.answers.append(file.fileName());
    h.find<QAction>(save ? "nFileSaveRegisterAs" : "nFileLoadRegisterFrom")->trigger();
    return file.fileName();
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void saveThenLoad()
    {
        Harness h;
        h.click("ReadAllRegisters");
        h.setText(0x06, QStringLiteral("5"));
        QSignalSpy progress(h.form->findChild<RegisterFiles *>(), &RegisterFiles::progress);
        const QByteArray bytes = contents(run(h, true, "saved.TXT"));
        const FileChooser::Request &asked = h.fileDialog.requests.at(0);
        QCOMPARE(asked.fileName + asked.defaultSuffix + asked.filter,
                 "registersTXTText File (*.TXT) |*.txt | All Files (*.*)|*.*|");
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(bytes.size() + bytes.count("\r\n") + lines.size(), 2804 + 64 + 65);
        QCOMPARE(lines.at(0) + lines.at(6) + lines.at(63) + lines.at(64),
                 "KV7106_Register0: ID and REVISION (00h) :71\rKV7106_Register6:Red Gain (0x06):5\r"
                 "KV7106_Register63:INTERNAL PNUM0 (3Fh) :00\r");
        QCOMPARE((QList<double>{progress.at(1).at(0).toDouble(), progress.at(63).at(0).toDouble(),
                                progress.at(64).at(0).toDouble(), double(progress.size())}),
                 (QList<double>{100 / 63.0, 100, 0, 65}));

        // Loaded from the path the dialog proposes: every register in address
        // order, 0x11's slider echo ("08" shown as "8") once more; Save and
        // Load chosen meanwhile are ignored. Saved again, the same bytes.
        h.setText(0x11, QStringLiteral("20"));
        h.port.received.clear();
        h.port.holdReplies = true;
        h.clock.onWait = [&] { h.port.release(); run(h, true, "x"); run(h, false, "x"); };
        const QString saved = run(h, false, "saved.TXT");
        QStringList expected;
        for (int a = 0; a < 64; ++a) {
            const int value = a == 0x06 ? 5 : sim::BoardCore::powerOnValue(a);
            expected << QStringLiteral("%1=%2").arg(a, 2, 16, QLatin1Char('0')).arg(value, 2, 16, QLatin1Char('0'));
        }
        QCOMPARE(h.port.writes().join(' '), (expected.mid(0, 0x12) + expected.mid(0x11)).join(' ').toUpper());
        QCOMPARE(h.fileDialog.requests.size(), 2);
        QCOMPARE(h.fileDialog.requests.at(1).fileName + h.text(0x11), saved + "8");
        h.fileDialog.answers.clear();
        QCOMPARE(contents(run(h, true, "again.TXT")), QByteArray(bytes).replace("(0x11):08", "(0x11):8"));
        QVERIFY(h.messages.shown.isEmpty());
    }

    // Box 00 shows 7C beforehand; a line equal to its box is written all the same.
    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // a null one: no such file
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("boxes"); // 00 to 02
        QTest::addColumn<QString>("message"); // %1: the file's path
        const QStringList all{"00=7C", "01=05", "02=FF"};
        const QString end = "The file holds only 3 of 64 lines: the registers from 03 on were left unchanged.";
        const QString skip = end + "\nThese lines hold no byte (00 to FF) and were skipped, leaving their registers "
                                   "unchanged: line ";
        QTest::newRow("CR LF") << QByteArray("KV7106_Register2:x:7c\r\nb:05\r\nc:FF\r\n") << all << "7C|05|FF" << end;
        QTest::newRow("LF, CR, none") << QByteArray("a:7C\nb:05\rc:FF") << all << "7C|05|FF" << end;
        QTest::newRow("digits") << QByteArray("a:012\r\nb:123\r\nc:5") << QStringList{"00=12", "02=05"} << "12||5"
                                << skip + "2 (register 01).";
        QTest::newRow("no bytes") << QByteArray("a:C \r\nRed Gain (0x06):\r\n\r\n") << QStringList{} << "7C||"
                                  << skip + "1 (register 00), line 2 (register 01), line 3 (register 02).";
        QTest::newRow("none") << QByteArray() << QStringList{} << "7C||" << "Cannot read %1: No such file or directory";
        QTest::newRow("1 MiB") << QByteArray(0x100001, '7') << QStringList{} << "7C||"
                               << "Cannot load %1: the file is larger than 1 MiB.";
        QTest::newRow("NUL") << QByteArray("a:01\0", 5) << QStringList{} << "7C||"
                             << "Cannot load %1: it holds NUL bytes, so it is no register file.";
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Harness h;
        h.setText(0, QStringLiteral("7C"));
        h.port.received.clear();
        QCOMPARE(h.messages.texts(), QStringList{message.arg(run(h, false, "in.TXT", file))});
        QTEST(h.port.writes(), "writes");
        QTEST(h.text(0) + '|' + h.text(1) + '|' + h.text(2), "boxes");
    }

    // An earlier file survives a save that fails; one message for a link
    // failure episode, and Load and Save go on.
    void faults()
    {
        Harness h;
        const QString readOnly = run(h, true, "ro.TXT"), full = run(h, true, "full.TXT");
        QFile::setPermissions(readOnly, QFile::ReadOwner);
        h.setText(0x03, QStringLiteral("12"));
        run(h, true, "ro.TXT");
        const rlimit small{1000, RLIM_INFINITY}, none{RLIM_INFINITY, RLIM_INFINITY};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        run(h, true, "full.TXT");
        setrlimit(RLIMIT_FSIZE, &none);
        QCOMPARE(contents(readOnly).size() + contents(full).size(), 2 * 2699);

        h.port.holdReplies = true; // a board that does not answer
        run(h, false, "in.TXT", "a:11\r\n");
        h.port.refuseOpen = true;
        h.form->COM_SEL(1)->trigger();
        run(h, true, "full.TXT");
        QCOMPARE(h.messages.texts(), (QStringList{"Cannot save " + readOnly + ": the file is read-only.",
                                                 "Cannot save " + full + ": File too large", Texts::echo,
                                                 "The file holds only 1 of 64 lines: the registers from 01 on were "
                                                 "left unchanged.\nRegisters the board did not confirm: 1 (their "
                                                 "boxes are marked).",
                                                 Texts::cannotOpen(1, "/dev/sim1", "No such file or directory")}));
        QVERIFY(h.text(0) == QStringLiteral("11") && contents(full).contains("(0x03):12\r\n"));
    }

    // Printed over the pages, top left, then one line lower; nothing sent but the resets.
    void cancel()
    {
        Harness h;
        const QImage before = h.form->centralWidget()->grab().toImage();
        h.find<QAction>("nFileSaveRegisterAs")->trigger();
        h.find<QAction>("nFileLoadRegisterFrom")->trigger();
        const auto *printed = h.form->findChild<PrintedText *>();
        QVERIFY(h.form->centralWidget()->grab().toImage() != before && h.port.commands().isEmpty());
        QCOMPARE(printed->currentY(), 2 * printed->fontMetrics().height());
        QCOMPARE(h.commandStates() + h.fileDialog.requests.at(1).fileName, QStringLiteral("1111registers"));
    }

    // The entries as written, .txt and .TXT alike, the default suffix, asking before a file is replaced.
    void realFileDialog()
    {
        QTemporaryDir dir;
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            const auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            seen << combo->itemText(0) << combo->itemText(1) << dialog->nameFilters()
                 << (dialog->testOption(QFileDialog::DontConfirmOverwrite) ? "replaces" : "asks");
            static_cast<QDialog *>(dialog)->accept();
        });
        const FileChooser::Request request{FileChooser::Kind::Save, dir.filePath("registers"), "TXT",
                                           "Text File (*.TXT) |*.txt | All Files (*.*)|*.*|", true};
        QCOMPARE(QtFileChooser().choose(request), dir.filePath("registers.TXT"));
        QCOMPARE(seen, (QStringList{"Text File (*.TXT) ", " All Files (*.*)", "Text File (*.TXT) (*.txt *.TXT)",
                                    "All Files (*.*) (*.*)", "asks"}));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
