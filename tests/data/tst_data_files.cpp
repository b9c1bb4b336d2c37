#include "data/Cp1252.h"
#include "data/DelimitedText.h"
#include "data/DragSettings.h"
#include "data/MasterList.h"
#include "data/MasterListEditor.h"
#include "data/Numbers.h"
#include "platform/Failure.h"
#include "platform/ProgramFolder.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <csignal>
#include <sys/wait.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const DragSettings kSample{.ProTreeCountdown = .4f,
                           .ProTreeCommPortIndex = 2,
                           .TrackName = QStringLiteral("Raceway, North"),
                           .SpeedTrapDistance = 100,
                           .TrackLength = QStringLiteral("66 ft"),
                           .SpeedMultiplier = -.25f,
                           .InterSensorDistance = {{{}, "10 ft", "20 ft", "12 in"}},
                           .CoinBoxInstalled = 1,
                           .CreditsPerCoinIndex = 4,
                           .LedDisplayCommPortIndex = 3,
                           .Metric = true,
                           .RandomStartMin = 2,
                           .RandomStartMaxIndex = -1,
                           .NumberOfSensors = 2,
                           .PreStageStage = true,
                           .InvertSignal = 1,
                           .CopiesIndex = 1};

const QByteArray kSampleLine = ".4,2,\"Raceway, North\",100,\"66 ft\",-.25,\"10 ft\",\"20 ft\","
                               "\"12 in\",1,4,0,3,#TRUE#,2,-1,2,#TRUE#,1,1,#FALSE#\r\n";

} // namespace

// The delimited text of the data files, its code page and numbers, the settings file in it, the
// master lists as their editor changes them, and a save killed midway.
class TestDataFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir settingsDir;
    QString settingsPath() const { return settingsDir.filePath(kSettingsFileName); }

