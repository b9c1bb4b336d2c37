#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>

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
    QQueue<QString> fileNames;

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

    QString saveFileName(const QString&, const QString&, const QString&) override
    {
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

protected:
    Answer show(const MessageBox& box) override
    {
        messages.append(box);
        return answers.isEmpty() ? Answer::Ok : answers.dequeue();
    }
    QString ask(const InputBox& box) override
    {
        inputs.append(box);
        return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
    }
};

} // namespace halvex::test
