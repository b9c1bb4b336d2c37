#include "reports/frmScoreboard.h"

#include "race/Colours.h"
#include "race/LabelColour.h"
#include "race/Scoreboard.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace halvex {

namespace {

// Row heights as parts of the window's height, top to bottom; the four result rows carry the
// times, whose type is at least a tenth of the window's height.
constexpr double kHeadingRow = 0.06;
constexpr double kNameRow = 0.09;
constexpr double kCarRow = 0.06;
constexpr double kHandicapRow = 0.05;
constexpr double kTimeRow = 0.135;
constexpr double kLastRaceRow = 0.04;
// Each lane's column as a part of the width; the headings take the rest between them.
constexpr double kLaneColumn = 0.39;
constexpr int kGap = 2;

void setPixelSize(QLabel* label, int pixels)
{
    QFont f = label->font();
    f.setPixelSize(std::max(1, pixels));
    label->setFont(f);
}

// The largest type up to the given size in which the label's text fits its width: names are as
// long as the racers make them, and a cut name is worse than a smaller one.
void fitPixelSize(QLabel* label, int pixels)
{
    setPixelSize(label, pixels);
    const int room = label->width() - 2 * kGap;
    const int wide = label->fontMetrics().horizontalAdvance(label->text());
    if (room > 0 && wide > room)
        setPixelSize(label, pixels * room / wide);
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
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
    lblDragRacingClass->setText(m_board.classHeading());
    lblRaceTitle->setText(m_board.raceTitle());
    lblMPH->setText(m_board.speedHeading());
    QLabel* const names[2] = {lblNameLeft, lblNameRight};
    QLabel* const cars[2] = {lblCarLeft, lblCarRight};
    QLabel* const handicaps[2] = {lblLeftDialin, lblRightDialin};
    QLabel* const rts[2] = {lblLeftRT, lblRightRT};
    QLabel* const ets[2] = {lblLeftET, lblRightET};
    QLabel* const speeds[2] = {lblLeftMPH, lblRightMPH};
    QLabel* const margins[2] = {lblLeftWM, lblRightWM};
    for (int i = 0; i < 2; ++i) {
        const BoardLane& lane = lanes[i];
        names[i]->setText(lane.racer);
        cars[i]->setText(lane.car);
        handicaps[i]->setText(lane.handicap);
        rts[i]->setText(lane.reactionTime);
        ets[i]->setText(lane.elapsedTime);
        speeds[i]->setText(lane.speed);
        margins[i]->setText(lane.winMargin);
        setBackColour(names[i], lane.nameColour);
        setBackColour(cars[i], lane.carColour);
        setBackColour(rts[i], lane.reactionTimeColour);
        setBackColour(ets[i], lane.elapsedTimeColour);
    }
    const QList<BoardRace>& races = m_board.lastRaces();
    for (qsizetype row = 0; row < qsizetype(lblLastRaces.size()); ++row) {
        auto& cells = lblLastRaces[row];
        const BoardRace race = row < races.size() ? races[row] : BoardRace{};
        const Lane lanesOf[2] = {Lane::Left, Lane::Right};
        for (int i = 0; i < 2; ++i) {
            QLabel* cell = cells[i == 0 ? 0 : 2];
            cell->setText(race.racers[i].isEmpty() && race.elapsedTimes[i].isEmpty()
                              ? QString()
                              : race.racers[i] + QStringLiteral("   ") + race.elapsedTimes[i]);
            setTextColour(cell, race.winner == lanesOf[i] ? colourOf(kColourGreen) : Qt::white);
        }
        cells[1]->setText(race.title);
    }
    place();
}

void frmScoreboard::place()
{
    const int w = width();
    const int h = height();
    const int lane = int(w * kLaneColumn);
    const int middle = w - 2 * lane;
    int y = 0;
    // One row: the left lane's label, the heading between, the right lane's label.
    auto row = [&](double part, QLabel* left, QLabel* centre, QLabel* right) {
        const int rowHeight = int(std::lround(h * part));
        const int inner = rowHeight - 2 * kGap;
        if (left)
            left->setGeometry(kGap, y + kGap, lane - 2 * kGap, inner);
        if (centre)
            centre->setGeometry(lane + kGap, y + kGap, middle - 2 * kGap, inner);
        if (right)
            right->setGeometry(lane + middle + kGap, y + kGap, lane - 2 * kGap, inner);
        y += rowHeight;
    };
    const int half = w / 2;
    const int headingHeight = int(std::lround(h * kHeadingRow));
    lblDragRacingClass->setGeometry(kGap, kGap, half - 2 * kGap, headingHeight - 2 * kGap);
    lblRaceTitle->setGeometry(half + kGap, kGap, w - half - 2 * kGap, headingHeight - 2 * kGap);
    y = headingHeight;
    row(kNameRow, lblNameLeft, nullptr, lblNameRight);
    row(kCarRow, lblCarLeft, nullptr, lblCarRight);
    row(kHandicapRow, lblLeftDialin, nullptr, lblRightDialin);
    row(kTimeRow, lblLeftRT, lblRT, lblRightRT);
    row(kTimeRow, lblLeftET, lblET, lblRightET);
    row(kTimeRow, lblLeftMPH, lblMPH, lblRightMPH);
    row(kTimeRow, lblLeftWM, lblWinMargin, lblRightWM);
    for (auto& cells : lblLastRaces)
        row(kLastRaceRow, cells[0], cells[1], cells[2]);

    // The results in large type: never less than a tenth of the height, whatever the width.
    const int times = int(std::ceil(h / 10.0));
    for (QLabel* label : {lblLeftRT, lblRightRT, lblLeftET, lblRightET, lblLeftMPH, lblRightMPH,
                          lblLeftWM, lblRightWM})
        setPixelSize(label, times);
    const auto scaled = [h](double part) { return int(std::lround(h * part)); };
    for (QLabel* label : {lblDragRacingClass, lblRaceTitle})
        fitPixelSize(label, scaled(0.045));
    for (QLabel* label : {lblNameLeft, lblNameRight})
        fitPixelSize(label, scaled(0.07));
    for (QLabel* label : {lblCarLeft, lblCarRight})
        fitPixelSize(label, scaled(0.045));
    for (QLabel* label : {lblLeftDialin, lblRightDialin, lblRT, lblET, lblMPH, lblWinMargin})
        fitPixelSize(label, scaled(0.035));
    for (auto& cells : lblLastRaces) {
        for (QLabel* cell : cells)
            fitPixelSize(cell, scaled(0.03));
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
