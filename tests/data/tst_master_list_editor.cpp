#include "data/MasterListEditor.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using halvex::test::ScriptedPrompter;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestMasterListEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void openingReadsSortsAndCounts();
    void handMadeFileLoadsAsWritten();
    void missingFileAtOpeningThenAddCreatesIt();
    void duplicateCheckComparesTheAnswerAsTyped();
    void properCaseAndBlanks();
    void commaRoundTrips();
    void fileBytesAfterAddModifyDelete();
    void nothingSelected();
    void cancelChangesNothing();
    void namesTheFileCannotHold();
    void writeFailuresAreReported();

private:
    QString path(const QString& name = QStringLiteral("DragRacers.dat")) const
    {
        return m_dir->filePath(name);
    }
    MasterListEditor openEditor(MasterListKind kind = MasterListKind::Racers)
    {
        MasterListEditor editor(kind, m_prompter, ProgramFolder(m_dir->path()));
        editor.open();
        return editor;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
};

void TestMasterListEditor::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter = ScriptedPrompter();
}

void TestMasterListEditor::openingReadsSortsAndCounts()
{
    // Sorted without regard to case, accented letters among their base letters; the file's own
    // spelling of its name does not matter.
    writeFile(path(QStringLiteral("dragcars.DAT")),
              "\"Mz\"\r\n\"m\xFCller\"\r\n\"alpha\"\r\n\"Ma\"\r\n\"ALPHA\"\r\n\"Beta\"\r\n");
    MasterListEditor cars = openEditor(MasterListKind::Cars);
    QCOMPARE(cars.entries(), QStringList({"alpha", "ALPHA", "Beta", "Ma", "müller", "Mz"}));
    QCOMPARE(cars.countText(), QStringLiteral("Total number of Cars: 6"));
    QCOMPARE(cars.selected(), -1);
    QVERIFY(m_prompter.messages.isEmpty());

    writeFile(path(QStringLiteral("DragClass.dat")), QByteArray());
    MasterListEditor classes = openEditor(MasterListKind::Classes);
    QVERIFY(classes.entries().isEmpty());
    QCOMPARE(classes.countText(), QStringLiteral("Total number of Classes: 0"));

    // Opening again starts from an empty list, not on top of the last one.
    writeFile(path(QStringLiteral("dragcars.DAT")), "\"Solo\"\r\n");
    cars.select(2);
    cars.open();
    QCOMPARE(cars.entries(), QStringList({"Solo"}));
    QCOMPARE(cars.selected(), -1);
    QCOMPARE(cars.countText(), QStringLiteral("Total number of Cars: 1"));
}

void TestMasterListEditor::handMadeFileLoadsAsWritten()
{
    writeFile(path(), "\"Zoe Hart\"\r\n\"Al Bundy\"\r\n");
    const QStringList written = openEditor().entries();
    QCOMPARE(written, QStringList({"Al Bundy", "Zoe Hart"}));

    writeFile(path(), "Zoe Hart\r\nAl Bundy\r\n");
    QCOMPARE(openEditor().entries(), written);
    writeFile(path(), "  Zoe Hart  \nAl Bundy");
    QCOMPARE(openEditor().entries(), written);
}

void TestMasterListEditor::missingFileAtOpeningThenAddCreatesIt()
{
    MasterListEditor editor = openEditor();
    QCOMPARE(m_prompter.messages.size(), 1);
    QCOMPARE(m_prompter.messages[0].text, QStringLiteral("File not found: DragRacers.dat"));
    QCOMPARE(m_prompter.messages[0].title, QStringLiteral("Halvex 3000"));
    QCOMPARE(m_prompter.messages[0].buttons, Buttons::Ok);
    QVERIFY(editor.entries().isEmpty());
    QCOMPARE(editor.countText(), QString());

    m_prompter.inputAnswers.enqueue(QStringLiteral("ann lee"));
    editor.add();
    QCOMPARE(editor.entries(), QStringList({"Ann Lee"}));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Racers: 1"));
    QCOMPARE(fileBytes(path()), QByteArray("\"Ann Lee\"\r\n"));
    QCOMPARE(m_prompter.messages.size(), 1);
}

