#include "FaultRig.h"
#include "support/TestFiles.h"

#include <QLocale>
#include <QTest>
#include <QtEndian>

using namespace halvex;
using namespace halvex::test;

namespace {

// A dial-in race: 7.500 on the left, 7.250 on the right; the report's first time has a half.
const QByteArray kReport =
    "0\n0\n499.5\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n10500\n10800\n!\n";

struct Cell
{
    int type = -1; // 3 a number, 4 a text
    QByteArray value;
};

// The record of one cell of a worksheet export.
Cell cellOf(const QByteArray& sheet, int row, int col)
{
    qsizetype at = 0;
    while (at + 4 <= sheet.size()) {
        const quint16 type = qFromLittleEndian<quint16>(sheet.constData() + at);
        const quint16 length = qFromLittleEndian<quint16>(sheet.constData() + at + 2);
        const QByteArray body = sheet.mid(at + 4, length);
        if ((type == 3 || type == 4) && qFromLittleEndian<quint16>(body.constData()) == row &&
            qFromLittleEndian<quint16>(body.constData() + 2) == col)
            return {type, body.mid(type == 3 ? 7 : 8)};
        at += 4 + length;
    }
    return {};
}

QByteArray doubleBytes(double value)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// Runs one race of the setup over the in-memory port and exports the log.
QByteArray raceAndExport(WindowRig& rig)
{
    rig.memoryPort.answers["N\n"] = kReport;
    pressStartRace(rig.window());
    if (!rig.stats())
        return {};
    rig.stats()->cmdOk->click();
    const QString sheet = rig.dir.filePath(QStringLiteral("sheet.xls"));
    rig.prompter.fileNames.enqueue(sheet);
    withRaceData(rig, [](frmGridData& data) { data.mnuSave->trigger(); });
    return fileBytes(sheet);
}

WindowStateRecord dialInSetup()
{
    WindowStateRecord s = WindowRig::proTreeSetup();
    s.TreeIndex = 2;
    s.DialInLeft = 7.5f;
    s.DialInRight = 7.25f;
    return s;
}

} // namespace

class TestFaultLocale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program runs under the operator's locale; the worksheet's numbers keep the point.
    // Texts, files and commands under the comma are the scenarios' second run.
    void aDecimalCommaReachesNotTheWorksheet()
    {
        if (QLocale().decimalPoint() != QStringLiteral(","))
            QSKIP("the German locale (de_DE.UTF-8) is not installed; scripts/setup.sh makes it");
        WindowRig rig;
        rig.startWith(dialInSetup());
        const QByteArray sheet = raceAndExport(rig);
        QCOMPARE(rig.prompter.texts(), QStringList());
        // RT 499.5 rounds to 500 (halves to even): 0.0500; ET 1.0000 and its margin.
        QCOMPARE(cellOf(sheet, 1, 6).type, 3);
        QCOMPARE(cellOf(sheet, 1, 6).value.toHex(), doubleBytes(0.05).toHex());
        QCOMPARE(cellOf(sheet, 1, 10).value.toHex(), doubleBytes(1.0).toHex());
        QCOMPARE(cellOf(sheet, 1, 11).value.toHex(), doubleBytes(7.5).toHex());
    }
};

QTEST_MAIN(TestFaultLocale)
#include "tst_fault_locale.moc"
