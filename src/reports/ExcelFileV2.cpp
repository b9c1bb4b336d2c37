#include "reports/ExcelFileV2.h"

#include "data/Cp1252.h"
#include "data/Numbers.h"
#include "platform/ProgramFolder.h"
#include "reports/GridModel.h"

#include <QFileInfo>
#include <QLocale>
#include <QtEndian>

#include <cstring>

namespace halvex {

ExcelFileV2::ExcelFileV2()
{
    for (quint16 w : {9, 4, 2, 10})
        word(w);
}

void ExcelFileV2::word(quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    m_bytes.append(bytes, 2);
}

void ExcelFileV2::cellHeader(quint16 type, quint16 length, int row, int col)
{
    word(type);
    word(length);
    word(quint16(row - 1));
    word(quint16(col - 1));
    m_bytes.append(3, '\0');
}

void ExcelFileV2::EWriteString(int row, int col, const QString& text)
{
    const QByteArray bytes = toCp1252(text).left(255);
    cellHeader(4, quint16(bytes.size() + 8), row, col);
    m_bytes.append(char(bytes.size()));
    m_bytes.append(bytes);
}

void ExcelFileV2::EWriteInteger(int row, int col, qint16 value)
{
    cellHeader(2, 9, row, col);
    word(quint16(value));
}

void ExcelFileV2::EWriteDouble(int row, int col, double value)
{
    cellHeader(3, 15, row, col);
    char bytes[8];
    qToLittleEndian(value, bytes);
    m_bytes.append(bytes, 8);
}

QByteArray ExcelFileV2::close()
{
    word(10);
    word(0);
    return m_bytes;
}

QByteArray FG_SaveAsExcel(const GridModel& grid)
{
    ExcelFileV2 file;
    for (int r = 1; r <= grid.fixedRows(); ++r)
        for (int c = 1; c <= grid.cols(); ++c)
            file.EWriteString(r, c, grid.text(r - 1, c - 1));
    for (int r = grid.fixedRows() + 1; r <= grid.rows(); ++r) {
        for (int c = 1; c <= grid.cols(); ++c) {
            const QString& text = grid.text(r - 1, c - 1);
            if (c > grid.fixedCols() && isNumeric(text))
                file.EWriteDouble(r, c, numericValue(text));
            else
                file.EWriteString(r, c, text);
        }
    }
    return file.close();
}

namespace {

// The folder of the last save of the run: an operator who saved elsewhere once is offered the
// same folder again.
QString& lastExportFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString proposedExportName(const ProgramFolder& folder, const QDateTime& now, bool qualifiers)
{
    const QString statsFolder = QStringLiteral("Halvex Stats");
    QString dir = lastExportFolder();
    if (dir.isEmpty())
        dir = QFileInfo(folder.path(statsFolder)).isDir() ? folder.path(statsFolder) : folder.dir();
    const QString stamp = QLocale::c().toString(now, QStringLiteral("MMM-dd, H-mm"));
    return dir + u'/' + (qualifiers ? QStringLiteral("Qualifiers ") : QStringLiteral("Stats ")) +
           stamp;
}

void rememberExportFolder(const QString& savedName)
{
    lastExportFolder() = QFileInfo(savedName).absolutePath();
}

} // namespace halvex
