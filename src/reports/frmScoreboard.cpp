#include "reports/frmScoreboard.h"

#include "race/Colours.h"
#include "race/LabelColour.h"
#include "race/Scoreboard.h"
#include "reports/BoardLadder.h"
#include "reports/BoardText.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace halvex {

namespace {

constexpr int kGap = kBoardGap;
// The captions between the lanes may take up to this part of the width; a window narrower than
// that (taller than a screen is wide) sets them smaller than the least type instead.
constexpr double kMiddleColumn = 0.34;
constexpr double kNameType = 0.07;
const QString kLastRaceGap = QStringLiteral("   ");

// The largest type up to the given size in which the label's text fits its width; for the texts
// the board cannot shorten (times, captions, words), which fit at the least type on any screen
// wider than tall.
void fitPixelSize(QLabel* label, int pixels)
{
    setPixelSize(label, pixels);
    const int room = label->contentsRect().width();
    const int wide = label->fontMetrics().horizontalAdvance(label->text());
    if (room > 0 && wide > room)
        setPixelSize(label, pixels * room / wide);
}

// A name or a heading at the given size, shortened with "…" where it does not fit.
void setFitted(QLabel* label, int pixels, const QString& text, const QString& tail = {})
{
    setPixelSize(label, pixels);
    label->setText(fitName(label->fontMetrics(), text, tail, label->contentsRect().width()));
}

} // namespace

