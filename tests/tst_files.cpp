#include "harness.h"
#include "texts.h"

#include "app/printedtext.h"
#include "app/progressbar.h"
#include "files/registerfiles.h"
#include "platform/qtfilechooser.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <sys/fsuid.h>
#include <unistd.h>
#endif

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
    return QDir::toNativeSeparators(file.fileName());
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesEachBoxAsShownOnACrLfLine()
    {
        Harness h;
        h.click("ReadAllRegisters");
        h.setText(0x06, "5");
        const QByteArray bytes = contents(run(h, true, "saved.TXT"));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 65);
        QCOMPARE(lines.at(0), "KV7106_Register0: ID and REVISION (00h) :71\r");
        QCOMPARE(lines.at(6), "KV7106_Register6:Red Gain (0x06):5\r");
        QCOMPARE(lines.at(63), "KV7106_Register63:INTERNAL PNUM0 (3Fh) :00\r");
    }

    void saveAndLoadShowProgressAfterEachLineAndZeroAtTheEnd_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("save") << true;
        QTest::newRow("load") << false;
    }

    void saveAndLoadShowProgressAfterEachLineAndZeroAtTheEnd()
    {
        QFETCH(bool, save);
        Harness h;
        QList<double> shown;
        auto *bar = h.find<ProgressBar>("ProgressBar1");
        connect(bar, &QProgressBar::valueChanged, this, [&] { shown.append(bar->percent()); });
        run(h, save, "saved.TXT", save ? QByteArray() : QByteArray(":7C\r\n").repeated(64));
        QCOMPARE(shown.size(), 64); // from 0: lines 1 to 63, then 0
        QCOMPARE(shown.at(0), 1.6);
        QCOMPARE(shown.at(62), 100.0);
        QCOMPARE(bar->percent(), 0.0);
    }

    void loadWritesEveryLineInAddressOrder()
    {
        Harness h;
        h.click("ReadAllRegisters");
        h.setText(0x06, "5");
        run(h, true, "saved.TXT");
        h.setText(0x11, "20");
        const qsizetype before = h.port.writes().size();
        run(h, false, "saved.TXT");
        QStringList expected;
        for (int a = 0; a < 64; ++a)
            expected << QString::asprintf("%02X=%02X", a, a == 0x06 ? 5 : sim::BoardCore::powerOnValue(a));
        expected.insert(0x12, "11=08"); // 0x11's slider echoes "08" shown as "8"
        QCOMPARE(h.port.writes().mid(before), expected);
        QCOMPARE(h.text(0x11), "8");
    }

    void theDialogProposesThePathChosenLast()
    {
        Harness h;
        const QString saved = run(h, true, "saved.TXT");
        h.find<QAction>("nFileLoadRegisterFrom")->trigger();
        QCOMPARE(QDir::toNativeSeparators(h.fileDialog.requests.at(1).fileName), saved);
    }

    void aFailedSaveLeavesTheEarlierFile_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("why");
        QTest::newRow("read-only") << true << "the file is read-only.";
#ifdef Q_OS_UNIX // a POSIX file size limit
        QTest::newRow("full") << false << "File too large";
#endif
    }

    void aFailedSaveLeavesTheEarlierFile()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, why);
        Harness h;
        const QString path = run(h, true, "saved.TXT");
        const QByteArray before = contents(path);
        QFile::setPermissions(path, readOnly ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
        h.setText(0x03, "12");
#ifdef Q_OS_UNIX
        limitFileSize(readOnly ? -1 : 1000);
#endif
        run(h, true, "saved.TXT");
#ifdef Q_OS_UNIX
        limitFileSize(-1);
#endif
        QCOMPARE(h.messages.texts(), QStringList{"Cannot save " + path + ": " + why});
        QCOMPARE(contents(path), before);
    }

