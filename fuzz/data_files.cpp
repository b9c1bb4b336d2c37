// Every data file of the program read from any bytes: the settings, the window state, the
// credits, a master list and the password. The first byte picks the file, the rest is its
// contents. What is read and written back reads back the same, and a coin that cannot be
// counted leaves the credits file as it was.

#include "FuzzInput.h"
#include "data/DragSettings.h"
#include "data/MasterList.h"
#include "periphery/Password.h"
#include "platform/Failure.h"
#include "platform/ProgramFolder.h"
#include "race/Credits.h"
#include "race/WindowState.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// A folder of its own for each file, in the scratch folder.
QString folderOf(const QString& subdir)
{
    QDir(fuzz::scratchFolder().path()).mkpath(subdir);
    return fuzz::scratchFolder().path() + u'/' + subdir;
}

QString placeFile(const QString& subdir, const QString& name, const QByteArray& bytes)
{
    const QString path = folderOf(subdir) + u'/' + name;
    writeFileAtomically(path, bytes);
    return path;
}

// The files have no escape for a double quote: a text holding one cannot be written back.
bool storable(std::initializer_list<QString> texts)
{
    return std::all_of(texts.begin(), texts.end(), canStoreName);
}

void settingsFile(const QByteArray& bytes)
{
    DragSettings read;
    if (!readSettingsFile(placeFile(QStringLiteral("a"), kSettingsFileName, bytes), read).isEmpty())
        return;
    const QString again = placeFile(QStringLiteral("b"), kSettingsFileName, settingsLine(read));
    DragSettings back;
    check(readSettingsFile(again, back).isEmpty(), "written settings read back whole");
    if (!storable({read.TrackName, read.TrackLength, read.InterSensorDistance[1],
                   read.InterSensorDistance[2], read.InterSensorDistance[3]}))
        return;
    // Singles are stored with seven digits, so only the other fields come back bit for bit.
    back.ProTreeCountdown = read.ProTreeCountdown;
    back.SpeedTrapDistance = read.SpeedTrapDistance;
    back.SpeedMultiplier = read.SpeedMultiplier;
    check(back == read, "written settings read back the same");
}

void windowStateFile(const QByteArray& bytes)
{
    WindowStateRecord read;
    try {
        readWindowState(bytes, read);
    } catch (const Failure&) {
        return;
    }
    WindowStateRecord back;
    readWindowState(windowStateLine(read), back);
    if (!storable({read.ClassName, read.RacerLeft, read.RacerRight, read.CarLeft, read.CarRight}))
        return;
    // Singles are stored with seven digits, so only the other fields come back bit for bit.
    back.SpareValue = read.SpareValue;
    back.DialInLeft = read.DialInLeft;
    back.DialInRight = read.DialInRight;
    check(windowStateLine(back) == windowStateLine(read),
          "written window state reads back the same");
}

void creditsFile(const QByteArray& bytes)
{
    placeFile(QStringLiteral("c"), kCreditsFileName, bytes);
    const ProgramFolder folder(folderOf(QStringLiteral("c")));
    Credits credits(folder);
    int count = 0;
    bool readable = true;
    try {
        credits.show(true);
        count = credits.text().split(u' ').first().toInt();
    } catch (const Failure&) {
        readable = false;
    }
    const bool taken = credits.insertCoin(1);
    if (!readable || count == 32767) {
        check(!taken, "a coin needs a count it can raise");
        check(readFileBytes(folder.path(kCreditsFileName)) == bytes,
              "a coin not taken leaves the file as it was");
        return;
    }
    check(taken, "a readable count takes a coin");
    Credits after(folder);
    after.show(true);
    check(after.text() == QString::number(count + 1) + QStringLiteral(" Credits"),
          "the coin is counted in the file");
}

void namesFile(const QByteArray& bytes)
{
    QStringList names;
    try {
        names = readNames(placeFile(QStringLiteral("d"), kRacersFileName, bytes));
    } catch (const Failure& f) {
        check(f.code() == Failure::TypeMismatch || f.code() == Failure::InputPastEnd,
              "a list is read whole or refused as damaged");
        return;
    }
    for (const QString& name : names)
        if (!canStoreName(name))
            return;
    const QString again = placeFile(QStringLiteral("e"), kRacersFileName, {});
    writeNames(again, names);
    check(readNames(again) == names, "a written list reads back the same");
}

void passwordFile(const QByteArray& bytes)
{
    placeFile(QStringLiteral("f"), kPasswordFileName, bytes);
    test::ScriptedPrompter prompter;
    Password password{ProgramFolder(folderOf(QStringLiteral("f")))};
    password.reload(prompter);
    if (!prompter.texts().isEmpty() || password.stored().contains(u'"'))
        return;
    Password copy{ProgramFolder(folderOf(QStringLiteral("g")))};
    copy.write(password.stored());
    copy.reload(prompter);
    check(prompter.texts().isEmpty() && copy.stored() == password.stored(),
          "a written password reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static void (*const files[])(const QByteArray&) = {settingsFile, windowStateFile, creditsFile,
                                                       namesFile, passwordFile};
    if (size == 0)
        return 0;
    files[data[0] % std::size(files)](
        QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)));
    return 0;
}
