#include "data/Numbers.h"
#include "event/ResultsPage.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

namespace halvex {

namespace {

// Phones first: the page is one column, and a table wider than the screen scrolls sideways in
// its own box instead of widening the page.
const QString kStyle = QStringLiteral(
    "body{font-family:system-ui,-apple-system,'Segoe UI',Roboto,sans-serif;margin:0;"
    "padding:.75em;color:#111;background:#fff;line-height:1.35}"
    "h1{font-size:1.4em;margin:0 0 .2em}"
    "h2{font-size:1.2em;margin:1.4em 0 .4em;padding-bottom:.1em;border-bottom:2px solid #b00}"
    "h3{font-size:1em;margin:1em 0 .3em}"
    ".meta{color:#555;font-size:.9em;margin:0}"
    ".calls{list-style:none;padding:0;margin:.8em 0}"
    ".calls li{padding:.35em .6em;margin:.25em 0;background:#f2f2f2;border-left:4px solid #888}"
    ".calls li.now{border-color:#080;background:#e8f5e8}"
    ".winner{font-weight:bold;font-size:1.05em}"
    ".scroll{overflow-x:auto;max-width:100%}"
    "table{border-collapse:collapse;font-size:.9em;white-space:nowrap}"
    "th,td{padding:.25em .5em;text-align:left;border-bottom:1px solid #ddd}"
    "th{background:#f2f2f2}"
    "td.n{text-align:right;font-variant-numeric:tabular-nums}"
    "tr.bump td{border-bottom:3px solid #b00}"
    "tr.out td{color:#888}"
    "tr.void td{text-decoration:line-through;color:#888}"
    ".win{font-weight:bold}");

QString esc(const QString& text)
{
    // A control character (a name typed or imported with one) has no place in XML: the page
    // would stop parsing there.
    QString clean = text;
    for (QChar& c : clean)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            c = QChar::ReplacementCharacter;
    return clean.toHtmlEscaped();
}

QString esc(const QJsonValue& value)
{
    return esc(value.toString());
}

// A number of the document as the system prints it ("7.100"); empty for none.
QString number(const QJsonValue& value, int decimals)
{
    if (!value.isDouble())
        return {};
    // The document holds singles: the page rounds the single, as every other report does.
    return fixed(double(float(value.toDouble())), decimals);
}

class Page
{
public:
    void line(const QString& html) { m_html += html + u'\n'; }

    void table(const QStringList& heads, const std::vector<QString>& rows)
    {
        line(QStringLiteral("<div class=\"scroll\"><table>"));
        QString head = QStringLiteral("<tr>");
        for (const QString& h : heads)
            head += QStringLiteral("<th>") + esc(h) + QStringLiteral("</th>");
        line(head + QStringLiteral("</tr>"));
        for (const QString& row : rows)
            line(row);
        line(QStringLiteral("</table></div>"));
    }

