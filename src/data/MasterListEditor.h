#pragma once

#include "platform/ProgramFolder.h"

#include <QString>
#include <QStringList>

namespace halvex {

class Failure;
class Prompter;

enum class MasterListKind
{
    Racers,
    Cars,
    Classes
};

// What tells the racer, car and class editors apart; everything else is one design.
struct MasterListTexts
{
    QString windowName; // the editor window's object name
    QString listName;   // its list control's object name
    QString caption;
    QString fileName;
    QString addPrompt;
    QString addTitle;
    QString duplicateMessage;
    QString modifyPrompt;
    QString modifyTitle;
    QString countLabel; // followed by the entry count
    QString addTip;
    QString modifyTip;
    QString deleteTip;
};

const MasterListTexts& masterListTexts(MasterListKind kind);

// Why a name typed by the operator cannot go into a list file; empty when it can.
QString unstorableNameReason(const QString& name);

// The rules of a list editor without its window: the list it shows, in its order, the selected
// entry, the count label, and the operations that change the list and its file. Every question
// and every failure goes through the prompter; a failure ends the operation, leaving done what
// was done before it, so the list and the file can differ afterwards just as the count label can.
class MasterListEditor
{
public:
    MasterListEditor(MasterListKind kind, Prompter& prompter, ProgramFolder folder);

    const MasterListTexts& texts() const { return m_texts; }
    const QStringList& entries() const { return m_entries; }
    // The selected row, -1 when none; the list allows one at a time.
    int selected() const { return m_selected; }
    void select(int row);
    // Blank until the list has been read or changed successfully.
    const QString& countText() const { return m_countText; }

    // Fills the list from the file.
    void open();
    // Asks for a new name, sorts it into the list and appends it to the file.
    void add();
    // Renames the selected entry in place, then rewrites the file in list order.
    void modify();
    // Removes the selected entry without asking, then rewrites the file in list order.
    void remove();

private:
    QString filePath() const;
    void insertSorted(const QString& name);
    void updateCount();
    bool refuseName(const QString& name);
    bool refuseRewrite(const QStringList& names);
    void report(const Failure& failure);

    const MasterListTexts& m_texts;
    Prompter& m_prompter;
    ProgramFolder m_folder;
    QStringList m_entries;
    int m_selected = -1;
    QString m_countText;
    // The file is there but could not be read: rewriting it from the list would empty it.
    bool m_unreadable = false;
};

} // namespace halvex