#ifdef Q_OS_UNIX // a folder that refuses new files, and file-system user ids
    void saveWhereTheFolderRefusesNewFilesWritesTheFileInPlace()
    {
        Harness h;
        const QString path = run(h, true, "saved.TXT");
        QFile::setPermissions(path,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                  | QFile::ReadOther | QFile::WriteOther);
        h.setText(0x03, "12");
        QFile::setPermissions(h.dir.path(),
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                  | QFile::ExeOther);
        ::setfsuid(::geteuid() == 0 ? 65534 : ::geteuid()); // root takes a user's rights for files
        run(h, true, "saved.TXT");
        ::setfsuid(::geteuid());
        QFile::setPermissions(h.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(h.messages.texts(), QStringList());
        QVERIFY(contents(path).contains("\r\nKV7106_Register3:HSYNC Slicer (0x03):12\r\n"));
    }
#endif

    void saveGoesOnWhenThePortDoesNotOpen()
    {
        Harness h;
        h.port.refuseOpen = true;
        const QString path = run(h, true, "saved.TXT");
        QCOMPARE(h.messages.texts(), QStringList{Texts::sim1Refused});
        QVERIFY(contents(path).startsWith("KV7106_Register0: ID and REVISION (00h) :\r\n"));
    }

#ifdef Q_OS_UNIX // FIFOs
    void saveIntoAFifoWritesIntoItAndLeavesItAFifo()
    {
        Harness h;
        Fifo fifo(h.dir.filePath("fifo"));
        run(h, true, "fifo");
        QCOMPARE(fifo.take(), contents(run(h, true, "regular.TXT")));
        QVERIFY(fifo.isFifo());
    }

    void saveIntoAFifoThatNoProgramReadsSaysSoAtOnce()
    {
        Harness h;
        const Fifo fifo(h.dir.filePath("fifo"), false);
        QCOMPARE(h.messages.texts(), QStringList{"Cannot save " + run(h, true, "fifo") + ": no program reads it."});
    }

    void loadRefusesAFifo()
    {
        Harness h;
        const Fifo fifo(h.dir.filePath("fifo"));
        QCOMPARE(h.messages.texts(),
                 QStringList{"Cannot load " + run(h, false, "fifo") + ": it is not a regular file."});
        QCOMPARE(h.port.writes(), QStringList{});
    }
#endif

    void saveProposesRegistersTxtAndAddsTxt()
    {
        Harness h;
        h.find<QAction>("nFileSaveRegisterAs")->trigger();
        QCOMPARE(h.fileDialog.requests.at(0).fileName, "registers.txt");
        QCOMPARE(h.fileDialog.requests.at(0).defaultSuffix, "txt");
    }

    void loadTakesLinesByPositionAndRefusesWhatIsNoRegisterFile_data()
    {
        QTest::addColumn<QByteArray>("file"); // lines end at LF, CR, CR LF or nothing, load by position
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QStringList>("boxes"); // 00, 01, 05
        QTest::addColumn<QString>("message"); // %1: the file's path
        const auto row = [](const char *name, const QByteArray &file, const QStringList &writes,
                            const QStringList &boxes,
                            const QString &message) { QTest::newRow(name) << file << writes << boxes << message; };
        row("lines", "KV7106_Register2:7c\nb:123\rc:C \r\nRed Gain (0x06):\r\n\r\na:012", {"00=7C", "05=12"},
            {"7C", "", "12"},
            "The file holds only 6 of 64 lines: the registers from 06 on were left unchanged.\nThese lines hold no "
            "byte (00 to FF) and were skipped, leaving their registers unchanged: line 2 (register 01), line 3 "
            "(register 02), line 4 (register 03), line 5 (register 04).");
        row("1 MiB", QByteArray(0x100000 - 3, 'x') + ":7D", {"00=7D"}, {"7D", "", "  "},
            "The file holds only 1 of 64 lines: the registers from 01 on were left unchanged.");
        row("1 MiB and 1", QByteArray(0x100001, '7'), {}, {"7C", "", "  "},
            "Cannot load %1: the file is larger than 1 MiB.");
        row("NUL", QByteArray("\0", 1), {}, {"7C", "", "  "},
            "Cannot load %1: it holds NUL bytes, so it is no register file.");
    }

    void loadTakesLinesByPositionAndRefusesWhatIsNoRegisterFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Harness h;
        h.setText(0, QStringLiteral("7C")); // a line equal to its box is written all the same
        QCOMPARE(h.messages.texts(), QStringList{message.replace("%1", run(h, false, "in.TXT", file))});
        QTEST(h.port.writes().mid(1), "writes");
        QTEST((QStringList{h.text(0), h.text(1), h.text(5)}), "boxes");
    }

    void cancelledDialogsPrintALineEachAndSendNothing()
    {
        Harness h;
        h.find<QAction>("nFileSaveRegisterAs")->trigger();
        h.find<QAction>("nFileLoadRegisterFrom")->trigger();
        QCOMPARE(h.form->findChild<PrintedText *>()->currentY(), 2 * h.form->fontMetrics().height());
        QCOMPARE(h.port.commands(), QStringList{});
        QCOMPARE(h.commandStates(), "1111");
    }

    void theRealDialogTakesTheRequestAsWritten()
    {
        Harness h;
        h.find<QAction>("nFileSaveRegisterAs")->trigger();
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            const auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            seen << combo->itemText(0) << combo->itemText(1) << dialog->nameFilters()
                 << (dialog->testOption(QFileDialog::DontConfirmOverwrite) ? "replaces" : "asks");
            static_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(QtFileChooser().choose(h.fileDialog.requests.at(0)), h.dir.filePath("registers.txt"));
        QCOMPARE(seen,
                 (QStringList{"Text File (*.TXT) ", " All Files (*.*)", "Text File (*.TXT) (*.txt *.TXT)",
                              "All Files (*.*) (*.*)", "asks"}));
    }

    void saveOfUnreadBoxesSaysHowMany()
    {
        Harness h({sim::BoardOptions::Fault::StopEchoAfter, 3 + 13 + 6});
        h.click("ReadAllRegisters"); // the first block only
        const QString path = run(h, true, "saved.TXT");
        QCOMPARE(h.status(),
                 "Saved the 64 registers to " + path
                     + ". The board did not confirm 48 of these values (their boxes are marked).");
    }

    void loadOnAFailedLinkCountsInTheStatusLine_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("why");
        QTest::newRow("silent") << true << QStringList{Texts::echo} << "The board did not confirm 64";
        QTest::newRow("no port") << false << QStringList{Texts::sim1Refused}
                                 << "64 not written: the port could not be opened";
    }

    void loadOnAFailedLinkCountsInTheStatusLine()
    {
        QFETCH(bool, silent);
        QFETCH(QString, why);
        Harness h({silent ? sim::BoardOptions::Fault::Silent : sim::BoardOptions::Fault::None, 0});
        h.port.refuseOpen = !silent;
        const QString path = run(h, false, "in.TXT", QByteArray(":7C\r\n").repeated(64));
        QTEST(h.messages.texts(), "messages");
        QCOMPARE(h.status(), "Loaded " + path + ": 0 of 64 registers written. " + why + " (their boxes are marked).");
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
