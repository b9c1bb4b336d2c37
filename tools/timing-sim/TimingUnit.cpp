#include "TimingUnit.h"

#include "RaceDraw.h"

#include <algorithm>

namespace halvex::sim {

namespace {

constexpr qint64 kFullTree = 15000; // 1/10000 s: three ambers half a second apart
constexpr qint64 kRunLimit = 20000; // 1/10000 s a lane may take before the unit gives up
constexpr qint64 kLongestWait = 100000;

} // namespace

QByteArray formatReply(const QList<qint32>& fields, bool malformed)
{
    QByteArray reply;
    for (const qint32 field : fields) {
        reply += QByteArray::number(field);
        reply += '\n';
    }
    reply += malformed ? "!\r\n" : "!\n";
    return reply;
}

std::pair<qint32, qint32> passMasks(std::chrono::milliseconds elapsed,
                                    std::chrono::milliseconds step)
{
    // Each sensor's left-lane bit in mask 1 or 2, along the strip; the right lane's is the next.
    static constexpr std::pair<int, qint32> kStrip[] = {{1, 4}, {1, 16}, {1, 64}, {2, 4},
                                                        {1, 1}, {2, 16}, {2, 64}};
    constexpr qint64 kPositions = std::size(kStrip) + 1; // the last: past the finish
    const qint64 at = elapsed.count() / std::max<qint64>(step.count(), 1) % kPositions;
    std::pair<qint32, qint32> masks{0, 0};
    const auto block = [&](qint64 position, int lane) {
        if (position >= qint64(std::size(kStrip)))
            return;
        const auto [mask, bit] = kStrip[position];
        (mask == 1 ? masks.first : masks.second) |= bit << lane;
    };
    block(at, 0);
    block((at + kPositions - 1) % kPositions, 1);
    return masks;
}

TimingUnit::TimingUnit(quint32 seed) : m_random(seed) {}

std::optional<Answer> TimingUnit::handle(const QByteArray& command)
{
    if (!command.endsWith('\n')) {
        return std::nullopt;
    }
    const QByteArray text = command.chopped(1);
    if (text.startsWith("A\n")) {
        takeHandicap(text);
        return std::nullopt;
    }
    if (text.startsWith('B')) {
        bool ok = false;
        const qint32 countdown = text.mid(1).toInt(&ok);
        if (ok) {
            m_countdown = countdown;
        }
        return std::nullopt;
    }
    if (m_settings.silent) {
        return std::nullopt;
    }
    if (text == "N" || text == "P") {
        return raceAnswer(text == "P");
    }
    if (text == "T") {
        Answer answer;
        std::pair<qint32, qint32> masks{m_settings.mask1, m_settings.mask2};
        if (m_settings.passStep) {
            const auto now = std::chrono::steady_clock::now();
            if (!m_passStart)
                m_passStart = now;
            masks =
                passMasks(std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_passStart),
                          *m_settings.passStep);
        }
        answer.bytes = m_settings.rawDiagReply.value_or(
            formatReply({masks.first, masks.second}, m_settings.malformed));
        answer.delay = m_settings.answerDelay.value_or(std::chrono::milliseconds{0});
        return answer;
    }
    return std::nullopt;
}

Answer TimingUnit::raceAnswer(bool proTree)
{
    Answer answer;
    QList<qint32> fields;
    if (m_settings.rawRaceReply) {
        answer.bytes = *m_settings.rawRaceReply;
    } else {
        fields = m_settings.raceFields ? *m_settings.raceFields : drawRace(m_random);
        answer.bytes = formatReply(fields, m_settings.malformed);
    }
    answer.delay = m_settings.answerDelay.value_or(raceDuration(fields, proTree));
    return answer;
}

std::chrono::milliseconds TimingUnit::raceDuration(const QList<qint32>& fields, bool proTree) const
{
    const auto lane = [&](qsizetype finishIndex, qint32 held) {
        const qint32 finish = fields.value(finishIndex, 0);
        return qint64{held} + (finish > 0 ? qint64{finish} : kRunLimit);
    };
    const qint64 tree = proTree ? qint64{m_countdown} : kFullTree;
    const qint64 units = tree + std::max(lane(12, m_delayLeft), lane(13, m_delayRight));
    return std::chrono::milliseconds{std::clamp<qint64>(units, 0, kLongestWait) / 10};
}

void TimingUnit::takeHandicap(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != 3) {
        return;
    }
    bool leftOk = false;
    bool rightOk = false;
    const qint32 left = lines.at(1).toInt(&leftOk);
    const qint32 right = lines.at(2).toInt(&rightOk);
    if (leftOk && rightOk) {
        m_delayLeft = left;
        m_delayRight = right;
    }
}

} // namespace halvex::sim
