#include "reports/XlsxExport.h"

#include "data/Numbers.h"
#include "platform/Failure.h"
#include "platform/ProgramFolder.h"
#include "reports/GridModel.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include <xlsxwriter.h>

namespace halvex {

namespace {

// A cell holds at most this many characters; the rest of a longer text is dropped.
constexpr qsizetype kMaxCellCharacters = 32767;
// Column widths in characters, from the longest text of the column.
constexpr double kMinColumnWidth = 6;
constexpr double kMaxColumnWidth = 60;

QByteArray cellText(const QString& text)
{
    const std::u32string codePoints = text.toStdU32String();
    if (qsizetype(codePoints.size()) <= kMaxCellCharacters)
        return text.toUtf8();
    return QString::fromStdU32String(codePoints.substr(0, size_t(kMaxCellCharacters))).toUtf8();
}

// The format a number was shown in: as many decimals as its text has. A text with an exponent
// has no such format and keeps the general one (empty).
QByteArray numberFormatOf(const QString& text)
{
    const QString t = text.trimmed();
    if (t.contains(u'e', Qt::CaseInsensitive))
        return {};
    const qsizetype point = t.indexOf(u'.');
    if (point < 0)
        return QByteArrayLiteral("0");
    return QByteArrayLiteral("0.") + QByteArray(t.size() - point - 1, '0');
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw Failure(QStringLiteral("Cannot write the workbook: %1")
                          .arg(QString::fromUtf8(lxw_strerror(error))));
}

// The library writes only to a named file, so the workbook is made in a folder of its own and
// read back; the caller puts the bytes in place in one step.
class Workbook
{
public:
    explicit Workbook(const QString& path)
        : m_path(path.toUtf8()), m_book(workbook_new(m_path.constData()))
    {
        if (!m_book)
            throw Failure(QStringLiteral("Cannot write the workbook: out of memory"));
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* book() const { return m_book; }
    lxw_format* numberFormat(const QByteArray& code)
    {
        auto [it, added] = m_numberFormats.try_emplace(code, nullptr);
        if (added) {
            it->second = workbook_add_format(m_book);
            format_set_num_format(it->second, code.constData());
        }
        return it->second;
    }
    void close()
    {
        lxw_workbook* book = std::exchange(m_book, nullptr);
        check(workbook_close(book));
    }

private:
    QByteArray m_path;
    lxw_workbook* m_book;
    std::map<QByteArray, lxw_format*> m_numberFormats;
};

} // namespace

static QByteArray writeWorkbook(const GridModel& grid, const QString& sheetName)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        throw Failure(QStringLiteral("Cannot write the workbook: %1").arg(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    {
        Workbook book(path);
        lxw_worksheet* sheet = workbook_add_worksheet(book.book(), sheetName.toUtf8().constData());
        if (!sheet)
            throw Failure(
                QStringLiteral("Cannot write the workbook: no sheet \"%1\"").arg(sheetName));
        lxw_format* title = workbook_add_format(book.book());
        format_set_bold(title);
        format_set_align(title, LXW_ALIGN_CENTER);

        std::vector<qsizetype> longest(size_t(grid.cols()), 0);
        for (int r = 0; r < grid.rows(); ++r) {
            for (int c = 0; c < grid.cols(); ++c) {
                const QString& text = grid.text(r, c);
                longest[size_t(c)] = std::max(longest[size_t(c)], text.size());
                const bool body = r >= grid.fixedRows() && c >= grid.fixedCols();
                if (body && isNumeric(text)) {
                    const double value = numericValue(text);
                    // The file has no way to hold an infinite number; such a text stays text.
                    if (std::isfinite(value)) {
                        const QByteArray code = numberFormatOf(text);
                        check(worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), value,
                                                     code.isEmpty() ? nullptr
                                                                    : book.numberFormat(code)));
                        continue;
                    }
                }
                if (text.isEmpty())
                    continue;
                check(worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c),
                                             cellText(text).constData(),
                                             r < grid.fixedRows() ? title : nullptr));
            }
        }
        for (int c = 0; c < grid.cols(); ++c) {
            const double width =
                std::clamp(double(longest[size_t(c)]) + 2, kMinColumnWidth, kMaxColumnWidth);
            check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr));
        }
        worksheet_freeze_panes(sheet, lxw_row_t(grid.fixedRows()), lxw_col_t(grid.fixedCols()));
        book.close();
    }
    return readFileBytes(path);
}

} // namespace halvex

// The entry of the module `halvex-xlsx`, which the program loads at its first workbook (see
// XlsxModule.cpp). A failure comes back as its description: exceptions stay in the module.
extern "C" Q_DECL_EXPORT bool halvexGridAsWorkbook(const halvex::GridModel& grid,
                                                   const QString& sheetName, QByteArray* book,
                                                   QString* error)
{
    try {
        *book = halvex::writeWorkbook(grid, sheetName);
        return true;
    } catch (const halvex::Failure& f) {
        *error = f.description();
        return false;
    }
}
