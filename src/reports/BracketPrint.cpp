#include "reports/BracketPrint.h"

#include "data/Numbers.h"
#include "race/Colours.h"
#include "reports/PrintSurface.h"

#include <QStringList>

#include <algorithm>

namespace halvex {

namespace {

constexpr qint32 kBlack = 0;
constexpr int kLandscape = 2;
constexpr int kPortrait = 1;

// Puts back what a printout changes on the surface, which keeps its settings for the run.
class KeptSettings
{
public:
    explicit KeptSettings(PrintSurface& s)
        : m_s(s), m_font(s.font()), m_orientation(s.orientation()), m_mode(s.scaleMode())
    {}
    ~KeptSettings()
    {
        m_s.setFontName(m_font.name);
        m_s.setFontSize(m_font.size);
        m_s.setFontBold(m_font.bold);
        m_s.setFontItalic(m_font.italic);
        m_s.setFontStrikethrough(m_font.strikethrough);
        m_s.setFontUnderline(m_font.underline);
        if (m_s.orientation() != m_orientation)
            m_s.setOrientation(m_orientation);
        m_s.setScaleMode(m_mode);
    }
    KeptSettings(const KeptSettings&) = delete;
    KeptSettings& operator=(const KeptSettings&) = delete;

private:
    PrintSurface& m_s;
    PrintFont m_font;
    int m_orientation;
    ScaleMode m_mode;
};

// Drawing in device pixels, sizes given in points.
class Pen
{
public:
    Pen(PrintSurface& s, int orientation) : m_s(s)
    {
        s.setOrientation(orientation);
        s.setScaleMode(ScaleMode::Pixels);
        s.setFontName(kPrintFontName);
        s.setFontStrikethrough(false);
        s.setFontUnderline(false);
        m_x = s.scaleX(1, ScaleMode::Points, ScaleMode::Pixels);
        m_y = s.scaleY(1, ScaleMode::Points, ScaleMode::Pixels);
        width = s.scaleWidth();
        height = s.scaleHeight();
    }

    double x(double points) const { return points * m_x; }
    double y(double points) const { return points * m_y; }
    double widthPoints() const { return width / m_x; }

    void text(const QRectF& r, const QString& text, int alignment, float points, bool bold = false,
              bool italic = false)
    {
        m_s.setFontSize(points);
        m_s.setFontBold(bold);
        m_s.setFontItalic(italic);
        CellBox c;
        c.box = r;
        c.textRect = r;
        c.text = text;
        c.alignment = alignment | Qt::AlignVCenter;
        m_s.drawCell(c);
    }
    void box(const QRectF& r, qint32 fill)
    {
        CellBox c;
        c.box = r;
        c.textRect = r;
        c.fill = fill;
        c.line = kBlack;
        c.lineWidth = y(0.6);
        m_s.drawCell(c);
    }
    // A line along one axis, drawn as a filled bar half a point thick.
    void line(QPointF a, QPointF b)
    {
        const double t = y(0.5);
        const QRectF bar =
            a.y() == b.y()
                ? QRectF(std::min(a.x(), b.x()), a.y() - t / 2, std::abs(b.x() - a.x()), t)
                : QRectF(a.x() - t / 2, std::min(a.y(), b.y()), t, std::abs(b.y() - a.y()));
        CellBox c;
        c.box = bar;
        c.textRect = bar;
        c.fill = kBlack;
        m_s.drawCell(c);
    }

    double width = 0;
    double height = 0;

private:
    PrintSurface& m_s;
    double m_x = 1;
    double m_y = 1;
};

QString timeText(const std::optional<float>& t)
{
    return t ? fixed(*t, 3) : QString();
}

// The event's name and a line below it; returns where the page's body starts.
double heading(Pen& pen, const QString& eventName, const QString& line)
{
    pen.text(QRectF(0, 0, pen.width, pen.y(18)), eventName, Qt::AlignLeft, 14, true);
    pen.text(QRectF(0, pen.y(18), pen.width, pen.y(14)), line, Qt::AlignLeft, 10);
    return pen.y(38);
}

class BracketLayout
{
public:
    BracketLayout(Pen& pen, const BracketSheet& sheet) : m_pen(pen), m_sheet(sheet)
    {
        const int rounds = int(sheet.rounds.size());
        m_perPage = std::clamp(int(sheet.rounds.front().pairs.size()), 1, kBracketPairsPerPage);
        m_pages = bracketPages(sheet);
        // One column per round and one for the winner, a sixth of a box between columns.
        const int columns = rounds + 1;
        m_boxWidth = pen.width / (columns + (columns - 1) / 6.0);
        m_gap = m_boxWidth / 6;
        m_top = pen.y(38 + 14);
        m_block = (pen.height - m_top) / m_perPage;
        m_seat = std::min(m_block * 0.36, pen.y(16));
        // The times take what their longest texts need ("RED LIGHT" only when there is one), at
        // about 0.65 em a character; the name keeps a dozen characters of 0.6 em at least.
        qsizetype et = 5, rt = 5;
        for (const BracketRound& round : sheet.rounds)
            for (const BracketPair& pair : round.pairs)
                for (const BracketSeat& seat : pair.seats) {
                    et = std::max(et, seat.elapsedTime.size());
                    rt = std::max(rt, seat.reactionTime.size());
                }
        m_etEm = 0.65 * double(et);
        m_rtEm = 0.65 * double(rt);
        const double boxPoints = m_boxWidth / (pen.width / pen.widthPoints());
        m_font = float(std::min(
            {8.0, m_seat / pen.y(1) * 0.62, boxPoints / (m_etEm + m_rtEm + 12 * 0.6 + 1)}));
    }

