#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace halvex {

class GridModel;
class ProgramFolder;

// A worksheet in the BIFF2 record format, built record by record: beginning of file, cells,
// end of file. Rows and columns are counted from 1 here and from 0 in the records; words and
// doubles are little-endian.
class ExcelFileV2
{
public:
    ExcelFileV2();
    // A text cell: its Windows-1252 bytes, at most 255.
    void EWriteString(int row, int col, const QString& text);
    void EWriteInteger(int row, int col, qint16 value);
    void EWriteDouble(int row, int col, double value);
    // The file's bytes, the end-of-file record included.
    QByteArray close();

private:
    void cellHeader(quint16 type, quint16 length, int row, int col);
    void word(quint16 value);

    QByteArray m_bytes;
};

// The grid as a worksheet: fixed rows and columns as text cells, other cells that are numbers
// (by the program's numeric test) as number cells, the rest as text.
QByteArray FG_SaveAsExcel(const GridModel& grid);

// The name the save dialog proposes: "Stats " or "Qualifiers " and the date stamp
// ("Dec-05, 9-07") in the folder of the run's last save, else in the program folder's
// "Halvex Stats" when it exists, else in the program folder itself.
QString proposedExportName(const ProgramFolder& folder, const QDateTime& now, bool qualifiers);
// Notes the folder of a file just saved, for the rest of the run.
void rememberExportFolder(const QString& savedName);

} // namespace halvex
