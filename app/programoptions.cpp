#include "app/programoptions.h"

#include "core/extrasettings.h"

#include <cstring>

namespace app {

namespace {

const QString Console = QStringLiteral("console");
const QString Headless = QStringLiteral("headless");
const QString Files = QStringLiteral("files");
const QString Server = QStringLiteral("server");
const QString Nick = QStringLiteral("nick");
const QString Owner = QStringLiteral("owner");
const QString Join = QStringLiteral("join");
const QString Tls = QStringLiteral("tls");
const QString Fingerprint = QStringLiteral("tls-fingerprint");
const QString Set = QStringLiteral("set");
const QString LogLevel = QStringLiteral("log-level");
const QString AllowRoot = QStringLiteral("allow-root");
const QString Init = QStringLiteral("init");
const QString Settings = QStringLiteral("settings");
const QString Backup = QStringLiteral("backup");
const QString CheckStore = QStringLiteral("check");

} // namespace

ProgramOptions::ProgramOptions()
{
    m_parser.setApplicationDescription(QStringLiteral("An IRC bot for tabletop role-playing groups."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({
        { Console, QStringLiteral("Talk to the bot on standard input and output, without a server.") },
        { Headless, QStringLiteral("Run the bot on its server without windows, printing the command log.") },
        { Init,
            QStringLiteral(
                "Make <dir> a complete data folder: the sample tables, settings.conf and the other "
                "classic files, and tessarin.ini with every setting at its default."),
            QStringLiteral("dir") },
        { Settings,
            QStringLiteral("Print every setting the bot would run with, its value and where it comes from "
                           "(file, default or option).") },
        { Backup,
            QStringLiteral("Copy the store (tessarin.db) to <file>, consistently, also while the bot runs."),
            QStringLiteral("file") },
        { CheckStore,
            QStringLiteral("Report the store's schema, size, rows per table and integrity, without writing "
                           "to it.") },
        { Files, QStringLiteral("Use <dir> as the data folder instead of files/ in the working folder."),
            QStringLiteral("dir"), QStringLiteral("files") },
        { Server, QStringLiteral("Headless: connect to <host[:port]> in this run."),
            QStringLiteral("host[:port]") },
        { Nick, QStringLiteral("Headless: the bot's nick in this run."), QStringLiteral("nick") },
        { Owner, QStringLiteral("Headless: the owner's nick in this run."), QStringLiteral("nick") },
        { Join,
            QStringLiteral(
                "Headless: the channels to join, comma-separated (default: the favourite channels)."),
            QStringLiteral("#a,#b") },
        { Tls, QStringLiteral("Headless: connect over TLS in this run.") },
        { Fingerprint,
            QStringLiteral("Headless: connect over TLS and accept the server certificate with this SHA-256 "
                           "fingerprint in this run."),
            QStringLiteral("hex") },
        { Set,
            QStringLiteral("Headless and console: replace a setting of tessarin.ini in this run, for example "
                           "flood/line_interval=2 (may be repeated)."),
            QStringLiteral("group/key=value") },
        { LogLevel,
            QStringLiteral("The least serious command-log lines to print: error, warning or info (the "
                           "default)."),
            QStringLiteral("level") },
        { AllowRoot,
            QStringLiteral("Run as root on a data folder that belongs to another user (the files written "
                           "become root's).") },
    });
}

bool ProgramOptions::AsksForNoWindows(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : { "--console", "--headless", "--init", "--settings", "--backup", "--check",
                 "--help", "-h", "-?", "--help-all", "--version", "-v" }) {
            const std::size_t length = std::strlen(option);
            if (std::strncmp(argv[i], option, length) == 0
                && (argv[i][length] == '\0' || argv[i][length] == '='))
                return true;
        }
    }
    return false;
}

QString ProgramOptions::InitDir() const
{
    return m_parser.value(Init);
}

QString ProgramOptions::BackupFile() const
{
    return m_parser.value(Backup);
}

// As QCommandLineParser::process, except that a command line it cannot take ends the program with 2 like
// every other option that cannot be taken.
QString ProgramOptions::Process(const QCoreApplication& application)
{
    if (!m_parser.parse(QCoreApplication::arguments()))
        return application.applicationName() + QStringLiteral(": ") + m_parser.errorText();
    if (m_parser.isSet(QStringLiteral("version")))
        m_parser.showVersion();
    if (m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("help-all")))
        m_parser.showHelp(0);
    return Check();
}

QString ProgramOptions::Check()
{
    const int modes = int(m_parser.isSet(Console)) + int(m_parser.isSet(Headless)) + int(m_parser.isSet(Init))
        + int(m_parser.isSet(Settings)) + int(m_parser.isSet(Backup)) + int(m_parser.isSet(CheckStore));
    if (modes > 1)
        return QStringLiteral(
            "--console, --headless, --init, --settings, --backup and --check exclude each other.");
    if (m_parser.isSet(Console))
        m_mode = ProgramMode::Console;
    else if (m_parser.isSet(Headless))
        m_mode = ProgramMode::Headless;
    else if (m_parser.isSet(Init))
        m_mode = ProgramMode::Init;
    else if (m_parser.isSet(Settings))
        m_mode = ProgramMode::Settings;
    else if (m_parser.isSet(Backup))
        m_mode = ProgramMode::Backup;
    else if (m_parser.isSet(CheckStore))
        m_mode = ProgramMode::Check;

    m_run.FilesDir = m_parser.value(Files);
    m_run.AllowRoot = m_parser.isSet(AllowRoot);
    if (m_parser.isSet(Server)) {
        const auto parsed = ParseServerOption(m_parser.value(Server));
        if (!parsed)
            return QStringLiteral("--server wants HOST or HOST:PORT with a port from 1 to 65535.");
        m_run.ServerAddress = parsed->first;
        m_run.ServerPort = parsed->second;
    }
    if (m_parser.isSet(Nick))
        m_run.BotNick = m_parser.value(Nick);
    if (m_parser.isSet(Owner))
        m_run.OwnerNick = m_parser.value(Owner);
    if (m_parser.isSet(Join))
        m_run.Channels = m_parser.value(Join).split(u',', Qt::SkipEmptyParts);
    // A pinned certificate only makes sense over TLS.
    if (m_parser.isSet(Tls) || m_parser.isSet(Fingerprint))
        m_run.Settings.append({ QStringLiteral("connection/tls"), QStringLiteral("yes") });
    if (m_parser.isSet(Fingerprint))
        m_run.Settings.append({ QStringLiteral("connection/tls_fingerprint"), m_parser.value(Fingerprint) });
    for (const QString& setting : m_parser.values(Set)) {
        const qsizetype equals = setting.indexOf(u'=');
        if (equals < 0) {
            QStringList keys;
            for (const core::SettingKey& key : core::SettingKeys())
                keys.append(key.Name);
            return QStringLiteral("--set wants GROUP/KEY=VALUE, one of: ") + keys.join(QStringLiteral(", "));
        }
        m_run.Settings.append({ setting.left(equals).trimmed(), setting.mid(equals + 1) });
    }
    if (m_parser.isSet(LogLevel))
        m_run.Settings.append({ QStringLiteral("log/level"), m_parser.value(LogLevel) });

    core::ExtraSettings check;
    for (const auto& [key, value] : m_run.Settings) {
        const core::SettingKey* row = core::FindSettingKey(key);
        const QString problem = row ? row->Apply(check, value) : QStringLiteral("is not a setting");
        if (!problem.isEmpty())
            return key + u' ' + problem + u'.';
    }
    return {};
}

} // namespace app
