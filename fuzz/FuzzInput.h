#pragma once

#include "reports/GridModel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace halvex::fuzz {

// A property a target checks that fails is a finding like a crash.
inline void check(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

// Qt's own warnings would flood the fuzzer's output; findings come from sanitizers and checks.
inline void quietQt()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
            std::abort();
        }
    });
}

// One application object for the whole run, as the program has; kept alive until exit.
inline void makeCoreApplication()
{
    static int argc = 1;
    static char name[] = "halvex-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

// A folder for the files a target writes, removed when the target ends: in memory where the
// machine has it, since every write replaces its file atomically and syncs it.
inline const QTemporaryDir& scratchFolder()
{
    static const QTemporaryDir* folder = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        auto* dir = new QTemporaryDir(base + QStringLiteral("/halvex-fuzz-XXXXXX"));
        std::atexit([] { delete folder; });
        return dir;
    }();
    return *folder;
}

// Any UTF-16 text, unpaired surrogates and characters outside the code page included.
inline QString anyText(FuzzedDataProvider& in, size_t maxLength)
{
    const size_t length = in.ConsumeIntegralInRange<size_t>(0, maxLength);
    QString text;
    for (size_t i = 0; i < length && in.remaining_bytes() > 0; ++i) {
        // Mostly the characters a grid holds, sometimes any code unit at all.
        const bool wide = in.ConsumeIntegralInRange<int>(0, 7) == 0;
        text.append(QChar(wide ? in.ConsumeIntegral<char16_t>()
                               : char16_t(in.ConsumeIntegral<unsigned char>())));
    }
    return text;
}

// A grid of up to maxRows by maxCols with at least one fixed row when it has rows; texts from
// the input. The fixed rows and columns never outnumber the rows and columns, as in the grid
// control.
inline GridModel makeGrid(FuzzedDataProvider& in, int maxRows, int maxCols, size_t maxText)
{
    const int rows = in.ConsumeIntegralInRange(0, maxRows);
    const int cols = in.ConsumeIntegralInRange(0, maxCols);
    const int fixedRows = in.ConsumeIntegralInRange(0, std::min(rows, 2));
    const int fixedCols = in.ConsumeIntegralInRange(0, std::min(cols, 2));
    GridModel grid(rows, cols, fixedRows, fixedCols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.setText(r, c, anyText(in, maxText));
    return grid;
}

} // namespace halvex::fuzz

// Before the first input: Qt's warnings silenced, the one application object and the scratch
// folder, which some targets need and the rest do not mind. Defined here, not inline, so that
// every target, a single file including this once, hands it to the fuzzer.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    halvex::fuzz::quietQt();
    halvex::fuzz::makeCoreApplication();
    return halvex::fuzz::scratchFolder().isValid() ? 0 : 1;
}
