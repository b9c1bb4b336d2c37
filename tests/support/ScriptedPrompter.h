#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>

#include <functional>

namespace halvex::test {

// Records every box and answers from queues; a box with no queued answer gets OK (input boxes an
// empty text, as Cancel gives).
class ScriptedPrompter final : public Prompter
{
public:
    QList<MessageBox> messages;
    QList<InputBox> inputs;
    QQueue<Answer> answers;
    QQueue<QString> inputAnswers;
    QList<SaveDialog> saveDialogs; // as offered
    QQueue<QString> fileNames;
    // The file type chosen in the next save dialog; with none queued, the one offered first.
    QQueue<QString> fileTypes;
    // Runs while a message box is up, as events run under a real one.
    std::function<void(const MessageBox&)> whileShown;

    QStringList texts() const
    {
        QStringList t;
        for (const auto& m : messages)
            t.append(m.text);
        return t;
    }
    void clear()
    {
        messages.clear();
        inputs.clear();
    }

protected:
    Answer show(const MessageBox& box) override
    {
        messages.append(box);
        if (whileShown)
            whileShown(box);
        return answers.isEmpty() ? Answer::Ok : answers.dequeue();
    }
    QString ask(const InputBox& box) override
    {
        inputs.append(box);
        return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
    }
    QString askSaveFile(SaveDialog& dialog) override
    {
        saveDialogs.append(dialog);
        if (!fileTypes.isEmpty())
            dialog.selectedFilter = fileTypes.dequeue();
        else if (dialog.selectedFilter.isEmpty())
            dialog.selectedFilter = dialog.filter.section(QStringLiteral(";;"), 0, 0);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    // An open dialog and a folder dialog take the next queued file name too.
    QString askOpenFile(const SaveDialog& dialog) override
    {
        saveDialogs.append(dialog);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString askFolder(const SaveDialog& dialog) override { return askOpenFile(dialog); }
};

} // namespace halvex::test
