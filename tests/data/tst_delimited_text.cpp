#include "data/Cp1252.h"
#include "data/DelimitedText.h"
#include "data/Numbers.h"
#include "platform/Failure.h"

#include <QTest>

using namespace halvex;

class TestDelimitedText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writerBytes();
    void singlesShortestForm_data();
    void singlesShortestForm();
    void readerFields();
    void readerPastEndThrows();
    void readerRoundsIntegers();
    void cp1252RoundTrip();
    void leadingNumberEdges_data();
    void leadingNumberEdges();
    void isNumericEdges_data();
    void isNumericEdges();
};

void TestDelimitedText::writerBytes()
{
    DelimitedWriter out;
    out.single(.4f).single(100.0f).single(-.25f).boolean(true).boolean(false).endLine();
    out.text(QStringLiteral("Smith, John")).integer(-7).integer(0).text(QString()).endLine();
    out.text(QStringLiteral("  blanks kept  ")).endLine();
    QCOMPARE(out.bytes(), QByteArray(".4,100,-.25,#TRUE#,#FALSE#\r\n"
                                     "\"Smith, John\",-7,0,\"\"\r\n"
                                     "\"  blanks kept  \"\r\n"));
}

void TestDelimitedText::singlesShortestForm_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("no leading zero") << .4f << ".4";
    QTest::newRow("negative fraction") << -.25f << "-.25";
    QTest::newRow("whole") << 100.0f << "100";
    QTest::newRow("seven digits") << 1.0f / 3.0f << ".3333333";
    QTest::newRow("mixed") << 123456.7f << "123456.7";
    QTest::newRow("large") << 1e7f << "1E+07";
}

void TestDelimitedText::singlesShortestForm()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(formatSingle(value), text);
}

void TestDelimitedText::readerFields()
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
    QVERIFY(!in.atEnd());
    QCOMPARE(in.text(), QStringLiteral("unclosed"));
    QVERIFY(in.atEnd());
}

void TestDelimitedText::readerPastEndThrows()
{
    DelimitedReader in("\"only\"\r\n");
    QCOMPARE(in.text(), QStringLiteral("only"));
    QVERIFY(in.atEnd());
    try {
        in.text();
        QFAIL("reading past the last field did not throw");
    } catch (const Failure& failure) {
        QCOMPARE(failure.code(), int(Failure::InputPastEnd));
        QCOMPARE(failure.description(), QStringLiteral("Input past end of file"));
    }

    DelimitedReader empty(QByteArray{});
    QVERIFY(empty.atEnd());
    QVERIFY_THROWS_EXCEPTION(Failure, empty.integer32());
}

void TestDelimitedText::readerRoundsIntegers()
{
    DelimitedReader in("2.5,3.5,-1.5,#TRUE#,40000");
    QCOMPARE(in.integer16(), qint16(2));
    QCOMPARE(in.integer16(), qint16(4));
    QCOMPARE(in.integer32(), -2);
    QCOMPARE(in.integer16(), qint16(-1));
    try {
        in.integer16();
        QFAIL("40000 fitted a 16-bit integer");
    } catch (const Failure& failure) {
        QCOMPARE(failure.code(), int(Failure::Overflow));
    }
}

void TestDelimitedText::cp1252RoundTrip()
{
    const QString name = QStringLiteral("Müller – €");
    DelimitedWriter out;
    out.text(name).endLine();
    QCOMPARE(out.bytes(), QByteArray("\"M\xFCller \x96 \x80\"\r\n"));
    DelimitedReader in(out.bytes());
    QCOMPARE(in.text(), name);

    // Characters outside the code page cannot be kept; an undefined byte survives a round trip.
    QCOMPARE(toCp1252(QStringLiteral("Zhang 张")), QByteArray("Zhang ?"));
    QCOMPARE(toCp1252(fromCp1252(QByteArray("\x81\x9D"))), QByteArray("\x81\x9D"));
}

void TestDelimitedText::leadingNumberEdges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks inside") << "  -1 2.5x" << -12.5;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no digits") << "abc" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("late minus stops") << "5-3" << 5.0;
    QTest::newRow("no leading zero") << ".75" << .75;
}

void TestDelimitedText::leadingNumberEdges()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

void TestDelimitedText::isNumericEdges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("surrounding blanks") << " 1.5 " << true;
    QTest::newRow("no leading zero") << "-.5" << true;
    QTest::newRow("exponent") << "1e3" << true;
    QTest::newRow("plus sign") << "+2" << true;
    QTest::newRow("trailing point") << "3." << true;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("bare exponent") << "1e" << false;
    QTest::newRow("point only") << "." << false;
    QTest::newRow("inner blank") << "1 2" << false;
}

void TestDelimitedText::isNumericEdges()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(isNumeric(text), numeric);
}

QTEST_GUILESS_MAIN(TestDelimitedText)
#include "tst_delimited_text.moc"
