// The worksheet writer fed any grid: the file is a chain of whole records from the beginning
// record to the end record, one cell record per grid cell in row order, each text cell holding
// the cell's code-page bytes (at most 255).

#include "FuzzInput.h"
#include "data/Cp1252.h"
#include "data/Numbers.h"
#include "reports/ExcelFileV2.h"

#include <QtEndian>

#include <cstring>

using namespace halvex;
using halvex::fuzz::check;

namespace {

quint16 wordAt(const QByteArray& bytes, qsizetype pos)
{
    return qFromLittleEndian<quint16>(bytes.constData() + pos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const GridModel grid = halvex::fuzz::makeGrid(in, 12, 8, 300);
    const QByteArray file = FG_SaveAsExcel(grid);

    check(file.startsWith(QByteArray::fromHex("0900040002000A00")), "the beginning record");
    check(file.endsWith(QByteArray::fromHex("0A000000")), "the end record");
    const qsizetype end = file.size() - 4;
    qsizetype pos = 8;
    int cell = 0;
    while (pos < end) {
        check(pos + 4 <= end, "a record header fits before the end record");
        const quint16 type = wordAt(file, pos);
        const quint16 length = wordAt(file, pos + 2);
        check(pos + 4 + length <= end, "a record's length stays inside the file");
        check(cell < grid.rows() * grid.cols(), "no more cells than the grid holds");
        const int row = cell / grid.cols();
        const int col = cell % grid.cols();
        check(wordAt(file, pos + 4) == row && wordAt(file, pos + 6) == col,
              "cells come in row order at their grid positions");
        check(file.mid(pos + 8, 3) == QByteArray(3, '\0'), "no cell attributes");
        const QString& text = grid.text(row, col);
        const bool fixed = row < grid.fixedRows() || col < grid.fixedCols();
        if (type == 4) {
            const QByteArray bytes = toCp1252(text).left(255);
            check(length == 8 + bytes.size(), "a text cell's length counts its text");
            check(quint8(file[pos + 11]) == bytes.size(), "a text cell counts its bytes");
            check(file.mid(pos + 12, bytes.size()) == bytes, "a text cell holds the text");
            check(fixed || !isNumeric(text), "a number in the body is no text cell");
        } else {
            check(type == 3 && length == 15, "the other cells are number cells");
            check(!fixed && isNumeric(text), "only numbers in the body are number cells");
            const double value = qFromLittleEndian<double>(file.constData() + pos + 11);
            const double expected = numericValue(text);
            check(std::memcmp(&value, &expected, sizeof value) == 0, "the number as it reads");
        }
        pos += 4 + length;
        ++cell;
    }
    check(pos == end, "the records end exactly at the end record");
    check(cell == grid.rows() * grid.cols(), "every grid cell is written once");
    return 0;
}
