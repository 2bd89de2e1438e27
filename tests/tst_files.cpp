// Register files: saved bytes, Load's writes, faults, cancel, the real dialog.

#include "harness.h"
#include "texts.h"

#include "app/printedtext.h"
#include "files/registerfile.h"
#include "files/registerfiles.h"
#include "platform/qtfilechooser.h"

#include <QtTest>
#include <QtWidgets>

#include <iterator>

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
    if (!bytes.isNull() && file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        file.write(bytes);
    h.fileDialog.answers.append(file.fileName());
    h.find<QAction>(save ? "nFileSaveRegisterAs" : "nFileLoadRegisterFrom")->trigger();
    return file.fileName();
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    // Saved after Read All, loaded back and saved again; then an earlier file survives a
    // save that fails, one message for a link failure episode, and Load and Save go on.
    void saveLoadAndFaults()
    {
        Harness h;
        h.click("ReadAllRegisters");
        h.setText(0x06, QStringLiteral("5"));
        QSignalSpy progress(h.form->findChild<RegisterFiles *>(), &RegisterFiles::progress);
        const QString saved = run(h, true, "saved.TXT");
        const QByteArray bytes = contents(saved);
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(bytes.size() + bytes.count("\r\n") + lines.size(), 2804 + 64 + 65);
        QCOMPARE(lines.at(0) + lines.at(6) + lines.at(64),
                 "KV7106_Register0: ID and REVISION (00h) :71\rKV7106_Register6:Red Gain (0x06):5\r");
        QCOMPARE((QVariantList{progress.at(1).at(0), progress.at(63).at(0), progress.at(64).at(0), progress.size()}),
                 (QVariantList{100 / 63.0, 100.0, 0.0, 65}));

        // Loaded back: every register in address order, 0x11's slider echo ("08" shown as "8")
        // once more; Save and Load chosen meanwhile are ignored; the dialog proposed the last path.
        h.setText(0x11, QStringLiteral("20"));
        h.port.holdReplies = true;
        h.clock.onWait = [&] {
            h.port.release();
            run(h, true, "x");
            run(h, false, "x");
        };
        run(h, false, "saved.TXT");
        QStringList expected;
        for (int a = 0; a < 64; ++a)
            expected << QString::asprintf("%02X=%02X", a, a == 0x06 ? 5 : sim::BoardCore::powerOnValue(a));
        expected.insert(0x12, "11=08");
        QCOMPARE(h.port.writes().mid(2), expected); // after those of 06 and 11
        QCOMPARE(h.fileDialog.requests.last().fileName + h.text(0x11), saved + "8");
        h.clock.onWait = [&] { h.port.release(); };
        h.fileDialog.answers.clear();
        const QString again = run(h, true, "again.TXT");

        QFile::setPermissions(saved, QFile::ReadOwner);
        run(h, true, "saved.TXT");
        limitFileSize(1000);
        run(h, true, "again.TXT");
        limitFileSize(-1);
        QCOMPARE(contents(saved) + contents(again), bytes + QByteArray(bytes).replace("(0x11):08", "(0x11):8"));
        h.clock.onWait = nullptr; // a board that does not answer
        run(h, false, "in.TXT", "a:11\r\n");
        h.port.refuseOpen = true;
        h.form->ports().COM_SEL(1)->trigger();
        run(h, true, "again.TXT");
        QCOMPARE(h.messages.texts().join('|'),
                 "Cannot save " + saved + ": the file is read-only.|Cannot save " + again + ": File too large|"
                     + Texts::echo
                     + "|The file holds only 1 of 64 lines: the registers from 01 on were left unchanged.|"
                     + Texts::cannotOpen(1, "/dev/sim1", "No such file or directory"));
        QVERIFY(contents(again).startsWith("KV7106_Register0: ID and REVISION (00h) :11\r\n"));
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // lines end at LF, CR, CR LF or nothing, load by position
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("boxes"); // 00, 01, 05
        QTest::addColumn<QString>("message"); // %1: the file's path
        const auto row = [](const char *name, const QByteArray &file, const QStringList &writes, const char *boxes,
                            const QString &message) {
            QTest::newRow(name) << file << writes << QString(boxes) << message;
        };
        row("lines", "KV7106_Register2:7c\nb:123\rc:C \r\nRed Gain (0x06):\r\n\r\na:012", {"00=7C", "05=12"}, "7C||12",
            "The file holds only 6 of 64 lines: the registers from 06 on were left unchanged.\nThese lines hold no "
            "byte (00 to FF) and were skipped, leaving their registers unchanged: line 2 (register 01), line 3 "
            "(register 02), line 4 (register 03), line 5 (register 04).");
        row("1 MiB", QByteArray(0x100001, '7'), {}, "7C||  ", "Cannot load %1: the file is larger than 1 MiB.");
        row("NUL", QByteArray("\0", 1), {}, "7C||  ", "Cannot load %1: it holds NUL bytes, so it is no register file.");
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Harness h;
        h.setText(0, QStringLiteral("7C")); // a line equal to its box is written all the same
        QCOMPARE(h.messages.texts(), QStringList{message.replace("%1", run(h, false, "in.TXT", file))});
        QTEST(h.port.writes().mid(1), "writes");
        QTEST(h.text(0) + '|' + h.text(1) + '|' + h.text(5), "boxes");
    }

    // Cancels printed over the pages, top left, then a line lower; nothing sent. The request in the
    // real dialog: the entries as written, .txt and .TXT alike, the default suffix, asking to replace.
    void cancelAndRealDialog()
    {
        Harness h;
        const QImage before = h.form->centralWidget()->grab().toImage();
        h.find<QAction>("nFileSaveRegisterAs")->trigger();
        h.find<QAction>("nFileLoadRegisterFrom")->trigger();
        QVERIFY(h.form->centralWidget()->grab().toImage() != before && h.port.commands().isEmpty());
        QCOMPARE(h.form->findChild<PrintedText *>()->currentY(), 2 * h.form->fontMetrics().height());
        QCOMPARE(h.commandStates() + h.fileDialog.requests.at(1).fileName, QStringLiteral("1111registers"));
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            const auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            seen << combo->itemText(0) << combo->itemText(1) << dialog->nameFilters()
                 << (dialog->testOption(QFileDialog::DontConfirmOverwrite) ? "replaces" : "asks");
            static_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(QtFileChooser().choose(h.fileDialog.requests.at(0)), h.dir.filePath("registers.TXT"));
        QCOMPARE(seen,
                 (QStringList{"Text File (*.TXT) ", " All Files (*.*)", "Text File (*.TXT) (*.txt *.TXT)",
                              "All Files (*.*) (*.*)", "asks"}));
    }

    // Thousands of generated files (short, long, binary, empty, any line
    // ends, very long lines): the lines lose nothing but their ends, and a
    // value loaded is a byte taken from the end of its line.
    void randomFiles()
    {
        QRandomGenerator random(1971);
        // clang-format off
        const QByteArray pieces[] = {"KV7106_Register5:Input Config (0x05):", "7c", "0A", ":", " ", "\r\n", "\n", "\r",
                                     "\x00\xff", "123", "G", QByteArray(3000, 'F')};
        // clang-format on
        for (int i = 0; i < 3000; ++i) {
            QByteArray bytes;
            for (int n = random.bounded(i % 100 == 0 ? 400 : 12); n > 0; --n)
                bytes += pieces[random.bounded(int(std::size(pieces)))];
            const QStringList lines = RegisterFile::lines(bytes);
            QByteArray kept = bytes;
            kept.replace("\r\n", "").replace('\r', "").replace('\n', "");
            QCOMPARE(lines.join(QString()), QString::fromLatin1(kept));
            for (const QString &line : lines) {
                const std::optional<QString> value = RegisterFile::valueOf(line);
                QVERIFY(!value || (RegisterMap::textToByte(*value) && line.toUpper().endsWith(*value)));
            }
            if (i % 300 != 0)
                continue;
            // Loaded into the window: only byte writes, every box as its line says or as it was.
            Harness h;
            run(h, false, "random.txt", bytes);
            for (const QString &command : h.port.commands())
                QVERIFY(QRegularExpression("^W0x00[0-3][0-9A-F] 0x1 0x[0-9A-F]{2} $").match(command).hasMatch());
            for (int k = 0; k < 64; ++k) {
                const std::optional<QString> value = RegisterFile::valueOf(lines.value(k));
                QCOMPARE(RegisterMap::textToByte(h.text(k)),
                         k < lines.size() && value ? RegisterMap::textToByte(*value)
                                                   : RegisterMap::textToByte(k >= 5 && k <= 15 ? "  " : ""));
            }
        }
    }
    // The boxes are saved as shown; the line says how many of them the board did not confirm.
    void saveOfUnreadBoxesSaysHowMany()
    {
        Harness h({sim::BoardOptions::Fault::StopEchoAfter, 3 + 13 + 6});
        h.click("ReadAllRegisters"); // the first block only
        const QString path = run(h, true, "saved.TXT");
        QCOMPARE(contents(path).count("\r\n"), 64);
        QCOMPARE(h.status(),
                 "Saved the 64 registers to " + path
                     + ". The board did not confirm 48 of these values (their boxes are marked).");
    }

    // The link failure has its one message; the count of unconfirmed writes goes to the status line.
    void loadOnASilentBoardCountsInTheStatusLine()
    {
        Harness h({sim::BoardOptions::Fault::Silent, 0});
        const QString path = run(h, false, "in.TXT", QByteArray(":7C\r\n").repeated(64));
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(h.status(),
                 "Loaded " + path
                     + ": 0 of 64 registers written. The board did not confirm 64 (their boxes are marked).");
    }

    void loadWithoutAPortSaysSo()
    {
        Harness h;
        h.port.refuseOpen = true;
        const QString path = run(h, false, "in.TXT", QByteArray(":7C\r\n").repeated(64));
        QCOMPARE(h.status(),
                 "Loaded " + path
                     + ": 0 of 64 registers written. 64 not written: the port could not be opened (their "
                       "boxes are marked).");
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
