#include "data/MasterList.h"
#include "data/MasterListEditor.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

Q_DECLARE_METATYPE(halvex::MasterListKind)

namespace {

const QString kQuote = QStringLiteral("A name cannot contain a double quote (\").");

} // namespace

class TestMasterListEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The racer list opened from "dragracers.DAT" (missing when null, a folder when "<dir>"),
    // then each step: "select <row>", "add"/"modify" answered with the rest of the step
    // (cancelled when there is none), "remove", or "unplug" to lose the folder of the file.
    void editsTheRacerList_data();
    void editsTheRacerList();
    void eachKindEditsItsOwnFile_data();
    void eachKindEditsItsOwnFile();
};

void TestMasterListEditor::editsTheRacerList_data()
{
    using L = QStringList;
    using B = QByteArray;
    QTest::addColumn<B>("file");
    QTest::addColumn<L>("steps");
    QTest::addColumn<L>("entries");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count"); // -1: the label is blank
    QTest::addColumn<B>("bytes");
    QTest::addColumn<L>("messages");

    const B bobAl = "\"Bob\"\r\n\"Al\"\r\n";
    const B unsorted =
        "\"Mz\"\r\n\"m\xFCller\"\r\n\"alpha\"\r\n\"Ma\"\r\n\"ALPHA\"\r\n\"Beta\"\r\n";
    QTest::newRow("sorted regardless of case and accents, equals in file order")
        << unsorted << L() << L({"alpha", "ALPHA", "Beta", "Ma", "müller", "Mz"}) << -1 << 6
        << unsorted << L();
    // Equal but for case: upper case does not go first, and each pair keeps its file order.
    const B mixedCase = "\"b\"\r\n\"A\"\r\n\"a\"\r\n\"B\"\r\n";
    QTest::newRow("mixed case") << mixedCase << L() << L({"A", "a", "b", "B"}) << -1 << 4
                                << mixedCase << L();
    const B handMade = "  Zoe Hart  \n\"  Aaron  \"\r\nAl Bundy";
    QTest::newRow("bare names trimmed, quoted ones not, LF lines, no last line end")
        << handMade << L() << L({"  Aaron  ", "Al Bundy", "Zoe Hart"}) << -1 << 3 << handMade
        << L();
    // A name of control characters only has no weight; the empty name still goes first.
    QTest::newRow("empty names first")
        << B("\"b\"\r\n\"\"\r\n\"\x02\"\r\n\"a\"\r\n\"\x01\"\r\n") << L()
        << L({"", "\x02", "\x01", "a", "b"}) << -1 << 5
        << B("\"b\"\r\n\"\"\r\n\"\x02\"\r\n\"a\"\r\n\"\x01\"\r\n") << L();
    QTest::newRow("empty file") << B("") << L() << L() << -1 << 0 << B("") << L();
    QTest::newRow("missing file, created by an add")
        << B() << L{"add ann lee"} << L{"Ann Lee"} << -1 << 1 << B("\"Ann Lee\"\r\n")
        << L{"File not found: DragRacers.dat"};
    QTest::newRow("added: proper case, trimmed in the list only, Windows-1252 in the file")
        << B("\"Zed\"\r\n")
        << L({"add mary o'BRIEN", "add   ann-marie\tDE LA cruz  ", "add josé €"})
        << L({"Ann-marie\tDe La Cruz", "José €", "Mary O'brien", "Zed"}) << -1 << 4
        << B("\"Zed\"\r\n\"Mary O'brien\"\r\n\"  Ann-marie\tDe La Cruz  \"\r\n\"Jos\xE9 \x80\"\r\n")
        << L();
    QTest::newRow("duplicate check on the answer as typed")
        << B("\"John Smith\"\r\n") << L({"add John Smith", "add john smith", "add John Smith "})
        << L({"John Smith", "John Smith", "John Smith"}) << -1 << 3
        << B("\"John Smith\"\r\n\"John Smith\"\r\n\"John Smith \"\r\n")
        << L{"Racer already exists"};
    QTest::newRow("selection follows its entry; delete rewrites in list order")
        << bobAl << L({"select 1", "add aaron", "remove"}) << L({"Aaron", "Al"}) << -1 << 2
        << B("\"Aaron\"\r\n\"Al\"\r\n") << L();
    QTest::newRow("renamed in place, untrimmed, unchecked; the file follows the list")
        << bobAl << L({"select 0", "modify zed", "select 1", "modify  zed "}) << L({"Zed", " Zed "})
        << 1 << 2 << B("\"Zed\"\r\n\" Zed \"\r\n") << L();
    QTest::newRow("nothing selected: no delete, a modify without asking rewrites the file")
        << bobAl << L({"select 5", "remove", "modify"}) << L({"Al", "Bob"}) << -1 << 2
        << B("\"Al\"\r\n\"Bob\"\r\n") << L();
    QTest::newRow("cancelled") << bobAl << L({"add", "select 1", "modify"}) << L({"Al", "Bob"}) << 1
                               << 2 << bobAl << L();
    QTest::newRow("names the file cannot hold")
        << B("\"Al\"\r\n")
        << L({"add bob \"the rocket\"", "add zhang 张", "add ann 😀", "select 0", "modify al \"x\""})
        << L{"Al"} << 0 << 1 << B("\"Al\"\r\n")
        << L({kQuote, "A name cannot contain the character \"张\".",
              "A name cannot contain the character \"😀\".", kQuote});
    QTest::newRow("a hand-edited name with a quote blocks rewrites until renamed")
        << B("Bob \"X\" Jones\r\n\"Al\"\r\n")
        << L({"select 0", "remove", "select 1", "modify bob x jones"}) << L({"Al", "Bob X Jones"})
        << 1 << 2 << B("\"Al\"\r\n\"Bob X Jones\"\r\n")
        << L{"DragRacers.dat cannot store the name Bob \"X\" Jones, as a name cannot contain a "
             "double quote (\"). Modify or delete that name first."};
    QTest::newRow("a file that cannot be read is never rewritten")
        << B("<dir>") << L({"add stock", "modify"}) << L() << -1 << -1 << B("<missing>")
        << L({"Cannot open dragracers.DAT: file to open is a directory",
              "Cannot open dragracers.DAT: file to open is a directory",
              "DragRacers.dat could not be read, so it is not rewritten: the names it holds would "
              "be lost."});
    // A save that failed leaves the list as the file holds it, the selection too.
    const QString lost = QStringLiteral("Cannot write DragRacers.dat: No such file or directory");
    QTest::newRow("write failures")
        << bobAl
        << L({"unplug", "add dart", "add eve", "select 0", "modify austin", "select 1", "remove"})
        << L({"Al", "Bob"}) << 1 << 2 << B("<missing>") << L(4, lost);
}

