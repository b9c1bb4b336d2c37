#include "UnitLink.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace halvex::sim {

UnitLink::UnitLink(int masterFd, TimingUnit unit)
    : m_master(masterFd), m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_unit(std::move(unit))
{
    if (m_wake < 0) {
        fail("eventfd");
    }
}

UnitLink::~UnitLink()
{
    if (m_wake >= 0) {
        ::close(m_wake);
    }
}

void UnitLink::updateUnit(const std::function<void(TimingUnit&)>& change)
{
    const std::lock_guard lock(m_mutex);
    change(m_unit);
}

void UnitLink::send(const QByteArray& bytes)
{
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back({bytes, Clock::now()});
    }
    const std::uint64_t one = 1;
    const ssize_t written = ::write(m_wake, &one, sizeof one);
    (void)written; // a full counter still wakes the loop
}

void UnitLink::stop()
{
    // Only what a signal handler may do: a lock-free store and write().
    m_stop.store(true);
    const std::uint64_t one = 1;
    const ssize_t written = ::write(m_wake, &one, sizeof one);
    (void)written;
}

QString UnitLink::errorString() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

void UnitLink::fail(const char* what)
{
    const QString error = QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
    const std::lock_guard lock(m_mutex);
    m_error = error;
    m_stop.store(true);
}

void UnitLink::run()
{
    while (!m_stop.load()) {
        takePosted();
        bool lineFull = false;
        if (!transmitDue(Clock::now(), lineFull)) {
            break;
        }

        pollfd fds[2] = {{m_master, static_cast<short>(POLLIN | (lineFull ? POLLOUT : 0)), 0},
                         {m_wake, POLLIN, 0}};
        timespec timeout{};
        timespec* wait = nullptr;
        if (!lineFull && !m_queue.empty()) {
            const auto left = std::max(Clock::duration::zero(), nextByteDue() - Clock::now());
            const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left);
            timeout.tv_sec = static_cast<time_t>(nanoseconds.count() / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(nanoseconds.count() % 1'000'000'000);
            wait = &timeout;
        }
        if (::ppoll(fds, 2, wait, nullptr) < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("ppoll");
            break;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            const ssize_t drained = ::read(m_wake, &count, sizeof count);
            (void)drained;
        }
        if (fds[0].revents & POLLIN) {
            if (!receive()) {
                break;
            }
        } else if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            errno = EIO;
            fail("pseudo-terminal");
            break;
        }
    }
}

void UnitLink::takePosted()
{
    std::vector<Transmission> posted;
    {
        const std::lock_guard lock(m_mutex);
        posted.swap(m_posted);
    }
    for (Transmission& transmission : posted) {
        enqueue(std::move(transmission));
    }
}

void UnitLink::enqueue(Transmission transmission)
{
    if (transmission.bytes.isEmpty()) {
        return;
    }
    // By time of their first byte; a transmission already on the line is never cut into.
    auto at = m_queue.begin();
    if (at != m_queue.end() && at->sent > 0) {
        ++at;
    }
    while (at != m_queue.end() && at->notBefore <= transmission.notBefore) {
        ++at;
    }
    m_queue.insert(at, std::move(transmission));
}

bool UnitLink::receive()
{
    char buffer[4096];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return true;
        }
        fail("read");
        return false;
    }
    const auto now = Clock::now();
    const QByteArray bytes(buffer, count);
    if (m_onReceive) {
        m_onReceive(bytes);
    }
    for (const QByteArray& command : m_splitter.feed(bytes)) {
        if (m_onCommand) {
            m_onCommand(command);
        }
        std::optional<Answer> answer;
        {
            const std::lock_guard lock(m_mutex);
            answer = m_unit.handle(command);
        }
        if (answer) {
            enqueue({answer->bytes, now + answer->delay});
        }
    }
    return true;
}

UnitLink::Clock::time_point UnitLink::nextByteDue() const
{
    return std::max(m_lineFreeAt, m_queue.front().notBefore) + kByteTime;
}

bool UnitLink::transmitDue(Clock::time_point now, bool& lineFull)
{
    while (!m_queue.empty()) {
        const auto due = nextByteDue();
        if (due > now) {
            return true;
        }
        Transmission& head = m_queue.front();
        const char byte = head.bytes.at(head.sent);
        if (::write(m_master, &byte, 1) != 1) {
            if (errno == EAGAIN || errno == EINTR) {
                lineFull = true; // the program is not reading; wait until there is room
                return true;
            }
            fail("write");
            return false;
        }
        m_lineFreeAt = due;
        if (++head.sent == head.bytes.size()) {
            m_queue.pop_front();
        }
    }
    return true;
}

} // namespace halvex::sim