    void printPage(int page)
    {
        QString line = QStringLiteral("Class: ") + m_sheet.className;
        if (!m_sheet.winner.isEmpty())
            line += QStringLiteral("    Winner: ") + m_sheet.winner;
        if (m_pages > 1)
            line += QStringLiteral("    Page %1 of %2").arg(page + 1).arg(m_pages);
        heading(m_pen, m_sheet.eventName, line);
        const int rounds = int(m_sheet.rounds.size());
        for (int r = 0; r < rounds; ++r) {
            bool any = false;
            for (int k = 0; k < int(m_sheet.rounds[r].pairs.size()); ++k) {
                if (pageOf(r, k) != page)
                    continue;
                any = true;
                drawPair(r, k);
                if (r + 1 < rounds && m_sheet.joined)
                    join(r, k, page);
            }
            if (any)
                m_pen.text(QRectF(column(r), pen().y(38), m_boxWidth, pen().y(12)),
                           m_sheet.rounds[r].name, Qt::AlignHCenter, 9, true);
        }
        if (page == m_pages - 1)
            drawWinner();
    }

private:
    Pen& pen() { return m_pen; }
    double column(int r) const { return r * (m_boxWidth + m_gap); }

    int pageOf(int r, int k) const
    {
        const int perPage = m_perPage >> r;
        return perPage > 0 ? k / perPage : m_pages - 1;
    }

    // The pair's centre, between its two seats.
    double centre(int r, int k) const
    {
        const int perPage = m_perPage >> r;
        if (perPage == 0) // a round beyond a page's half: spread over the last page
            return m_top +
                   (k + 0.5) * (m_pen.height - m_top) / double(m_sheet.rounds[r].pairs.size());
        return m_top + (k % perPage + 0.5) * m_block * (1 << r);
    }

    void drawPair(int r, int k)
    {
        const BracketPair& pair = m_sheet.rounds[r].pairs[k];
        const double x = column(r), y = centre(r, k);
        const double pad = m_pen.x(1.5);
        const double etWidth = m_pen.x(m_font * m_etEm), rtWidth = m_pen.x(m_font * m_rtEm);
        for (int s = 0; s < 2; ++s) {
            const BracketSeat& seat = pair.seats[size_t(s)];
            const QRectF box(x, y - m_seat + s * m_seat, m_boxWidth, m_seat);
            m_pen.box(box, seat.winner ? kColourLightGrey : -1);
            const QRectF inner = box.adjusted(pad, 0, -pad, 0);
            QString name = seat.racer;
            if (!seat.carNumber.isEmpty())
                name = u'#' + seat.carNumber + u' ' + name;
            m_pen.text(inner.adjusted(0, 0, -etWidth - rtWidth - 2 * pad, 0), name, Qt::AlignLeft,
                       m_font, seat.winner);
            m_pen.text(
                QRectF(inner.right() - rtWidth - etWidth, inner.top(), etWidth, inner.height()),
                seat.elapsedTime, Qt::AlignRight, m_font, seat.winner);
            m_pen.text(QRectF(inner.right() - rtWidth, inner.top(), rtWidth, inner.height()),
                       seat.reactionTime, Qt::AlignRight, m_font);
        }
        if (!pair.note.isEmpty()) {
            const double h = std::min(m_pen.y(m_font * 1.4), (m_block - 2 * m_seat) * 0.45);
            m_pen.text(QRectF(x, y + m_seat, m_boxWidth, h), pair.note, Qt::AlignRight,
                       m_font * 0.85f, false, true);
        }
    }

