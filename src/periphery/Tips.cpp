#include "periphery/Tips.h"

#include "data/Cp1252.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

namespace halvex {

namespace {

const QString kOptionsSection = QStringLiteral("Options");
const QString kShowTipsKey = QStringLiteral("Show Tips at Startup");

// The option is kept under the program's executable name, not its title: a renamed copy keeps
// options of its own.
QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

QString missingTipsText()
{
    return QStringLiteral("That the ") + kTipsFileName + QStringLiteral(" file was not found? ") +
           QStringLiteral("\r\n\r\n") + QStringLiteral("Create a text file named ") +
           kTipsFileName + QStringLiteral(" using NotePad with 1 tip per line. ") +
           QStringLiteral("Then place it in the same directory as the application. ");
}

QStringList tipLines(const QByteArray& bytes)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(fromCp1252(line));
        start = end + 1;
    }
    return lines;
}

int drawTipNumber(int count, float r)
{
    return static_cast<int>(std::floor(static_cast<double>(count) * r + 1.0));
}

bool showTipsAtStartup(const SettingsStore& store)
{
    const QString value =
        store.value(executableName(), kOptionsSection, kShowTipsKey, QStringLiteral("1"));
    return value.trimmed().toInt() != 0;
}

void setShowTipsAtStartup(SettingsStore& store, bool show)
{
    store.setValue(executableName(), kOptionsSection, kShowTipsKey,
                   show ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace halvex