void TestMasterListEditor::editsTheRacerList()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, steps);
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
    QTEST(editor.entries(), "entries");
    QTEST(editor.selected(), "selected");
    QFETCH(int, count);
    QCOMPARE(editor.countText(),
             count < 0 ? QString() : QStringLiteral("Total number of Racers: %1").arg(count));
    QTEST(fileBytes(folder.path(kRacersFileName)), "bytes");
    QTEST(prompter.texts(), "messages");
    QVERIFY(prompter.inputAnswers.isEmpty());
    QVERIFY(QDir(lists).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() <= 1);
}

void TestMasterListEditor::eachKindEditsItsOwnFile_data()
{
    QTest::addColumn<MasterListKind>("kind");
    QTest::addColumn<QStringList>("names"); // the file, an entry, the entries
    QTest::newRow("racers") << MasterListKind::Racers
                            << QStringList{"DragRacers.dat", "Racer", "Racers"};
    QTest::newRow("cars") << MasterListKind::Cars << QStringList{"DragCars.dat", "Car", "Cars"};
    QTest::newRow("classes") << MasterListKind::Classes
                             << QStringList{"DragClass.dat", "Class", "Classes"};
}

void TestMasterListEditor::eachKindEditsItsOwnFile()
{
    QFETCH(MasterListKind, kind);
    QFETCH(QStringList, names);
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
    QCOMPARE(asked, QStringList({QStringLiteral("Add %1|Enter new %1 name|").arg(names[1]),
                                 QStringLiteral("Modify %1|Modify %1 name|Beta").arg(names[1])}));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of %1: 1").arg(names[2]));
    QCOMPARE(fileBytes(path), QByteArray("\"Gamma\"\r\n"));
}

QTEST_GUILESS_MAIN(TestMasterListEditor)
#include "tst_master_list_editor.moc"