frmScoreboard::frmScoreboard(const Scoreboard& board, QWidget* parent)
    : QWidget(parent, Qt::Window), m_board(board)
{
    setObjectName(QStringLiteral("frmScoreboard"));
    setWindowTitle(QStringLiteral("Scoreboard"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Opened for the crowd, it leaves the operator's keyboard where it was.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMinimumSize(480, 300);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    buildControls();
    connect(&m_board, &Scoreboard::changed, this, &frmScoreboard::draw);
    draw();
}

void frmScoreboard::buildControls()
{
    auto make = [this](QLabel*& label, const char* name, const QString& text = {}) {
        label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setAlignment(Qt::AlignCenter);
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
        setBackColour(label, kColourLightGrey);
    };
    auto heading = [&make](QLabel*& label, const char* name, const QString& text = {}) {
        make(label, name, text);
        label->setAutoFillBackground(false);
        setTextColour(label, Qt::white);
    };
    heading(lblDragRacingClass, "lblDragRacingClass");
    heading(lblRaceTitle, "lblRaceTitle");
    make(lblNameLeft, "lblNameLeft");
    make(lblNameRight, "lblNameRight");
    make(lblCarLeft, "lblCarLeft");
    make(lblCarRight, "lblCarRight");
    heading(lblLeftDialin, "lblLeftDialin");
    heading(lblRightDialin, "lblRightDialin");
    make(lblLeftRT, "lblLeftRT");
    heading(lblRT, "lblRT", QStringLiteral("Reaction Time"));
    make(lblRightRT, "lblRightRT");
    make(lblLeftET, "lblLeftET");
    heading(lblET, "lblET", QStringLiteral("Elapsed Time"));
    make(lblRightET, "lblRightET");
    make(lblLeftMPH, "lblLeftMPH");
    heading(lblMPH, "lblMPH");
    make(lblRightMPH, "lblRightMPH");
    make(lblLeftWM, "lblLeftWM");
    heading(lblWinMargin, "lblWinMargin", QStringLiteral("Finish Margin"));
    make(lblRightWM, "lblRightWM");
    make(lblLeftVerdict, "lblLeftVerdict");
    make(lblRightVerdict, "lblRightVerdict");
    heading(lblOnDeck, "lblOnDeck");
    ladder = new BoardLadder(this);
    for (std::size_t row = 0; row < lblLastRaces.size(); ++row) {
        for (std::size_t col = 0; col < 3; ++col) {
            QLabel*& cell = lblLastRaces[row][col];
            heading(cell, "lblLastRace");
            cell->setObjectName(QStringLiteral("lblLastRace%1_%2").arg(row).arg(col));
            cell->setFont([cell] {
                QFont f = cell->font();
                f.setBold(false);
                return f;
            }());
        }
    }
}

void frmScoreboard::draw()
{
    const auto& lanes = m_board.lanes();
    lblMPH->setText(m_board.speedHeading());
    QLabel* const names[2] = {lblNameLeft, lblNameRight};
    QLabel* const cars[2] = {lblCarLeft, lblCarRight};
    QLabel* const handicaps[2] = {lblLeftDialin, lblRightDialin};
    QLabel* const rts[2] = {lblLeftRT, lblRightRT};
    QLabel* const ets[2] = {lblLeftET, lblRightET};
    QLabel* const speeds[2] = {lblLeftMPH, lblRightMPH};
    QLabel* const margins[2] = {lblLeftWM, lblRightWM};
    QLabel* const verdicts[2] = {lblLeftVerdict, lblRightVerdict};
    for (int i = 0; i < 2; ++i) {
        const BoardLane& lane = lanes[i];
        handicaps[i]->setText(lane.handicap);
        rts[i]->setText(lane.reactionTime);
        ets[i]->setText(lane.elapsedTime);
        speeds[i]->setText(lane.speed);
        margins[i]->setText(lane.winMargin);
        verdicts[i]->setText(lane.verdict);
        verdicts[i]->setVisible(!lane.verdict.isEmpty());
        setBackColour(names[i], lane.nameColour);
        setBackColour(cars[i], lane.carColour);
        setBackColour(rts[i], lane.reactionTimeColour);
        setBackColour(ets[i], lane.elapsedTimeColour);
        setBackColour(verdicts[i], lane.verdictColour);
    }
    const QList<BoardRace>& races = m_board.lastRaces();
    for (qsizetype row = 0; row < qsizetype(lblLastRaces.size()); ++row) {
        const Lane lanesOf[2] = {Lane::Left, Lane::Right};
        const Lane winner = row < races.size() ? races[row].winner : Lane::None;
        for (int i = 0; i < 2; ++i)
            setTextColour(lblLastRaces[row][i == 0 ? 0 : 2],
                          winner == lanesOf[i] ? colourOf(kColourGreen) : Qt::white);
    }
    lblOnDeck->setVisible(!m_board.onDeckLine().isEmpty());
    ladder->setVisible(m_board.ladder().has_value());
    place();
}

// Rows top to bottom: the class and the race, the names, the cars, the handicaps (when a lane has
// one), the words of the result, the four times, the pair on deck (when there is one), then five
// lines of last races or the ladder. Every row but the times' holds one line of the least type;
// the times take what is left, up to a tenth of the height, and the names any rest.
void frmScoreboard::place()
{
    const int w = width();
    const int h = height();
    const int least = int(std::ceil(h / 20.0));
    const int most = int(std::ceil(h / 10.0));

    QLabel* const captions[] = {lblRT, lblET, lblMPH, lblWinMargin};
    int widest = 0;
    for (QLabel* label : captions) {
        setPixelSize(label, least);
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text()));
    }
    const int middle = std::min(widest + 4 * kGap, int(w * kMiddleColumn));
    const int lane = (w - middle) / 2;

    const int line = lineHeight(lblNameLeft, least);
    const bool handicaps = !lblLeftDialin->text().isEmpty() || !lblRightDialin->text().isEmpty();
    const bool onDeck = lblOnDeck->isVisibleTo(this);
    const int rest = h - line * (4 + int(handicaps) + int(onDeck) + Scoreboard::kLastRaces);
    int times = most;
    while (times > least && 4 * lineHeight(lblLeftRT, times) > rest)
        --times;
    const int spare = std::max(0, rest - 4 * lineHeight(lblLeftRT, times));
    int names = std::max(least, int(std::lround(h * kNameType)));
    while (names > least && lineHeight(lblNameLeft, names) > line + spare)
        --names;

    int y = 0;
    // One row: the left lane's label, the heading between, the right lane's label.
    auto row = [&](int rowHeight, QLabel* left, QLabel* centre, QLabel* right) {
        const int inner = rowHeight - 2 * kGap;
        if (left)
            left->setGeometry(kGap, y + kGap, lane - 2 * kGap, inner);
        if (centre)
            centre->setGeometry(lane + kGap, y + kGap, middle - 2 * kGap, inner);
        if (right)
            right->setGeometry(lane + middle + kGap, y + kGap, w - lane - middle - 2 * kGap, inner);
        y += rowHeight;
    };
    const int half = w / 2;
    lblDragRacingClass->setGeometry(kGap, kGap, half - 2 * kGap, line - 2 * kGap);
    lblRaceTitle->setGeometry(half + kGap, kGap, w - half - 2 * kGap, line - 2 * kGap);
    y = line;
    row(lineHeight(lblNameLeft, names), lblNameLeft, nullptr, lblNameRight);
    row(line, lblCarLeft, nullptr, lblCarRight);
    lblLeftDialin->setVisible(handicaps);
    lblRightDialin->setVisible(handicaps);
    if (handicaps)
        row(line, lblLeftDialin, nullptr, lblRightDialin);
    row(line, lblLeftVerdict, nullptr, lblRightVerdict);
    const int timeRow = lineHeight(lblLeftRT, times);
    row(timeRow, lblLeftRT, lblRT, lblRightRT);
    row(timeRow, lblLeftET, lblET, lblRightET);
    row(timeRow, lblLeftMPH, lblMPH, lblRightMPH);
    row(timeRow, lblLeftWM, lblWinMargin, lblRightWM);
    if (onDeck) {
        lblOnDeck->setGeometry(kGap, y + kGap, w - 2 * kGap, line - 2 * kGap);
        y += line;
    }

    for (QLabel* label : {lblLeftRT, lblRightRT, lblLeftET, lblRightET, lblLeftMPH, lblRightMPH,
                          lblLeftWM, lblRightWM})
        fitPixelSize(label, times);
    for (QLabel* label : captions)
        fitPixelSize(label, least);
    for (QLabel* label : {lblLeftDialin, lblRightDialin, lblLeftVerdict, lblRightVerdict})
        fitPixelSize(label, least);
    const auto& lanes = m_board.lanes();
    setFitted(lblDragRacingClass, least, m_board.classHeading());
    setFitted(lblRaceTitle, least, m_board.raceTitle());
    setFitted(lblNameLeft, names, lanes[0].racer);
    setFitted(lblNameRight, names, lanes[1].racer);
    setFitted(lblCarLeft, least, lanes[0].car);
    setFitted(lblCarRight, least, lanes[1].car);
    // Shortened in the middle, so that the crowd still reads both racers' names in part.
    setPixelSize(lblOnDeck, least);
    lblOnDeck->setText(lblOnDeck->fontMetrics().elidedText(m_board.onDeckLine(), Qt::ElideMiddle,
                                                           lblOnDeck->contentsRect().width()));

    if (m_board.ladder()) {
        ladder->setGeometry(0, y, w, h - y);
        ladder->draw(*m_board.ladder(), least);
    }
    const QList<BoardRace>& races = m_board.lastRaces();
    for (qsizetype r = 0; r < qsizetype(lblLastRaces.size()); ++r) {
        auto& cells = lblLastRaces[r];
        // A window too small for every row at the least type drops the oldest races, rather
        // than cut a line in half at its bottom edge.
        const bool shown = !m_board.ladder() && y + line <= h;
        for (QLabel* cell : cells)
            cell->setVisible(shown);
        if (!shown)
            continue;
        row(line, cells[0], cells[1], cells[2]);
        const BoardRace race = r < races.size() ? races[r] : BoardRace{};
        for (int i = 0; i < 2; ++i) {
            const bool empty = race.racers[i].isEmpty() && race.elapsedTimes[i].isEmpty();
            setFitted(cells[i == 0 ? 0 : 2], least, race.racers[i],
                      empty ? QString() : kLastRaceGap + race.elapsedTimes[i]);
        }
        setFitted(cells[1], least, race.title);
    }
}

void frmScoreboard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

void frmScoreboard::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F11) {
        setFullScreen(!isFullScreen());
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmScoreboard::present(const QScreen* mainScreen)
{
    QScreen* other = nullptr;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != mainScreen) {
            other = screen;
            break;
        }
    }
    if (!other) {
        resize(1024, 640);
        show();
        return;
    }
    winId();
    windowHandle()->setScreen(other);
    m_normalGeometry = QRect(other->geometry().topLeft() + QPoint(40, 40), QSize(1024, 640));
    setGeometry(other->geometry());
    setFullScreen(true);
}

void frmScoreboard::setFullScreen(bool on)
{
    if (on) {
        if (!isFullScreen() && isVisible())
            m_normalGeometry = geometry();
        // A projector's machine may run without a window manager, which is what otherwise
        // sizes a full screen window to its screen. (Sized after, the window would leave full
        // screen again.)
        setGeometry(screen()->geometry());
        showFullScreen();
        return;
    }
    showNormal();
    if (m_normalGeometry.isValid())
        setGeometry(m_normalGeometry);
}

} // namespace halvex
