#pragma once

#include <QString>

#include <stdexcept>

namespace halvex {

// A failure of an operation, carrying the description the operator is shown. The routines of
// the system decide per case whether a failure is reported and the routine goes on, reported and
// the routine ends, or swallowed silently; a thrown Failure lets each of them say so in one place.
class Failure : public std::runtime_error
{
public:
    enum Code
    {
        General = 0,
        InvalidPortNumber = 8002,
        PortNotOpen = 8018,
        FileNotFound = 53,
        InputPastEnd = 62,
        TypeMismatch = 13,
        Overflow = 6,
    };

    explicit Failure(QString description, int code = General)
        : std::runtime_error(description.toStdString()), m_description(std::move(description)),
          m_code(code)
    {}

    const QString& description() const { return m_description; }
    int code() const { return m_code; }

private:
    QString m_description;
    int m_code;
};

} // namespace halvex
