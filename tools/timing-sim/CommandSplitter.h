#pragma once

#include <QByteArray>
#include <QList>

namespace halvex::sim {

// Cuts the byte stream from the program into commands. A command is one line up to and
// including its line feed, except the handicap command: the line "A" and the two number lines
// that follow it (the left and right start delays) form one command, "A\n2500\n0\n". The
// program writes the letter and the numbers separately, so they may arrive in any chunks.
class CommandSplitter
{
public:
    // Takes the next received bytes; returns the commands they complete, in order, each with
    // every byte as received.
    QList<QByteArray> feed(const QByteArray& bytes);

    // Bytes of a command not yet complete: a line without its line feed, or an "A" still
    // waiting for its numbers.
    QByteArray unfinished() const { return m_handicap + m_line; }

private:
    void takeLine(const QByteArray& line, QList<QByteArray>& done);

    QByteArray m_line;
    QByteArray m_handicap; // "A\n" and the delay lines so far; empty while no "A" is open
    int m_delayLines = 0;
};

} // namespace halvex::sim