private Q_SLOTS:
    void writerBytes()
    {
        DelimitedWriter out;
        // Singles in their shortest form: seven significant digits, no zero before the point;
        // texts in the code page, "?" for what it cannot hold.
        out.single(0).single(100).single(-.25f).single(1.0f / 3).single(-2.0f / 3);
        out.single(123456.7f).single(1e7f).boolean(true).boolean(false).endLine();
        out.text(QStringLiteral("Smith, John")).integer(-7).integer(0).text(QString()).endLine();
        out.text(QStringLiteral("  blanks kept  ")).text(QStringLiteral("Zoë € 张")).endLine();
        QCOMPARE(out.bytes(),
                 QByteArray("0,100,-.25,.3333333,-.6666667,123456.7,1E+07,#TRUE#,#FALSE#\r\n"
                            "\"Smith, John\",-7,0,\"\"\r\n"
                            "\"  blanks kept  \",\"Zo\xEB \x80 ?\"\r\n"));
    }

    void readerFields()
    {
        DelimitedReader in("  12 , .5,-0.25,\"a, b\" ,  bare text  ,#TRUE#\r\n"
                           "0.4\n"
                           "#FALSE#,\"  kept  \"\r\n"
                           "\"unclosed");
        QCOMPARE(in.integer16(), qint16(12));
        QCOMPARE(in.single(), .5f);
        QCOMPARE(in.single(), -.25f);
        QCOMPARE(in.text(), QStringLiteral("a, b"));
        QCOMPARE(in.text(), QStringLiteral("bare text"));
        QCOMPARE(in.boolean(), true);
        QCOMPARE(in.single(), .4f);
        QCOMPARE(in.boolean(), false);
        QCOMPARE(in.text(), QStringLiteral("  kept  "));
        QCOMPARE(in.text(), QStringLiteral("unclosed"));
        QVERIFY(in.atEnd());
        const Failure past = failureOf([&] { in.text(); });
        QCOMPARE(past.code(), int(Failure::InputPastEnd));
        QCOMPARE(past.description(), QStringLiteral("Input past end of file"));

        // Integers round halves to even.
        DelimitedReader whole("2.5,3.5,-1.5,#TRUE#,40000");
        QCOMPARE(whole.integer16(), qint16(2));
        QCOMPARE(whole.integer16(), qint16(4));
        QCOMPARE(whole.integer32(), -2);
        QCOMPARE(whole.integer16(), qint16(-1));
        QCOMPARE(failureOf([&] { whole.integer16(); }).code(), int(Failure::Overflow)); // 40000
    }

    void cp1252()
    {
        // Characters outside the code page are written as "?"; its five undefined bytes survive.
        QCOMPARE(toCp1252(QStringLiteral("Müller – € 张")), QByteArray("M\xFCller \x96 \x80 ?"));
        QCOMPARE(toCp1252(QStringLiteral("a😀b")), QByteArray("a?b"));
        QCOMPARE(fromCp1252("M\xFCller \x96 \x80"), QStringLiteral("Müller – €"));
        const QByteArray undefined = "\x81\x8D\x8F\x90\x9D";
        QCOMPARE(toCp1252(fromCp1252(undefined)), undefined);
        // Texts that would come back changed are found before they are written.
        QCOMPARE(firstUnstorable(QStringLiteral("Müller – €?\u0081")), QString());
        QCOMPARE(firstUnstorable(QStringLiteral("pw😀张")), QStringLiteral("😀"));
        QCOMPARE(firstUnstorable(QString(QChar(0xD800)) + u'x'), QString(QChar(0xD800)));
        QCOMPARE(unstorableMessage(QStringLiteral("張")),
                 QStringLiteral("The character \"張\" (U+5F35) cannot be stored in the program's "
                                "files.\r\nPlease type the text without it."));
    }

    // The numeric test and the leading number; a number field reads only a whole number (or an
    // empty field, as 0), any other is a damaged file.
    void numbers_data() { addTableRows(QFINDTESTDATA("number-fields.tsv"), 5); }
    void numbers()
    {
        QFETCH(QStringList, row);
        const QString text = row[1];
        const bool numeric = row[2] == u"true";
        bool ok[2] = {};
        const double leading = row[3].toDouble(&ok[0]);
        const float read = row[4].toFloat(&ok[1]);
        QVERIFY(ok[0] && ok[1] && (numeric || row[2] == u"false"));
        QCOMPARE(isNumeric(text), numeric);
        QCOMPARE(std::bit_cast<quint64>(leadingNumber(text)), std::bit_cast<quint64>(leading));
        DelimitedReader in("7," + text.toLatin1() + ",8", QStringLiteral("DragRacing.dat"));
        in.text();
        if (numeric || text.isEmpty()) {
            QCOMPARE(bits(in.single()), bits(read));
            return;
        }
        const Failure failure = failureOf([&] { in.single(); });
        QCOMPARE(failure.code(), int(Failure::TypeMismatch));
        QCOMPARE(failure.description(),
                 QStringLiteral("Type mismatch in DragRacing.dat: field 2 is not a number"));
    }

    // The settings file written and read back field for field.
    void settingsFile()
    {
        writeSettingsFile(settingsPath(), kSample);
        QCOMPARE(fileBytes(settingsPath()), kSampleLine);
        DragSettings back;
        QCOMPARE(readSettingsFile(settingsPath(), back), QStringList());
        QCOMPARE(back, kSample);

        // A failed read keeps the fields it does not reach.
        DragSettings s = kSample;
        QCOMPARE(readSettingsFile(settingsDir.filePath(QStringLiteral("none.dat")), s),
                 QStringList({"File not found: none.dat",
                              "Bad file name or number: none.dat is not open"}));
        QCOMPARE(s, kSample);
        writeFile(settingsPath(), "0.6,1,\"Strip\",12\n");
        QCOMPARE(readSettingsFile(settingsPath(), s), QStringList{"Input past end of file"});
        DragSettings expected = kSample;
        expected.ProTreeCountdown = .6f;
        expected.ProTreeCommPortIndex = 1;
        expected.TrackName = QStringLiteral("Strip");
        expected.SpeedTrapDistance = 12;
        QCOMPARE(s, expected);

        // The distances are kept in one spelling.
        QCOMPARE(normaliseDistanceText(QStringLiteral("  66' ")), QStringLiteral("66 ft"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("5'6\"")), QStringLiteral("5 ft6 in"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("   ")), QString());
    }

    // Every save goes through one atomic replace: a program killed at any moment of it leaves
    // the old file or the new one, whole. (That each save uses it, the failing folders show:
    // folder-*.scn and texts-the-files-cannot-hold.scn.)
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

    // One edit of the racer list a row of racer-list-edits.tsv.
    void editsTheRacerList_data() { addTableRows(QFINDTESTDATA("racer-list-edits.tsv"), 8); }
    void editsTheRacerList()
    {
        QFETCH(QStringList, row);
        const auto list = [](const QString& field) {
            return field.split(u'|', Qt::SkipEmptyParts);
        };
        // An empty field is an empty file, there to be read.
        const QByteArray file =
            row[1] == u"<none>" ? QByteArray() : QByteArray("") + row[1].toLatin1();
        const QStringList steps = list(row[2]);
        QTemporaryDir dir;
        const QString lists = dir.filePath(QStringLiteral("lists"));
        const QString path = lists + QStringLiteral("/dragracers.DAT");
        QVERIFY(QDir().mkpath(file == "<dir>" ? path : lists));
        if (!file.isNull() && file != "<dir>")
            writeFile(path, file);
        ScriptedPrompter prompter;
        const ProgramFolder folder(lists);
        MasterListEditor editor(MasterListKind::Racers, prompter, folder);
        editor.open();
        for (const QString& step : std::as_const(steps)) {
            const qsizetype space = step.indexOf(u' ');
            const QString op = step.left(space);
            if (op == u"select")
                editor.select(step.mid(space + 1).toInt());
            else if (op == u"unplug")
                QVERIFY(QDir(lists).removeRecursively());
            else if (space > 0)
                prompter.inputAnswers.enqueue(step.mid(space + 1));
            if (op == u"add")
                editor.add();
            else if (op == u"modify")
                editor.modify();
            else if (op == u"remove")
                editor.remove();
        }
        // Entries may be empty names: only an empty field is no entry.
        QCOMPARE(editor.entries(), row[3].isEmpty() ? QStringList() : row[3].split(u'|'));
        QCOMPARE(QString::number(editor.selected()), row[4]);
        QCOMPARE(editor.countText(),
                 row[5] == u"-1" ? QString() : QStringLiteral("Total number of Racers: ") + row[5]);
        QCOMPARE(fileBytes(folder.path(kRacersFileName)), row[6].toLatin1());
        QCOMPARE(prompter.texts(), list(row[7]));
        QVERIFY(prompter.inputAnswers.isEmpty());
        QVERIFY(QDir(lists).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() <= 1);
    }
    // One kind of list a row of list-kinds.tsv.
    void eachKindEditsItsOwnFile_data() { addTableRows(QFINDTESTDATA("list-kinds.tsv"), 4); }
    void eachKindEditsItsOwnFile()
    {
        QFETCH(QStringList, row);
        const QStringList kinds{"Racers", "Cars", "Classes"};
        QVERIFY(kinds.contains(row[0]));
        const auto kind = MasterListKind(kinds.indexOf(row[0]));
        const QStringList names = row.mid(1); // the file, an entry, the entries
        QTemporaryDir dir;
        const QString path = dir.filePath(names[0].toUpper());
        writeFile(path, "\"Beta\"\r\n");
        ScriptedPrompter prompter;
        prompter.inputAnswers << QStringLiteral("Beta") << QStringLiteral("gamma");
        MasterListEditor editor(kind, prompter, ProgramFolder(dir.path()));
        editor.open();
        editor.add();
        editor.select(0);
        editor.modify();
        QCOMPARE(prompter.texts(), QStringList{names[1] + QStringLiteral(" already exists")});
        QStringList asked;
        for (const InputBox& box : std::as_const(prompter.inputs))
            asked.append(box.title + u'|' + box.prompt + u'|' + box.defaultText);
        QCOMPARE(asked,
                 QStringList({QStringLiteral("Add %1|Enter new %1 name|").arg(names[1]),
                              QStringLiteral("Modify %1|Modify %1 name|Beta").arg(names[1])}));
        QCOMPARE(editor.countText(), QStringLiteral("Total number of %1: 1").arg(names[2]));
        QCOMPARE(fileBytes(path), QByteArray("\"Gamma\"\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_data_files.moc"
