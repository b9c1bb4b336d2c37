#include "data/MasterList.h"
#include "periphery/Password.h"
#include "race/Credits.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

using B = QByteArray;
using L = QStringList;

// The data files of an installed program with a coin box, each in its normal form.
const QList<std::pair<QString, B>> kInstalled = {
    {kSettingsFileName, B()}, // written by the rig
    {kWindowStateFileName, B()},
    {kCreditsFileName, "12345\r\n"},
    {kRacersFileName, "\"Bob Diaz\"\r\n\"Carla\"\r\n"},
    {kCarsFileName, "\"Red Comet\"\r\n\"Blue\"\r\n"},
    {kClassesFileName, "\"Stock\"\r\n\"Modified\"\r\n"},
    {kPasswordFileName, "\"secret\"\r\n"},
};

enum class Damage
{
    Missing,
    Empty,
    CutInAField,
    Garbage,
    HugeLine,
    Unreadable
};

B damaged(const B& whole, Damage damage)
{
    switch (damage) {
    case Damage::Empty:
        return "";
    case Damage::CutInAField: {
        // In the middle of the first quoted text, or of the first number when there is none.
        const qsizetype quote = whole.indexOf('"');
        return whole.left(quote >= 0 ? quote + 4 : 3);
    }
    case Damage::Garbage:
        return B("\x00\xff\"\x01,,\x80\r\xfe#TR\n\x7f-.-", 17) + B(200, '\xe9');
    case Damage::HugeLine:
        return B(10 * 1024 * 1024, '7') + "\r\n";
    case Damage::Missing:
    case Damage::Unreadable:
        break;
    }
    return B();
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestFaultDataFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aDamagedFileIsReportedAndNothingElseIsLost_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<L>("messages");
        const QString pastEnd = QStringLiteral("Input past end of file");
        const QString notFound = QStringLiteral("File not found: %1");
        const QString directory = QStringLiteral("Cannot open %1: file to open is a directory");
        const QString notText = QStringLiteral("Type mismatch in %1: field 1 is not text");
        const struct
        {
            const char* name;
            Damage damage;
        } damages[] = {{"missing", Damage::Missing},     {"empty", Damage::Empty},
                       {"cut", Damage::CutInAField},     {"garbage", Damage::Garbage},
                       {"10 MB line", Damage::HugeLine}, {"unreadable", Damage::Unreadable}};
        for (const auto& [file, bytes] : kInstalled) {
            for (const auto& d : damages) {
                const bool gone = d.damage == Damage::Missing || d.damage == Damage::Unreadable;
                const QString opening =
                    (d.damage == Damage::Missing ? notFound : directory).arg(file);
                // The saved tree's zero handicap goes out once the port is open: no message.
                L messages;
                if (file == kSettingsFileName) {
                    // Reading from a file that never opened fails in its turn.
                    const QString notOpenFile =
                        QStringLiteral("Bad file name or number: %1 is not open").arg(file);
                    const QString mismatch =
                        QStringLiteral("Type mismatch in %1: field 1 is not a number").arg(file);
                    messages = (gone                           ? L{opening, notOpenFile}
                                : d.damage == Damage::HugeLine ? L{QStringLiteral("Overflow")}
                                : d.damage == Damage::Garbage  ? L{mismatch}
                                                               : L{pastEnd}) +
                               messages;
                } else if (file == kRacersFileName || file == kCarsFileName ||
                           file == kClassesFileName) {
                    // Names of control characters are not names: the file is reported.
                    if (gone)
                        messages = L{opening};
                    else if (d.damage == Damage::Garbage)
                        messages = L{notText.arg(file)};
                } else if (file == kPasswordFileName) {
                    if (gone || d.damage == Damage::Empty)
                        messages.append(gone ? opening : pastEnd);
                    else if (d.damage == Damage::Garbage)
                        messages.append(notText.arg(file));
                } else if (file == kWindowStateFileName) {
                    // Re-applying the setup stops silently.
                    messages.clear();
                }
                // The credits are read while the setup is re-applied, which stays silent.
                QTest::addRow("%s %s", qPrintable(file), d.name) << file << d.damage << messages;
            }
        }
    }

    void aDamagedFileIsReportedAndNothingElseIsLost()
    {
        QFETCH(QString, file);
        QFETCH(Damage, damage);
        QFETCH(L, messages);
        WindowRig rig;
        rig.settings.CoinBoxInstalled = 1;
        rig.writeSettings();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        for (const auto& [name, bytes] : kInstalled) {
            if (!bytes.isNull())
                rig.writeFile(name, bytes);
        }
        const QString path = rig.dir.filePath(file);
        const B whole = fileBytes(path);
        QFile::remove(path);
        if (damage == Damage::Unreadable)
            QVERIFY(QDir().mkdir(path));
        else if (damage != Damage::Missing)
            rig.writeFile(file, damaged(whole, damage));
        QMap<QString, B> before;
        for (const auto& entry : kInstalled)
            before[entry.first] = fileBytes(rig.dir.filePath(entry.first));

        frmDragRacing& w = rig.start();
        Password password{ProgramFolder(rig.folder())};
        password.reload(rig.prompter);
        w.mnuExit->trigger();
        QCOMPARE(rig.prompter.texts(), messages);

        for (const auto& entry : kInstalled) {
            const QString entryPath = rig.dir.filePath(entry.first);
            const B now = fileBytes(entryPath);
            if (entry.first == kCreditsFileName && damage == Damage::Missing && entryPath == path) {
                // A coin box without its file gets one that holds no credits.
                QCOMPARE(now, B("0\r\n"));
                continue;
            }
            if (entry.first != kWindowStateFileName || QFileInfo(entryPath).isDir()) {
                QCOMPARE(now, before[entry.first]);
                continue;
            }
            // The window state is written whole on the way out, and reads back whole.
            WindowStateRecord state;
            readWindowState(now, state);
            QCOMPARE(windowStateLine(state), now);
        }
    }
};

QTEST_MAIN(TestFaultDataFiles)
#include "tst_fault_data_files.moc"