void TestMasterListEditor::duplicateCheckComparesTheAnswerAsTyped()
{
    writeFile(path(), "\"John Smith\"\r\n");
    MasterListEditor editor = openEditor();

    m_prompter.inputAnswers.enqueue(QStringLiteral("john smith"));
    editor.add();
    QCOMPARE(m_prompter.inputs.size(), 1);
    QCOMPARE(m_prompter.inputs[0].prompt, QStringLiteral("Enter new Racer name"));
    QCOMPARE(m_prompter.inputs[0].title, QStringLiteral("Add Racer"));
    QCOMPARE(m_prompter.inputs[0].defaultText, QString());
    QVERIFY(m_prompter.messages.isEmpty());
    QCOMPARE(editor.entries(), QStringList({"John Smith", "John Smith"}));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Racers: 2"));
    QCOMPARE(fileBytes(path()), QByteArray("\"John Smith\"\r\n\"John Smith\"\r\n"));

    for (const QString& answer : {QStringLiteral("John Smith"), QStringLiteral("John Smith ")}) {
        m_prompter.inputAnswers.enqueue(answer);
        editor.add();
    }
    // The exact answer is refused; with a trailing blank it is a different answer, and once
    // trimmed for the list it stands beside the others.
    QCOMPARE(m_prompter.texts(), QStringList({"Racer already exists"}));
    QCOMPARE(m_prompter.messages[0].title, QStringLiteral("Halvex 3000"));
    QCOMPARE(editor.entries(), QStringList({"John Smith", "John Smith", "John Smith"}));
    QCOMPARE(fileBytes(path()),
             QByteArray("\"John Smith\"\r\n\"John Smith\"\r\n\"John Smith \"\r\n"));

    writeFile(path(QStringLiteral("DragClass.dat")), "\"Pro Stock\"\r\n");
    MasterListEditor classes = openEditor(MasterListKind::Classes);
    m_prompter.inputAnswers.enqueue(QStringLiteral("Pro Stock"));
    classes.add();
    QCOMPARE(m_prompter.inputs.last().prompt, QStringLiteral("Enter new Class name"));
    QCOMPARE(m_prompter.inputs.last().title, QStringLiteral("Add Class"));
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("Class already exists"));
}

void TestMasterListEditor::properCaseAndBlanks()
{
    writeFile(path(), "\"Zed\"\r\n");
    MasterListEditor editor = openEditor();
    m_prompter.inputAnswers.enqueue(QStringLiteral("mary o'BRIEN"));
    m_prompter.inputAnswers.enqueue(QStringLiteral("  ann-marie\tDE LA cruz  "));
    editor.add();
    editor.add();
    QCOMPARE(editor.entries(), QStringList({"Ann-marie\tDe La Cruz", "Mary O'brien", "Zed"}));
    QCOMPARE(fileBytes(path()),
             QByteArray("\"Zed\"\r\n\"Mary O'brien\"\r\n\"  Ann-marie\tDe La Cruz  \"\r\n"));

    // Only a name added by the operator is trimmed for the list; read back, it keeps its blanks.
    QCOMPARE(openEditor().entries(),
             QStringList({"  Ann-marie\tDe La Cruz  ", "Mary O'brien", "Zed"}));
}

void TestMasterListEditor::commaRoundTrips()
{
    MasterListEditor editor = openEditor(MasterListKind::Classes);
    m_prompter.clear();
    m_prompter.inputAnswers.enqueue(QStringLiteral("top fuel, junior"));
    editor.add();
    QCOMPARE(fileBytes(path(QStringLiteral("DragClass.dat"))),
             QByteArray("\"Top Fuel, Junior\"\r\n"));
    QCOMPARE(openEditor(MasterListKind::Classes).entries(), QStringList({"Top Fuel, Junior"}));
    QVERIFY(m_prompter.messages.isEmpty());
}

