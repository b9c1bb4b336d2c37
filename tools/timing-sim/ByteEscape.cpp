#include "ByteEscape.h"

namespace halvex::sim {

QByteArray escapeBytes(const QByteArray& bytes)
{
    static constexpr char hexDigits[] = "0123456789abcdef";
    QByteArray text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n') {
            text += "\\n";
        } else if (byte == '\r') {
            text += "\\r";
        } else if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7f) {
            text += c;
        } else {
            text += "\\x";
            text += hexDigits[byte >> 4];
            text += hexDigits[byte & 0x0f];
        }
    }
    return text;
}

} // namespace halvex::sim
