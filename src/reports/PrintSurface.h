#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace halvex {

// One item of a printed line: a text as it stands, an integer (a blank in place of a plus sign
// and one trailing blank), or a tab to a column counted from 1 in average character widths of the
// current font.
struct PrintItem
{
    enum class Kind
    {
        Text,
        Integer,
        Tab
    };
    Kind kind = Kind::Text;
    QString text;
    qint32 number = 0;
    int column = 1;

    static PrintItem tab(int column) { return {Kind::Tab, {}, 0, column}; }
    static PrintItem string(QString text) { return {Kind::Text, std::move(text), 0, 1}; }
    static PrintItem integer(qint32 n) { return {Kind::Integer, {}, n, 1}; }
};
using PrintLine = QList<PrintItem>;

enum class LineEnd
{
    Ends,
    Continues // the next line of items goes on behind the last item
};

// Units a length can be given in when converting between scales.
enum class ScaleMode
{
    Twips = 1,
    Points = 2,
    Pixels = 3,
    Characters = 4,
    Inches = 5,
    Millimetres = 6,
    Centimetres = 7
};

struct PrintFont
{
    QString name;
    float size = 10;
    bool bold = false;
    bool italic = false;
    bool strikethrough = false;
    bool underline = false;
};

// One cell of a printed grid, in device pixels: its box, filled and outlined in colours with red
// in the low byte (-1: not at all), and its text placed in the text rectangle by Qt alignment
// flags, on one line, in the surface's current font.
struct CellBox
{
    QRectF box;
    QRectF textRect;
    QString text;
    int alignment = 0;
    qint32 fill = -1;
    qint32 line = -1;
    double lineWidth = 0;
    qint32 textColour = 0;
};

// Every run starts with this face at 10 points: a sans face every installation of the program
// carries, so slips look the same on every machine.
inline const QString kPrintFontName = QStringLiteral("DejaVu Sans");

// The operations the time slip and the grid printout draw with. Like one printer, a surface keeps
// its font and its printer setting for the whole run; the print position and the pages belong to
// the job in progress, and ending the document sends that job and starts afresh. Every operation
// that reaches a device throws halvex::Failure with a description for the operator.
class PrintSurface
{
public:
    virtual ~PrintSurface() = default;

    const PrintFont& font() const { return m_font; }
    void setFontSize(float points) { m_font.size = points; }
    void setFontName(const QString& name) { m_font.name = name; }
    void setFontBold(bool on) { m_font.bold = on; }
    void setFontItalic(bool on) { m_font.italic = on; }
    void setFontStrikethrough(bool on) { m_font.strikethrough = on; }
    void setFontUnderline(bool on) { m_font.underline = on; }

    // The one printer setting a caller switches on: grey-scale output, which a monochrome
    // receipt printer wants. It stays on for the rest of the run.
    void setGreyScale();
    bool greyScale() const { return m_greyScale; }

    // An empty line ends the line in progress (a blank line when nothing stands on it).
    void print(const PrintLine& items, LineEnd end = LineEnd::Ends);
    // The pages printed so far leave as one job; the next output starts a new one.
    void endDocument();
    void newPage();

    // 1 portrait, 2 landscape; later pages use it.
    void setOrientation(int orientation);
    int orientation() const { return m_orientation; }
    ScaleMode scaleMode() const { return m_scaleMode; }
    void setScaleMode(ScaleMode mode) { m_scaleMode = mode; }
    // The printable area in the current scale mode.
    double scaleWidth();
    double scaleHeight();
    double scaleX(double value, ScaleMode from, ScaleMode to);
    double scaleY(double value, ScaleMode from, ScaleMode to);

    virtual QSizeF pageSizeTwips() = 0;
    virtual QPointF twipsPerPixel() = 0;
    // Draws on the page in progress, opening the job and its first page when none is open.
    virtual void drawCell(const CellBox& cell) = 0;

protected:
    struct Position
    {
        double x = 0; // device pixels from the left edge of the printable area
        double y = 0; // device pixels from its top
        int line = 0; // lines ended on this page
    };

    // Metrics of the current font on the device, in device pixels.
    virtual double averageCharWidth() = 0;
    virtual double textWidth(const QString& text) = 0;
    virtual double lineHeight() = 0;
    virtual QSizeF printableSize() = 0;
    virtual void drawText(const Position& at, const QString& text) = 0;
    virtual void startPage() = 0;
    virtual void finishJob() = 0;
    virtual void greyScaleSwitchedOn() {}
    virtual void orientationChanged() {}

private:
    void endLine();
    double twipsPer(ScaleMode mode, bool horizontal);

    PrintFont m_font{kPrintFontName};
    bool m_greyScale = false;
    int m_orientation = 1;
    ScaleMode m_scaleMode = ScaleMode::Twips;
    Position m_pos;
};

} // namespace halvex