    // The line from a pair to the seat its winner takes in the next round.
    void join(int r, int k, int page)
    {
        const double from = column(r) + m_boxWidth, mid = from + m_gap / 2;
        const double y = centre(r, k);
        m_pen.line({from, y}, {mid, y});
        if (pageOf(r + 1, k / 2) != page) {
            m_pen.text(QRectF(column(r + 1), y - m_seat / 2, m_boxWidth, m_seat),
                       QStringLiteral("%1: page %2").arg(m_sheet.rounds[r + 1].name).arg(page + 2),
                       Qt::AlignLeft, m_font, false, true);
            return;
        }
        const double to = centre(r + 1, k / 2) + (k % 2 == 0 ? -m_seat / 2 : m_seat / 2);
        m_pen.line({mid, y}, {mid, to});
        m_pen.line({mid, to}, {column(r + 1), to});
    }

    void drawWinner()
    {
        const int last = int(m_sheet.rounds.size()) - 1;
        const double x = column(last + 1), y = centre(last, 0);
        m_pen.line({column(last) + m_boxWidth, y}, {x, y});
        m_pen.text(QRectF(x, y - 2 * m_seat, m_boxWidth, m_seat * 1.5), QStringLiteral("Winner"),
                   Qt::AlignHCenter, 9, true);
        const QRectF box(x, y - m_seat / 2, m_boxWidth, m_seat);
        m_pen.box(box, m_sheet.winner.isEmpty() ? -1 : kColourLightGrey);
        m_pen.text(box.adjusted(m_pen.x(1.5), 0, -m_pen.x(1.5), 0), m_sheet.winner,
                   Qt::AlignHCenter, m_font, true);
    }

    Pen& m_pen;
    const BracketSheet& m_sheet;
    int m_perPage = 1;
    int m_pages = 1;
    double m_boxWidth = 0;
    double m_gap = 0;
    double m_top = 0;
    double m_block = 0;
    double m_seat = 0;
    double m_etEm = 0;
    double m_rtEm = 0;
    float m_font = 8;
};

} // namespace

int bracketPages(const BracketSheet& sheet)
{
    if (sheet.rounds.empty())
        return 1;
    const int pairs = int(sheet.rounds.front().pairs.size());
    return std::max(1, (pairs + kBracketPairsPerPage - 1) / kBracketPairsPerPage);
}

void printBracket(PrintSurface& surface, const BracketSheet& sheet)
{
    const KeptSettings kept(surface);
    Pen pen(surface, kLandscape);
    if (sheet.rounds.empty() || sheet.rounds.front().pairs.empty()) {
        heading(pen, sheet.eventName,
                QStringLiteral("Class: %1    No ladder drawn yet").arg(sheet.className));
        surface.endDocument();
        return;
    }
    BracketLayout layout(pen, sheet);
    const int pages = bracketPages(sheet);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            surface.newPage();
        layout.printPage(page);
    }
    surface.endDocument();
}

void printClassResults(PrintSurface& surface, const QString& eventName, const QString& className,
                       std::span<const ClassStanding> standings)
{
    const KeptSettings kept(surface);
    Pen pen(surface, kPortrait);
    // Place, car number, racer, round, best ET, best RT: shares of the page's width.
    const double shares[] = {0.09, 0.11, 0.44, 0.12, 0.12, 0.12};
    const int align[] = {Qt::AlignRight,   Qt::AlignLeft,  Qt::AlignLeft,
                         Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight};
    const QStringList titles = {QStringLiteral("Place"),   QStringLiteral("Car"),
                                QStringLiteral("Racer"),   QStringLiteral("Round"),
                                QStringLiteral("Best ET"), QStringLiteral("Best RT")};
    const double rowHeight = pen.y(15), pad = pen.x(4);
    const auto row = [&](double y, const QStringList& texts, bool title) {
        double x = 0;
        for (int c = 0; c < 6; ++c) {
            const double w = pen.width * shares[c];
            const QRectF box(x, y, w, rowHeight);
            pen.box(box, title ? kColourLightGrey : -1);
            pen.text(box.adjusted(pad, 0, -pad, 0), texts.value(c), align[c], 10, title);
            x += w;
        }
    };
    const auto pageStart = [&] {
        const double top = heading(
            pen, eventName, QStringLiteral("Class: ") + className + QStringLiteral("    Results"));
        row(top, titles, true);
        return top + rowHeight;
    };
    double y = pageStart();
    for (const ClassStanding& s : standings) {
        if (y + rowHeight > pen.height) {
            surface.newPage();
            y = pageStart();
        }
        row(y,
            {QString::number(s.place), s.carNumber, s.racer, s.round, timeText(s.bestElapsedTime),
             timeText(s.bestReactionTime)},
            false);
        y += rowHeight;
    }
    surface.endDocument();
}

} // namespace halvex
