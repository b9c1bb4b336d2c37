#pragma once

#include <QByteArray>

namespace halvex {

// Collects the unit's answer as it arrives in chunks of any size and tells when it is whole: the
// bytes received end with "!" and a line feed. Nothing is interpreted here; a reply with anything
// behind its end mark (a carriage return, a stray byte) never completes.
class ReplyFraming
{
public:
    void feed(const QByteArray& chunk) { m_buffer += chunk; }
    bool complete() const { return m_buffer.endsWith("!\n"); }
    const QByteArray& bytes() const { return m_buffer; }
    void clear() { m_buffer.clear(); }

private:
    QByteArray m_buffer;
};

} // namespace halvex
