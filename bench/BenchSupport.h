#pragma once

// What the benchmark programs share: a module to play and a main() that
// runs them inside a widget application.

#include "tests/music/MusicTestSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

// A real module when the shared folder is there, else one made in `dir`.
inline QString BenchModule(const QTemporaryDir &dir)
{
    const QString real = QDir(SharedModules()).filePath(QStringLiteral("song1.xm"));
    if (QFileInfo::exists(real))
        return real;
    const QString made = dir.filePath(QStringLiteral("made.mod"));
    QFile file(made);
    if (file.open(QIODevice::WriteOnly))
        file.write(TinyModule("bench", 64, 6));
    return made;
}

// Runs the benchmarks with a QApplication (offscreen when there is no
// display); `beforeExit` drops the windows they kept while it still lives.
inline int RunWidgetBenchmarks(int argc, char **argv, const std::function<void()> &beforeExit)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    beforeExit();
    return 0;
}
