#pragma once

#include <QString>

namespace halvex {

inline const QString kAppTitle = QStringLiteral("Halvex 3000");

enum class Buttons
{
    Ok,
    OkCancel,
    YesNo
};
enum class Icon
{
    None,
    Information,
    Warning,
    Critical,
    Question
};
enum class Answer
{
    Ok,
    Cancel,
    Yes,
    No
};

struct MessageBox
{
    QString text;
    QString title; // as shown: never empty
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

struct InputBox
{
    QString prompt;
    QString title;
    QString defaultText;
};

struct SaveDialog
{
    QString caption;
    QString startPath;
    QString filter;         // the file types offered, separated by ";;"
    QString selectedFilter; // the one chosen: in, the one offered first; out, the operator's
};

// Message boxes, input boxes and the file and folder dialogs: every question the system puts to the
// operator goes through here, so that tests can answer them without a modal window.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // A box without a title of its own shows the application title.
    Answer message(const QString& text, const QString& title = {}, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None)
    {
        return show(MessageBox{text, title.isEmpty() ? kAppTitle : title, buttons, icon});
    }

    // Returns the typed text; Cancel gives an empty text.
    QString input(const QString& prompt, const QString& title, const QString& defaultText = {})
    {
        return ask(InputBox{prompt, title.isEmpty() ? kAppTitle : title, defaultText});
    }

    // Returns the chosen file name, empty when the operator cancels. With selectedFilter, the
    // file type it names is offered first and it tells afterwards which one the operator chose.
    QString saveFileName(const QString& caption, const QString& startPath, const QString& filter,
                         QString* selectedFilter = nullptr)
    {
        SaveDialog dialog{caption, startPath, filter, selectedFilter ? *selectedFilter : QString()};
        QString name = askSaveFile(dialog);
        if (selectedFilter)
            *selectedFilter = dialog.selectedFilter;
        return name;
    }

    // Returns the chosen existing file's name, empty when the operator cancels.
    QString openFileName(const QString& caption, const QString& startPath, const QString& filter)
    {
        SaveDialog dialog{caption, startPath, filter, {}};
        return askOpenFile(dialog);
    }

    // Returns the chosen existing folder, empty when the operator cancels.
    QString folderName(const QString& caption, const QString& startPath)
    {
        return askFolder(SaveDialog{caption, startPath, {}, {}});
    }

protected:
    virtual Answer show(const MessageBox& box) = 0;
    virtual QString ask(const InputBox& box) = 0;
    virtual QString askSaveFile(SaveDialog& dialog) = 0;
    virtual QString askOpenFile(const SaveDialog& dialog) = 0;
    virtual QString askFolder(const SaveDialog& dialog) = 0;
};

} // namespace halvex
