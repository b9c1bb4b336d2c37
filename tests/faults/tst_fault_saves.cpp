#include "data/Settings.h"
#include "platform/ProgramFolder.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>

using namespace halvex;
using namespace halvex::test;

// Saves under a folder that refuses them, and texts the files cannot hold, are the scenarios
// folder-*.scn and texts-the-files-cannot-hold.scn; a process killed mid-save is not.
class TestFaultSaves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every save goes through one atomic replace: a program killed at any moment of it leaves
    // the old file or the new one, whole. (That each save uses it, the failing folders show.)
    void killedInTheMiddleOfASave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        // Large enough for a kill to land inside a write.
        const QByteArray one(400 * 1024, '\x01'), two(250 * 1024, '\x02');
        writeFileAtomically(path, one);
        QRandomGenerator random(7);
        for (int round = 0; round < 12; ++round) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int i = 1;; ++i)
                    writeFileAtomically(path, i % 2 ? two : one);
            }
            QTest::qSleep(int(random.bounded(5, 40)));
            QCOMPARE(kill(child, SIGKILL), 0);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status));
            const QByteArray now = fileBytes(path);
            QVERIFY(now == one || now == two);
        }
    }
};

QTEST_GUILESS_MAIN(TestFaultSaves)
#include "tst_fault_saves.moc"
