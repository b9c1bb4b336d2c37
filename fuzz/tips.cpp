// The tips file read from any bytes, and the draw of a tip among them: every line is a tip,
// blank ones too, and any draw in [0, 1) picks one of them.

#include "periphery/Tips.h"

#include "FuzzInput.h"

#include <cmath>
#include <cstring>

using namespace halvex;
using halvex::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // Any single in [0, 1), from its bits: the draws next to 1 are where a count can tip over.
    quint32 bits = in.ConsumeIntegral<quint32>() & 0x3F7FFFFFu;
    if (bits >= 0x3F800000u)
        bits = 0x3F7FFFFFu;
    float r = 0;
    std::memcpy(&r, &bits, sizeof r);
    check(r >= 0.0f && r < 1.0f, "the draw is in [0, 1)");
    const int anyCount = in.ConsumeIntegralInRange<int>(1, 1 << 24);

    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray bytes = QByteArray::fromStdString(rest);
    const QStringList lines = tipLines(bytes);

    const qsizetype breaks = bytes.count('\n');
    const bool lastOpen = !bytes.isEmpty() && !bytes.endsWith('\n');
    check(lines.size() == breaks + (lastOpen ? 1 : 0), "one tip a line");
    for (const QString& line : lines)
        check(!line.contains(u'\n') && !line.endsWith(QLatin1String("\r\n")),
              "a tip holds no line end");

    for (int count : {int(lines.size()), anyCount}) {
        if (count < 1)
            continue;
        const int tip = drawTipNumber(count, r);
        check(tip >= 1 && tip <= count, "the draw picks one of the tips");
    }
    return 0;
}
