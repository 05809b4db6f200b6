#pragma once

// The program's command line: which mode it asks for and what it replaces for the run. The windowed and
// the window-less start read it alike.

#include "app/runoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace app {

enum class ProgramMode { Windows, Console, Headless, Init, Settings, Backup, Check };

class ProgramOptions {
public:
    ProgramOptions();

    // Reads the application's arguments; --help and --version end the program here. Returns why the
    // options cannot be taken (to be shown before exit code 2), or an empty text.
    QString Process(const QCoreApplication& application);

    // Windows unless an option asks for another mode (the caller knows whether windows can be had).
    ProgramMode Mode() const { return m_mode; }
    const RunOptions& Run() const { return m_run; }
    // --init's folder.
    QString InitDir() const;
    // --backup's file.
    QString BackupFile() const;

    // Whether the arguments ask for a mode without windows, or for --help or --version; read before there
    // is an application to give them to.
    static bool AsksForNoWindows(int argc, char* argv[]);

private:
    QString Check();

    QCommandLineParser m_parser;
    ProgramMode m_mode = ProgramMode::Windows;
    RunOptions m_run;
};

} // namespace app
