#include "periphery/Password.h"

#include "data/DelimitedText.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

namespace halvex {

void Password::reload(Prompter& prompter)
{
    try {
        DelimitedReader in(readFileBytes(m_folder.path(kPasswordFileName)));
        m_stored = in.text();
    } catch (const Failure& f) {
        prompter.message(f.description());
    }
}

void Password::write(const QString& password) const
{
    DelimitedWriter out;
    out.text(password).endLine();
    writeFileAtomically(m_folder.path(kPasswordFileName), out.bytes());
}

} // namespace halvex
