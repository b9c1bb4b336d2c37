// The entries import: any bytes either add every data line as an entry or add nothing and name
// each refused line.
#include "FuzzInput.h"
#include "event/Event.h"
#include "platform/Failure.h"

#include <QDir>

using namespace halvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QTemporaryDir& folder = fuzz::scratchFolder();
    const QString path = folder.filePath(QStringLiteral("e.sqlite"));
    for (const QString& f : QDir(folder.path()).entryList(QDir::Files))
        QFile::remove(folder.filePath(f));
    std::unique_ptr<Event> event =
        Event::create(path, QStringLiteral("Fuzz"), QDate(2026, 12, 6),
                      {{QStringLiteral("Stock"), 0, 0, 8, LadderKind::Fixed},
                       {QStringLiteral("Bracket"), 2, 0, 8, LadderKind::Fixed},
                       {QStringLiteral("Super"), 4, 6.5f, 8, LadderKind::Fixed}});
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList refused = event->importEntries(bytes);
    const size_t entries = event->entries().size();
    if (!refused.isEmpty()) {
        fuzz::check(entries == 0, "a refused import adds nothing");
        for (const QString& line : refused)
            fuzz::check(line.startsWith(QStringLiteral("Line ")) ||
                            line.startsWith(QStringLiteral("The first line")),
                        "each refusal names its line");
        return 0;
    }
    // Every entry taken reads back with its racer and an id of its own.
    for (const Entry& e : event->entries())
        fuzz::check(!e.racer.isEmpty() && e.id > 0, "an entry has a racer and an id");
    return 0;
}
