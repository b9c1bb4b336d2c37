#pragma once

#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/SerialPort.h"

#include <QQueue>

namespace halvex::test {

// A clock whose seconds move on by a fixed step each time they are read, so time limits run out
// at once.
class SteppingClock final : public Clock
{
public:
    QDateTime current = QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0));
    int stepSeconds = 0;
    int reads = 0;

    QDateTime now() override { return current; }
    qint64 elapsedSeconds() override
    {
        ++reads;
        const qint64 t = seconds;
        seconds += stepSeconds;
        return t;
    }
    qint64 seconds = 0;
};

// Hands out the given draws in order; when they run out, 0.5.
class QueuedRandom final : public Random
{
public:
    QQueue<float> draws;
    int reseeds = 0;

    void queue(std::initializer_list<float> values)
    {
        for (float v : values)
            draws.enqueue(v);
    }
    float next() override { return draws.isEmpty() ? 0.5f : draws.dequeue(); }
    void reseed() override { ++reseeds; }
};

// An in-memory port: what the program writes is collected, what the unit would send is queued.
class MemoryPort final : public SerialPort
{
public:
    bool opened = false;
    bool openFails = false;
    int number = 0;
    QList<QByteArray> writes;
    QByteArray incoming;
    // Bytes that arrive when the program next waits (the unit answering after a command).
    QByteArray answerOnWait;

    void setPortNumber(int n) override { number = n; }
    int portNumber() const override { return number; }
    void open() override;
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void write(const QByteArray& bytes) override;
    qint64 bytesWaiting() override { return incoming.size(); }
    QByteArray readAll() override
    {
        const QByteArray b = incoming;
        incoming.clear();
        return b;
    }
    void discardInput() override { incoming.clear(); }
    bool waitForBytes(int) override
    {
        if (answerOnWait.isEmpty())
            return false;
        incoming += answerOnWait;
        answerOnWait.clear();
        return true;
    }
    QByteArray written() const { return writes.join(); }
};

} // namespace halvex::test
