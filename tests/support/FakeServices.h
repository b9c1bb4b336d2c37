#pragma once

#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/SerialPort.h"
#include "platform/Sound.h"

#include <QMap>
#include <QQueue>

namespace halvex::test {

// Notes every sound played instead of playing it.
class RecordedSound final : public Sound
{
public:
    QStringList played;
    void play(const QString& fileName) override { played.append(fileName); }
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

// An in-memory port: what the program writes is collected; what the unit sends back is queued,
// or answered from the event loop after a given command has been written, as a unit answers.
class MemoryPort final : public SerialPort
{
public:
    bool opened = false;
    int number = 0;
    QList<QByteArray> writes;
    QByteArray incoming;
    // Written bytes ("P\n") and the unit's answer to them.
    QMap<QByteArray, QByteArray> answers;
    // Written bytes that fail, as a device that stops answering fails them.
    QList<QByteArray> failing;

    void setPortNumber(int n) override { number = n; }
    int portNumber() const override { return number; }
    void open() override;
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void write(const QByteArray& bytes) override;
    qint64 bytesWaiting() override { return incoming.size(); }
    QByteArray readAll() override { return std::exchange(incoming, {}); }
    void discardInput() override { incoming.clear(); }
    // Cleared by a test to take the device away without a word from the port.
    bool present = true;
    bool devicePresent() const override { return opened && present; }
    QString deviceName() const override { return QStringLiteral("COM%1").arg(number); }
    // The device is pulled out: the port closes itself and says so.
    void loseDevice()
    {
        opened = false;
        Q_EMIT deviceLost();
    }

    // Bytes arriving now, announced from the event loop.
    void arrive(const QByteArray& bytes);
    QByteArray written() const { return writes.join(); }
};

} // namespace halvex::test
