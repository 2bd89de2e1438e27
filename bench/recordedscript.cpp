#include "recordedscript.h"

#include "fakes.h"
#include "simport.h"

#include "app/form1.h"
#include "files/registerfile.h"
#include "link/hex.h"
#include "registers/registerboxes.h"
#include "tools/quickload.h"
#include "tools/scriptrecorder.h"
#include "tools/toolsmenu.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Every register gets a value its box does not show yet, without a leading
// zero, so no slider echo writes it again.
QString value(int address)
{
    return Hex_Digits(0xA5 ^ address, 2);
}

// A failure shows as a Quick Load that writes nothing, and so no script.
void writeRegisterFile(const QString &path)
{
    RegisterFile::Texts texts;
    for (int k = 0; k < RegisterMap::Count; ++k)
        texts.at(size_t(k)) = value(k);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(RegisterFile::format(texts));
}

} // namespace

bool recordSession(Session session, const QString &path)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        FakeClock clock;
        SimPort port;
        FakePlatform fakes;
        FakeFileChooser &fileDialog = fakes.fileDialog;
        Form1 form(fakes.platform(port, clock));
        form.Form_Load();
        ToolsMenu &tools = *form.findChild<ToolsMenu *>();
        tools.scriptRecorder().start();
        if (session == Session::QuickLoad) {
            fileDialog.answers = {dir.filePath(QStringLiteral("registers.txt"))};
            writeRegisterFile(fileDialog.answers.constFirst().value());
            tools.quickLoad().run();
        } else {
            for (int k = 0; k < RegisterMap::Count; ++k)
                form.boxes().setText(k, value(k));
        }
        fileDialog.answers = {path};
        tools.scriptRecorder().stop();
    }
    QDir::setCurrent(previous);
    return QFile::exists(path);
}
