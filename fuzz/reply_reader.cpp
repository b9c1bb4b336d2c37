// The timing unit's answer arriving one byte at a time through the command module's two reply
// readers, the race reply's and the diagnostics poll's: the reply is taken at the first end mark,
// and an answer without one runs into the time limit with the transmit message.

#include "FuzzInput.h"
#include "link/ModCommand.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "support/ScriptedPrompter.h"

#include <QEventLoop>
#include <QTimer>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// Hands over one byte per read, announcing each from the event loop; once everything has been
// read it announces once more with nothing waiting, and from then on the clock stands past any
// time limit.
class DripPort final : public SerialPort
{
public:
    QByteArray pending;
    bool silent = false;

    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void open() override {}
    void close() override {}
    bool isOpen() const override { return true; }
    void write(const QByteArray&) override {}
    qint64 bytesWaiting() override { return pending.size(); }
    QByteArray readAll() override
    {
        const QByteArray one = pending.left(1);
        pending.remove(0, 1);
        announce();
        return one;
    }
    void discardInput() override { pending.clear(); }
    bool devicePresent() const override { return true; }
    QString deviceName() const override { return QStringLiteral("drip"); }
    void announce()
    {
        QTimer::singleShot(0, this, [this] {
            if (pending.isEmpty())
                silent = true;
            Q_EMIT readyRead();
        });
    }
};

class DripClock final : public Clock
{
public:
    explicit DripClock(const DripPort& port) : m_port(port) {}
    QDateTime now() override { return {}; }
    qint64 elapsedMs() override { return m_port.silent ? qint64(1) << 40 : 0; }

private:
    const DripPort& m_port;
};

// What a reader made of the answer: at the first end mark the reply, parsed as a whole reply
// parses; without one, the time limit, and its message when the reader reports it itself (the
// diagnostics poll's does; a race shows it once the race is over).
template <typename Reply>
void checkRead(const QByteArray& answer, const DripPort& port, const QStringList& messages,
               bool timedOut, const std::optional<Reply>& reply, bool reportsTimeOut)
{
    const qsizetype mark = answer.indexOf("!\n");
    if (mark < 0) {
        check(timedOut && !reply, "an answer without its end mark times out");
        check(messages == (reportsTimeOut ? QStringList{kTransmitProblem} : QStringList()),
              "the time-out is reported once");
        return;
    }
    check(!timedOut && messages.isEmpty(), "a whole reply reports nothing");
    check(port.pending == answer.mid(mark + 2), "reading stops at the first end mark");
    Reply whole{};
    try {
        parseReply(QString::fromLatin1(answer.left(mark + 2)), kReplyValidChars, kReplyDelimiter,
                   std::span<qint32>(whole).subspan(1), 1);
    } catch (const Failure&) {
        check(!reply, "a reply past 32 bits is dropped");
        return;
    }
    check(reply && *reply == whole, "byte by byte reads as the reply at once");
}

// The answer dripped through one of the command module's readers, which must call back once.
struct Drip
{
    DripPort port;
    DripClock clock{port};
    test::ScriptedPrompter prompter;
    ModCommand command{port, prompter, clock};

    template <typename Read>
    Read read(const QByteArray& answer,
              void (ModCommand::*later)(QObject*, std::function<void(const Read&)>))
    {
        port.pending = answer;
        port.announce();
        QObject context;
        QEventLoop loop;
        int calls = 0;
        Read got;
        (command.*later)(&context, [&](const Read& r) {
            ++calls;
            got = r;
            loop.quit();
        });
        loop.exec();
        check(calls == 1, "a reader calls back once");
        return got;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray answer(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        // The diagnostics poll's reader keeps the event loop running and reports a time-out.
        Drip poll;
        const auto read = poll.read(answer, &ModCommand::ReadDiagReplyLater);
        checkRead(answer, poll.port, poll.prompter.texts(), read.timedOut, read.reply, true);
    }
    // The race's reader the same way; a number past 32 bits comes back as its failure.
    Drip race;
    const auto read = race.read(answer, &ModCommand::ReadRaceReplyLater);
    if (!read.failure.isEmpty()) {
        check(read.failure == QStringLiteral("Overflow"), "only an overflow fails a whole reply");
        check(!read.reply && answer.contains("!\n"), "a reply is parsed only once it is whole");
        return 0;
    }
    checkRead(answer, race.port, race.prompter.texts(), read.timedOut, read.reply, false);
    return 0;
}
