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

class TestMasterListEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One edit of the racer list a row of racer-list-edits.tsv.
    void editsTheRacerList_data() { addTableRows(QFINDTESTDATA("racer-list-edits.tsv"), 8); }
    void editsTheRacerList();
    // One kind of list a row of list-kinds.tsv.
    void eachKindEditsItsOwnFile_data() { addTableRows(QFINDTESTDATA("list-kinds.tsv"), 4); }
    void eachKindEditsItsOwnFile();
};

void TestMasterListEditor::editsTheRacerList()
{
    QFETCH(QStringList, row);
    const auto list = [](const QString& field) { return field.split(u'|', Qt::SkipEmptyParts); };
    // An empty field is an empty file, there to be read.
    const QByteArray file = row[1] == u"<none>" ? QByteArray() : QByteArray("") + row[1].toLatin1();
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

void TestMasterListEditor::eachKindEditsItsOwnFile()
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
    QCOMPARE(asked, QStringList({QStringLiteral("Add %1|Enter new %1 name|").arg(names[1]),
                                 QStringLiteral("Modify %1|Modify %1 name|Beta").arg(names[1])}));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of %1: 1").arg(names[2]));
    QCOMPARE(fileBytes(path), QByteArray("\"Gamma\"\r\n"));
}

QTEST_GUILESS_MAIN(TestMasterListEditor)
#include "tst_master_list_editor.moc"
