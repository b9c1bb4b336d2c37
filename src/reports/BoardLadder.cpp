#include "reports/BoardLadder.h"

#include "race/Colours.h"
#include "race/LabelColour.h"
#include "race/LadderColumns.h"
#include "reports/BoardText.h"
#include "reports/BracketSheet.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace halvex {

namespace {

const QColor kRoundColour(0xe0, 0xe0, 0xe0);
const QColor kLoserColour(0x90, 0x90, 0x90);

// What a seat's line says: the racer and the time; an empty seat beside a racer takes the pair's
// note ("Bye"), and a seat still waiting for its racer says nothing.
QString seatName(const BracketPair& pair, int seat)
{
    const QString& racer = pair.seats[std::size_t(seat)].racer;
    if (!racer.isEmpty() || pair.seats[std::size_t(1 - seat)].racer.isEmpty())
        return racer;
    return pair.note;
}

} // namespace

BoardLadder::BoardLadder(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ladder"));
}

QLabel* BoardLadder::label(std::size_t index)
{
    while (m_labels.size() <= index) {
        auto* made = new QLabel(this);
        made->setObjectName(QStringLiteral("lblLadder%1").arg(m_labels.size()));
        QFont f = made->font();
        f.setBold(true);
        made->setFont(f);
        m_labels.push_back(made);
    }
    return m_labels[index];
}

void BoardLadder::draw(const BracketSheet& sheet, int pixels)
{
    std::size_t used = 0;
    QLabel* const sample = label(0);
    setPixelSize(sample, pixels);
    const QFontMetrics metrics = sample->fontMetrics();
    const int line = lineHeight(sample, pixels);
    const int lines = height() / line;
    // A round's column needs room for a time and a few letters of a name.
    const int narrowest = 2 * metrics.horizontalAdvance(QStringLiteral("0.000  "));
    const auto columns = ladderColumns(sheet, (lines - 1) / 2, std::max(1, width() / narrowest));
    const int columnWidth = columns.empty() ? 0 : width() / int(columns.size());
    const int room = columnWidth - 2 * kBoardGap;
    auto put = [&](const QString& text, int x, int y, const QColor& colour) {
        QLabel* l = label(used++);
        setPixelSize(l, pixels);
        l->setText(text);
        setTextColour(l, colour);
        l->setGeometry(x + kBoardGap, y + kBoardGap, room, line - 2 * kBoardGap);
        l->show();
    };
    const int pairsHeight = (lines - 1) * line;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const LadderColumn& column = columns[c];
        const auto& round = sheet.rounds[std::size_t(column.round)];
        const int x = int(c) * columnWidth;
        put(metrics.elidedText(round.name, Qt::ElideRight, room), x, 0, kRoundColour);
        // Each pair sits level with the pairs it takes its racers from.
        const int slot = pairsHeight / std::max(1, column.endPair - column.firstPair);
        for (int p = column.firstPair; p < column.endPair; ++p) {
            const BracketPair& pair = round.pairs[std::size_t(p)];
            const bool decided = pair.seats[0].winner || pair.seats[1].winner;
            const int top = line + (p - column.firstPair) * slot + (slot - 2 * line) / 2;
            for (int s = 0; s < 2; ++s) {
                const BracketSeat& seat = pair.seats[std::size_t(s)];
                const QString tail = seat.elapsedTime.isEmpty()
                                         ? QString()
                                         : QStringLiteral("  ") + seat.elapsedTime;
                const QColor colour = seat.winner ? colourOf(kColourGreen)
                                      : decided   ? kLoserColour
                                                  : QColor(Qt::white);
                put(fitName(metrics, seatName(pair, s), tail, room), x, top + s * line, colour);
            }
        }
    }
    for (std::size_t i = used; i < m_labels.size(); ++i)
        m_labels[i]->hide();
}

} // namespace halvex
