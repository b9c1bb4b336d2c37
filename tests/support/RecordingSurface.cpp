#include "support/RecordingSurface.h"

#include "platform/Failure.h"

namespace halvex::test {

RecordingSurface::Job& RecordingSurface::current()
{
    if (!failure.isEmpty())
        throw Failure(failure);
    if (!m_open) {
        jobs.append(Job{});
        m_open = true;
        m_pageStart = 0;
    }
    return jobs.last();
}

void RecordingSurface::drawText(const Position& at, const QString& text)
{
    Job& job = current();
    job.greyScale = greyScale();
    const qsizetype line = m_pageStart + at.line;
    while (job.lines.size() <= line) {
        job.lines.append(QString());
        job.lineSizes.append(0);
    }
    job.lines[line] += QStringLiteral("[%1]").arg(at.x / averageCharWidth() + 1) + text;
    job.lineSizes[line] = font().size;
}

void RecordingSurface::startPage()
{
    Job& job = current();
    ++job.pages;
    m_pageStart = job.lines.size();
}

void RecordingSurface::finishJob()
{
    if (!failure.isEmpty())
        throw Failure(failure);
    m_open = false;
}

} // namespace halvex::test