    QByteArray bytes() const { return m_html.toUtf8(); }

private:
    QString m_html;
};

// A cell's escaped text; numbers are aligned right.
struct Cell
{
    QString html;
    bool numeric = false;
};

Cell text(const QJsonValue& value)
{
    return {esc(value)};
}

Cell num(const QJsonValue& value, int decimals)
{
    return {number(value, decimals), true};
}

Cell whole(const QJsonValue& value)
{
    return {value.isDouble() ? QString::number(value.toInt()) : QString(), true};
}

QString row(const std::vector<Cell>& cells, const QString& rowClass = {})
{
    QString html = rowClass.isEmpty() ? QStringLiteral("<tr>")
                                      : QStringLiteral("<tr class=\"%1\">").arg(rowClass);
    for (const Cell& cell : cells)
        html += (cell.numeric ? QStringLiteral("<td class=\"n\">") : QStringLiteral("<td>")) +
                cell.html + QStringLiteral("</td>");
    return html + QStringLiteral("</tr>");
}

void standingsTable(Page& page, const QJsonArray& standings)
{
    if (standings.isEmpty())
        return;
    std::vector<QString> rows;
    for (const QJsonValue v : standings) {
        const QJsonObject s = v.toObject();
        rows.push_back(
            row({whole(s[u"place"]), text(s[u"racer"]), text(s[u"car"]), text(s[u"number"]),
                 text(s[u"round"]), num(s[u"bestEt"], 3), num(s[u"bestRt"], 3)}));
    }
    page.line(QStringLiteral("<h3>Results</h3>"));
    page.table({QStringLiteral("Place"), QStringLiteral("Racer"), QStringLiteral("Car"),
                QStringLiteral("No."), QStringLiteral("Round"), QStringLiteral("Best ET"),
                QStringLiteral("Best RT")},
               rows);
}

std::vector<Cell> seatCells(const QJsonValue& seat)
{
    if (!seat.isObject())
        return {{}, {}, {}};
    const QJsonObject s = seat.toObject();
    QString name = esc(s[u"racer"]);
    if (!s[u"number"].toString().isEmpty())
        name += QStringLiteral(" #") + esc(s[u"number"]);
    if (s[u"winner"].toBool())
        name = QStringLiteral("<span class=\"win\">") + name + QStringLiteral("</span>");
    return {{name}, {esc(s[u"etText"]), true}, {esc(s[u"rtText"]), true}};
}

void ladderTable(Page& page, const QJsonValue& ladder)
{
    if (!ladder.isObject())
        return;
    std::vector<QString> rows;
    const QJsonArray rounds = ladder[u"rounds"].toArray();
    for (const QJsonValue r : rounds) {
        const QJsonArray pairs = r[u"pairs"].toArray();
        for (const QJsonValue p : pairs) {
            std::vector<Cell> cells{text(r[u"name"]), whole(p[u"pair"])};
            for (const char16_t* seat : {u"left", u"right"})
                for (Cell& cell : seatCells(p[seat]))
                    cells.push_back(std::move(cell));
            cells.push_back(text(p[u"note"]));
            rows.push_back(row(cells));
        }
    }
    page.line(QStringLiteral("<h3>Ladder</h3>"));
    page.table({QStringLiteral("Round"), QStringLiteral("Pair"), QStringLiteral("Left"),
                QStringLiteral("ET"), QStringLiteral("RT"), QStringLiteral("Right"),
                QStringLiteral("ET"), QStringLiteral("RT"), QStringLiteral("Note")},
               rows);
}

void qualifyingTable(Page& page, const QJsonArray& order, bool handicap)
{
    if (order.isEmpty())
        return;
    std::vector<QString> rows;
    for (const QJsonValue v : order) {
        const QJsonObject q = v.toObject();
        std::vector<Cell> cells{whole(q[u"position"]), text(q[u"racer"]), text(q[u"car"]),
                                text(q[u"number"]), num(q[u"et"], 3)};
        if (handicap)
            cells.push_back(num(q[u"margin"], 3));
        // The bump spot's row carries the line the others must get above.
        rows.push_back(row(cells, q[u"bumpSpot"].toBool()   ? QStringLiteral("bump")
                                  : !q[u"inField"].toBool() ? QStringLiteral("out")
                                                            : QString()));
    }
    page.line(QStringLiteral("<h3>Qualifying</h3>"));
    QStringList heads{QStringLiteral("Pos."), QStringLiteral("Racer"), QStringLiteral("Car"),
                      QStringLiteral("No."), QStringLiteral("ET")};
    if (handicap)
        heads << QStringLiteral("Margin");
    page.table(heads, rows);
}

void passesTable(Page& page, const QJsonArray& list)
{
    page.line(QStringLiteral("<h2>Passes</h2>"));
    if (list.isEmpty()) {
        page.line(QStringLiteral("<p>No pass has been run yet.</p>"));
        return;
    }
    std::vector<QString> rows;
    for (const QJsonValue v : list) {
        const QJsonObject p = v.toObject();
        QString outcome = esc(p[u"outcome"]);
        if (p[u"byHand"].toBool())
            outcome += QStringLiteral(", by hand");
        if (p[u"void"].toBool())
            outcome += QStringLiteral(", void");
        rows.push_back(row({text(p[u"class"]),
                            text(p[u"round"]),
                            whole(p[u"pair"]),
                            text(p[u"lane"]),
                            text(p[u"racer"]),
                            num(p[u"rt"], 3),
                            num(p[u"et"], 3),
                            num(p[u"speed"], 2),
                            {outcome}},
                           p[u"void"].toBool() ? QStringLiteral("void") : QString()));
    }
    page.table({QStringLiteral("Class"), QStringLiteral("Round"), QStringLiteral("Pair"),
                QStringLiteral("Lane"), QStringLiteral("Racer"), QStringLiteral("RT"),
                QStringLiteral("ET"), QStringLiteral("Speed"), QStringLiteral("Outcome")},
               rows);
}

} // namespace

QByteArray resultsHtml(const QJsonDocument& results)
{
    const QJsonObject doc = results.object();
    const QJsonObject event = doc[u"event"].toObject();
    Page page;
    page.line(QStringLiteral("<!DOCTYPE html>"));
    page.line(QStringLiteral("<html lang=\"en\">"));
    page.line(QStringLiteral("<head>"));
    page.line(QStringLiteral("<meta charset=\"utf-8\" />"));
    page.line(QStringLiteral(
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />"));
    page.line(QStringLiteral("<title>") + esc(event[u"name"]) +
              QStringLiteral(" - Results</title>"));
    page.line(QStringLiteral("<style>") + kStyle + QStringLiteral("</style>"));
    page.line(QStringLiteral("</head>"));
    page.line(QStringLiteral("<body>"));
    page.line(QStringLiteral("<h1>") + esc(event[u"name"]) + QStringLiteral("</h1>"));
    // "2026-12-06T20:15:00" reads as "2026-12-06 20:15".
    page.line(
        QStringLiteral("<p class=\"meta\">") + esc(event[u"date"]) + QStringLiteral(" - updated ") +
        esc(doc[u"generated"].toString().replace(u'T', u' ').left(16)) + QStringLiteral("</p>"));

    const std::pair<const char16_t*, const char*> calls[] = {
        {u"nowRacing", "Now racing"}, {u"onDeck", "On deck"}, {u"inTheHole", "In the hole"}};
    QStringList items;
    for (const auto& [key, caption] : calls)
        if (doc[key].isObject())
            items << QStringLiteral("<li%1><b>%2:</b> %3</li>")
                         .arg(key == calls[0].first ? QStringLiteral(" class=\"now\"") : QString(),
                              QLatin1String(caption), esc(doc[key][u"text"]));
    if (!items.isEmpty())
        page.line(QStringLiteral("<ul class=\"calls\">") + items.join(QString()) +
                  QStringLiteral("</ul>"));

    const QJsonArray classes = doc[u"classes"].toArray();
    for (const QJsonValue v : classes) {
        const QJsonObject c = v.toObject();
        page.line(QStringLiteral("<h2>") + esc(c[u"name"]) + QStringLiteral("</h2>"));
        const QJsonValue winner = c[u"ladder"][u"winner"];
        if (winner.isString())
            page.line(QStringLiteral("<p class=\"winner\">Winner: ") + esc(winner) +
                      QStringLiteral("</p>"));
        standingsTable(page, c[u"results"].toArray());
        ladderTable(page, c[u"ladder"]);
        qualifyingTable(page, c[u"qualifying"].toArray(), c[u"handicap"].toString() != u"heads-up");
        if (c[u"results"].toArray().isEmpty() && c[u"qualifying"].toArray().isEmpty())
            page.line(QStringLiteral("<p>No round has been run yet.</p>"));
    }
    passesTable(page, doc[u"passes"].toArray());
    page.line(QStringLiteral("</body>"));
    page.line(QStringLiteral("</html>"));
    return page.bytes();
}

} // namespace halvex
