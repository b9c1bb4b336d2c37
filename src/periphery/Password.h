#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace halvex {

class Prompter;

inline const QString kPasswordFileName = QStringLiteral("password.dat");

// The one operator password that guards the settings, kept in plain text as one quoted line of
// password.dat. The stored value is what the windows compare with; each of them reloads it from
// the file as it opens, and a file that cannot be read leaves it as it was (empty at first, so a
// new installation lets an empty password in).
class Password
{
public:
    explicit Password(ProgramFolder folder) : m_folder(std::move(folder)) {}

    const QString& stored() const { return m_stored; }
    // Reloads the stored value; a failure is shown with its description and changes nothing.
    void reload(Prompter& prompter);
    // Writes a new password over the file that is there, whatever the case of its name, or
    // creates password.dat. The stored value stays until the next reload. Throws on failure.
    void write(const QString& password) const;

private:
    ProgramFolder m_folder;
    QString m_stored;
};

} // namespace halvex
