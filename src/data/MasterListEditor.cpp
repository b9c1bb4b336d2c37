#include "data/MasterListEditor.h"

#include "data/Cp1252.h"
#include "data/MasterList.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

#include <QFileInfo>

namespace halvex {

namespace {

MasterListTexts makeTexts(const char* windowName, const char* listName, const char* caption,
                          const QString& fileName, const QString& item, const QString& plural,
                          const QString& tipItem)
{
    MasterListTexts t;
    t.windowName = QString::fromLatin1(windowName);
    t.listName = QString::fromLatin1(listName);
    t.caption = QString::fromLatin1(caption);
    t.fileName = fileName;
    t.addPrompt = QStringLiteral("Enter new %1 name").arg(item);
    t.addTitle = QStringLiteral("Add %1").arg(item);
    t.duplicateMessage = QStringLiteral("%1 already exists").arg(item);
    t.modifyPrompt = QStringLiteral("Modify %1 name").arg(item);
    t.modifyTitle = QStringLiteral("Modify %1").arg(item);
    t.countLabel = QStringLiteral("Total number of %1: ").arg(plural);
    t.addTip = QStringLiteral("Add new %1").arg(tipItem);
    t.modifyTip = QStringLiteral("Select %1 from list to modify").arg(tipItem);
    t.deleteTip = QStringLiteral("Select %1 from list to delete").arg(tipItem);
    return t;
}

} // namespace

const MasterListTexts& masterListTexts(MasterListKind kind)
{
    // The racer editor's caption and tips differ in spacing and case from the other two; the
    // operator knows them that way.
    static const MasterListTexts racers =
        makeTexts("frmDragAddRacer", "lstRacers", "Halvex 3000  -  Racers", kRacersFileName,
                  QStringLiteral("Racer"), QStringLiteral("Racers"), QStringLiteral("racer"));
    static const MasterListTexts cars =
        makeTexts("frmDragAddCar", "lstCars", "Halvex 3000 - Cars", kCarsFileName,
                  QStringLiteral("Car"), QStringLiteral("Cars"), QStringLiteral("Car"));
    static const MasterListTexts classes =
        makeTexts("frmDragAddClass", "lstClass", "Halvex 3000 - Classes", kClassesFileName,
                  QStringLiteral("Class"), QStringLiteral("Classes"), QStringLiteral("Class"));
    switch (kind) {
    case MasterListKind::Racers:
        return racers;
    case MasterListKind::Cars:
        return cars;
    case MasterListKind::Classes:
        return classes;
    }
    return racers;
}

QString unstorableNameReason(const QString& name)
{
    if (!canStoreName(name))
        return QStringLiteral("A name cannot contain a double quote (\").");
    // The files hold one byte a character; anything else would come back as "?".
    for (qsizetype i = 0; i < name.size(); ++i) {
        const bool pair =
            name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        const QString ch = name.mid(i, pair ? 2 : 1);
        if (fromCp1252(toCp1252(ch)) != ch)
            return QStringLiteral("A name cannot contain the character \"%1\".").arg(ch);
        if (pair)
            ++i;
    }
    return {};
}

MasterListEditor::MasterListEditor(MasterListKind kind, Prompter& prompter, ProgramFolder folder)
    : m_texts(masterListTexts(kind)), m_prompter(prompter), m_folder(std::move(folder))
{}

void MasterListEditor::select(int row)
{
    m_selected = (row >= 0 && row < m_entries.size()) ? row : -1;
}

QString MasterListEditor::filePath() const
{
    // Looked up each time: an add may have created the file, or someone renamed it meanwhile.
    return m_folder.path(m_texts.fileName);
}

void MasterListEditor::insertSorted(const QString& name)
{
    // After the entries that compare equal, so that the entry added last stands last among them.
    qsizetype row = 0;
    while (row < m_entries.size() && compareListNames(m_entries[row], name) <= 0)
        ++row;
    m_entries.insert(row, name);
    if (m_selected >= row)
        ++m_selected;
}

void MasterListEditor::updateCount()
{
    m_countText = m_texts.countLabel + QString::number(m_entries.size());
}

bool MasterListEditor::refuseName(const QString& name)
{
    const QString reason = unstorableNameReason(name);
    if (reason.isEmpty())
        return false;
    m_prompter.message(reason);
    return true;
}

// Names read from a hand-edited file may hold a double quote; writing them back quoted would
// cut them short, so the file is left alone until the operator renames or deletes such a name.
bool MasterListEditor::refuseRewrite(const QStringList& names)
{
    if (m_unreadable) {
        m_prompter.message(QStringLiteral("%1 could not be read, so it is not rewritten: the names "
                                          "it holds would be lost.")
                               .arg(m_texts.fileName));
        return true;
    }
    for (const QString& name : names) {
        if (!canStoreName(name)) {
            m_prompter.message(QStringLiteral("%1 cannot store the name %2, as a name cannot "
                                              "contain a double quote (\"). Modify or delete "
                                              "that name first.")
                                   .arg(m_texts.fileName, name));
            return true;
        }
    }
    return false;
}

void MasterListEditor::report(const Failure& failure)
{
    m_prompter.message(failure.description());
}

void MasterListEditor::open()
{
    m_entries.clear();
    m_selected = -1;
    m_countText.clear();
    try {
        // Names keep their blanks here: only a name the operator adds is trimmed for the list.
        m_entries = sortedListNames(readNames(filePath()));
    } catch (const Failure& failure) {
        m_unreadable = QFileInfo::exists(filePath());
        report(failure);
        return;
    }
    m_unreadable = false;
    updateCount();
}

void MasterListEditor::add()
{
    const QString answer = m_prompter.input(m_texts.addPrompt, m_texts.addTitle);
    // The answer as typed, before any conversion, so "john smith" passes beside "John Smith".
    for (const QString& entry : std::as_const(m_entries)) {
        if (entry == answer) {
            m_prompter.message(m_texts.duplicateMessage);
            return;
        }
    }
    if (answer.isEmpty())
        return;
    const QString name = properCase(answer);
    if (refuseName(name))
        return;
    // Listed only once saved: the list shows what the file holds.
    try {
        appendName(filePath(), name);
    } catch (const Failure& failure) {
        report(failure);
        return;
    }
    insertSorted(name.trimmed());
    updateCount();
}

void MasterListEditor::modify()
{
    QStringList names = m_entries;
    if (m_selected >= 0) {
        const QString answer =
            m_prompter.input(m_texts.modifyPrompt, m_texts.modifyTitle, m_entries[m_selected]);
        // Cancel gives an empty answer: the name stays as it was and the file is not touched.
        if (answer.isEmpty())
            return;
        const QString name = properCase(answer);
        if (refuseName(name))
            return;
        names[m_selected] = name;
    }
    if (refuseRewrite(names))
        return;
    // The entry keeps its row; the list is sorted again only when it is next read.
    try {
        writeNames(filePath(), names);
    } catch (const Failure& failure) {
        report(failure);
        return;
    }
    m_entries = names;
}

void MasterListEditor::remove()
{
    if (m_selected < 0)
        return;
    QStringList names = m_entries;
    names.removeAt(m_selected);
    if (refuseRewrite(names))
        return;
    try {
        writeNames(filePath(), names);
    } catch (const Failure& failure) {
        report(failure);
        return;
    }
    m_entries = names;
    m_selected = -1;
    updateCount();
}

} // namespace halvex
