#pragma once

#include "platform/Prompter.h"

namespace halvex {

class QtPrompter final : public Prompter
{
public:
    QString saveFileName(const QString& caption, const QString& startPath,
                         const QString& filter) override;

protected:
    Answer show(const MessageBox& box) override;
    QString ask(const InputBox& box) override;
};

} // namespace halvex
