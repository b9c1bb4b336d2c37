#include "race/Credits.h"

#include "data/DelimitedText.h"
#include "data/Numbers.h"
#include "platform/Failure.h"
#include "race/Colours.h"

namespace halvex {

Credits::Credits(ProgramFolder folder) : m_folder(std::move(folder)), m_colour(kColourRed) {}

void Credits::setColour(qint32 colour)
{
    m_colour = colour;
    Q_EMIT changed();
}

qint16 Credits::readCount() const
{
    DelimitedReader in(readFileBytes(m_folder.path(kCreditsFileName)), kCreditsFileName);
    return in.integer16();
}

void Credits::writeCount(qint16 count) const
{
    DelimitedWriter out;
    out.integer(count).endLine();
    writeFileAtomically(m_folder.path(kCreditsFileName), out.bytes());
}

void Credits::showCount(qint16 count)
{
    m_text = QString::number(count) + QStringLiteral(" Credits");
}

bool Credits::insertCoin(int perCoin)
{
    try {
        const qint16 count = readCount();
        const int total = count + perCoin;
        if (total > 32767)
            return false;
        showCount(static_cast<qint16>(total));
        m_colour = kColourGreen;
        Q_EMIT changed();
        writeCount(static_cast<qint16>(total));
        return true;
    } catch (const Failure&) {
        return false;
    }
}

bool Credits::takeCredit()
{
    qint16 count = readCount();
    if (leadingNumber(m_text) <= 0) {
        m_colour = kColourRed;
        Q_EMIT changed();
        return false;
    }
    count = roundToInt16(count - 1.0);
    showCount(count);
    if (leadingNumber(m_text) <= 0)
        m_colour = kColourRed;
    Q_EMIT changed();
    writeCount(count);
    return true;
}

void Credits::show(bool installed)
{
    showCount(readCount());
    if (installed)
        m_colour = leadingNumber(m_text) <= 0 ? kColourRed : kColourGreen;
    Q_EMIT changed();
}

void Credits::createFileIfMissing()
{
    if (!m_folder.exists(kCreditsFileName))
        writeCount(0);
}

} // namespace halvex
