#pragma once

#include "platform/Prompter.h"

namespace halvex {

class QtPrompter final : public Prompter
{
protected:
    Answer show(const MessageBox& box) override;
    QString ask(const InputBox& box) override;
    QString askSaveFile(SaveDialog& dialog) override;
    QString askOpenFile(const SaveDialog& dialog) override;
    QString askFolder(const SaveDialog& dialog) override;
};

} // namespace halvex
