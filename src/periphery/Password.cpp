#include "periphery/Password.h"

#include "data/Cp1252.h"
#include "data/DelimitedText.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

namespace halvex {

void Password::reload(Prompter& prompter)
{
    try {
        DelimitedReader in(readFileBytes(m_folder.path(kPasswordFileName)), kPasswordFileName);
        m_stored = in.text();
    } catch (const Failure& f) {
        prompter.message(f.description());
    }
}

void Password::write(const QString& password) const
{
    // Written as "?", such a character would lock the operator out of the settings.
    if (const QString ch = firstUnstorable(password); !ch.isEmpty())
        throw Failure(unstorableMessage(ch));
    DelimitedWriter out;
    out.text(password).endLine();
    writeFileAtomically(m_folder.path(kPasswordFileName), out.bytes());
}

} // namespace halvex