void TestMasterListEditor::fileBytesAfterAddModifyDelete()
{
    // The file is in the order names were added, the list in sorted order.
    writeFile(path(), "\"Bob\"\r\n\"Al\"\r\n");
    MasterListEditor editor = openEditor();
    QCOMPARE(editor.entries(), QStringList({"Al", "Bob"}));

    editor.select(1);
    m_prompter.inputAnswers.enqueue(QStringLiteral("aaron"));
    editor.add();
    QCOMPARE(fileBytes(path()), QByteArray("\"Bob\"\r\n\"Al\"\r\n\"Aaron\"\r\n"));
    QCOMPARE(editor.entries(), QStringList({"Aaron", "Al", "Bob"}));
    QCOMPARE(editor.selected(), 2); // still Bob

    editor.select(0);
    m_prompter.inputAnswers.enqueue(QStringLiteral("zed"));
    editor.modify();
    QCOMPARE(m_prompter.inputs.last().prompt, QStringLiteral("Modify Racer name"));
    QCOMPARE(m_prompter.inputs.last().title, QStringLiteral("Modify Racer"));
    QCOMPARE(m_prompter.inputs.last().defaultText, QStringLiteral("Aaron"));
    // Renamed in place, not sorted in; the file now follows the list.
    QCOMPARE(editor.entries(), QStringList({"Zed", "Al", "Bob"}));
    QCOMPARE(editor.selected(), 0);
    QCOMPARE(fileBytes(path()), QByteArray("\"Zed\"\r\n\"Al\"\r\n\"Bob\"\r\n"));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Racers: 3"));

    // No duplicate check and no trimming on a rename.
    editor.select(1);
    m_prompter.inputAnswers.enqueue(QStringLiteral(" bob "));
    editor.modify();
    QCOMPARE(editor.entries(), QStringList({"Zed", " Bob ", "Bob"}));
    QCOMPARE(fileBytes(path()), QByteArray("\"Zed\"\r\n\" Bob \"\r\n\"Bob\"\r\n"));

    editor.select(0);
    editor.remove();
    QCOMPARE(editor.entries(), QStringList({" Bob ", "Bob"}));
    QCOMPARE(editor.selected(), -1);
    QCOMPARE(fileBytes(path()), QByteArray("\" Bob \"\r\n\"Bob\"\r\n"));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Racers: 2"));
    QVERIFY(m_prompter.messages.isEmpty());
}

void TestMasterListEditor::nothingSelected()
{
    writeFile(path(), "\"Bob\"\r\n\"Al\"\r\n");
    MasterListEditor editor = openEditor();
    editor.select(5); // out of range selects nothing

    editor.remove();
    QCOMPARE(editor.entries(), QStringList({"Al", "Bob"}));
    QCOMPARE(fileBytes(path()), QByteArray("\"Bob\"\r\n\"Al\"\r\n"));

    editor.modify();
    QVERIFY(m_prompter.inputs.isEmpty());
    QCOMPARE(editor.entries(), QStringList({"Al", "Bob"}));
    QCOMPARE(fileBytes(path()), QByteArray("\"Al\"\r\n\"Bob\"\r\n"));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Racers: 2"));
    QVERIFY(m_prompter.messages.isEmpty());
}

void TestMasterListEditor::cancelChangesNothing()
{
    writeFile(path(), "\"Bob\"\r\n\"Al\"\r\n");
    MasterListEditor editor = openEditor();
    editor.add();
    editor.select(1);
    editor.modify();
    QCOMPARE(m_prompter.inputs.size(), 2);
    QCOMPARE(m_prompter.inputs[1].defaultText, QStringLiteral("Bob"));
    QVERIFY(m_prompter.messages.isEmpty());
    QCOMPARE(editor.entries(), QStringList({"Al", "Bob"}));
    QCOMPARE(editor.selected(), 1);
    QCOMPARE(fileBytes(path()), QByteArray("\"Bob\"\r\n\"Al\"\r\n"));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Racers: 2"));
}

