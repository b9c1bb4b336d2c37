#include "CommandSplitter.h"

namespace halvex::sim {

namespace {

// A start delay line as the program writes it: an optional minus, digits, line feed.
bool isDelayLine(const QByteArray& line)
{
    const qsizetype first = line.startsWith('-') ? 1 : 0;
    const qsizetype end = line.size() - 1; // without the line feed
    if (end <= first) {
        return false;
    }
    for (qsizetype i = first; i < end; ++i) {
        if (line.at(i) < '0' || line.at(i) > '9') {
            return false;
        }
    }
    return true;
}

} // namespace

QList<QByteArray> CommandSplitter::feed(const QByteArray& bytes)
{
    QList<QByteArray> done;
    for (const char c : bytes) {
        m_line += c;
        if (c == '\n') {
            takeLine(m_line, done);
            m_line.clear();
        }
    }
    return done;
}

void CommandSplitter::takeLine(const QByteArray& line, QList<QByteArray>& done)
{
    if (!m_handicap.isEmpty()) {
        if (isDelayLine(line)) {
            m_handicap += line;
            if (++m_delayLines == 2) {
                done.append(m_handicap);
                m_handicap.clear();
            }
            return;
        }
        // Any other line means the numbers are not coming: the short "A" is a command of its
        // own, so the log shows exactly what the program sent.
        done.append(m_handicap);
        m_handicap.clear();
    }
    if (line == "A\n") {
        m_handicap = line;
        m_delayLines = 0;
        return;
    }
    done.append(line);
}

} // namespace halvex::sim