void TestMasterListEditor::namesTheFileCannotHold()
{
    const QString quoteMessage = QStringLiteral("A name cannot contain a double quote (\").");
    writeFile(path(), "\"Al\"\r\n");
    MasterListEditor editor = openEditor();
    m_prompter.inputAnswers.enqueue(QStringLiteral("bob \"the rocket\""));
    m_prompter.inputAnswers.enqueue(QStringLiteral("zhang 张"));
    editor.add();
    editor.add();
    editor.select(0);
    m_prompter.inputAnswers.enqueue(QStringLiteral("al \"x\""));
    editor.modify();
    QCOMPARE(
        m_prompter.texts(),
        QStringList({quoteMessage, QStringLiteral("A name cannot contain the character \"张\"."),
                     quoteMessage}));
    QCOMPARE(editor.entries(), QStringList({"Al"}));
    QCOMPARE(fileBytes(path()), QByteArray("\"Al\"\r\n"));

    // A hand-edited file may hold such a name: it is kept safe until the operator renames or
    // deletes it, and the rest of the list waits for that.
    writeFile(path(), "Bob \"X\" Jones\r\n\"Al\"\r\n");
    editor.open();
    QCOMPARE(editor.entries(), QStringList({"Al", "Bob \"X\" Jones"}));
    m_prompter.clear();
    editor.select(0);
    editor.remove();
    QCOMPARE(m_prompter.texts(),
             QStringList({"DragRacers.dat cannot store the name Bob \"X\" Jones, as a name cannot "
                          "contain a double quote (\"). Modify or delete that name first."}));
    QCOMPARE(editor.entries(), QStringList({"Al", "Bob \"X\" Jones"}));
    QCOMPARE(fileBytes(path()), QByteArray("Bob \"X\" Jones\r\n\"Al\"\r\n"));

    editor.select(1);
    m_prompter.inputAnswers.enqueue(QStringLiteral("bob x jones"));
    editor.modify();
    QCOMPARE(m_prompter.messages.size(), 1);
    QCOMPARE(fileBytes(path()), QByteArray("\"Al\"\r\n\"Bob X Jones\"\r\n"));
}

void TestMasterListEditor::writeFailuresAreReported()
{
    const QString folder = m_dir->filePath(QStringLiteral("lists"));
    QVERIFY(QDir().mkpath(folder));
    writeFile(folder + QStringLiteral("/DragCars.dat"),
              "\"Cuda\"\r\n\"Anglia\"\r\n\"Bel Air\"\r\n");
    MasterListEditor editor(MasterListKind::Cars, m_prompter, ProgramFolder(folder));
    editor.open();
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Cars: 3"));
    QVERIFY(QDir(folder).removeRecursively());

    // Each operation ends at the failure; what it did to the list before that stays done.
    m_prompter.inputAnswers.enqueue(QStringLiteral("dart"));
    editor.add();
    editor.select(0);
    m_prompter.inputAnswers.enqueue(QStringLiteral("austin"));
    editor.modify();
    editor.select(1);
    editor.remove();
    QCOMPARE(editor.entries(), QStringList({"Austin", "Cuda", "Dart"}));
    QCOMPARE(editor.countText(), QStringLiteral("Total number of Cars: 3"));
    QCOMPARE(m_prompter.messages.size(), 3);
    for (const MessageBox& box : std::as_const(m_prompter.messages)) {
        QVERIFY2(box.text.startsWith(QStringLiteral("Cannot write DragCars.dat: ")),
                 qPrintable(box.text));
        QCOMPARE(box.title, QStringLiteral("Halvex 3000"));
        QCOMPARE(box.buttons, Buttons::Ok);
    }
    QVERIFY(!QFileInfo::exists(folder));

    // A list file that cannot be opened at all, even by a privileged user.
    QVERIFY(QDir().mkpath(path(QStringLiteral("DragClass.dat"))));
    m_prompter.clear();
    MasterListEditor classes = openEditor(MasterListKind::Classes);
    QCOMPARE(m_prompter.messages.size(), 1);
    QVERIFY2(m_prompter.messages[0].text.startsWith(QStringLiteral("Cannot open DragClass.dat: ")),
             qPrintable(m_prompter.messages[0].text));
    QCOMPARE(classes.countText(), QString());
}

QTEST_GUILESS_MAIN(TestMasterListEditor)
#include "tst_master_list_editor.moc"
