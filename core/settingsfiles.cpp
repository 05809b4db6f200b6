#include "core/settingsfiles.h"

#include "common/parseinteger.h"
#include "core/configfile.h"

#include <QDir>

namespace core {

namespace {

QString PathOf(const QString& filesDir, const QString& name)
{
    return QDir(filesDir).filePath(name);
}

QString FlagText(bool flag)
{
    return flag ? QStringLiteral("1") : QStringLiteral("0");
}

// Reads one line after another and stops for good at the first one that is missing or malformed, so
// each step keeps what it read before the failure and defaults for the rest.
class LineReader {
public:
    // With taken, each line read is marked in it.
    explicit LineReader(const std::optional<ConfigLines>& file, SettingsLinesTaken* taken = nullptr)
        : m_file(file)
        , m_taken(taken)
    {
    }

    bool Failed() const { return m_failed; }

    // With accept, a value it refuses leaves the field as it was, and the lines after it are read on.
    void Text(std::size_t line, QString& field, bool (*accept)(const QString&) = nullptr)
    {
        if (const auto value = Take(line); value && (!accept || accept(*value))) {
            field = *value;
            Mark(line);
        }
    }

    void Flag(std::size_t line, bool& field)
    {
        if (const auto value = Take(line)) {
            field = (*value == QLatin1String("1"));
            Mark(line);
        }
    }

    void Int(std::size_t line, int& field, IntRange range)
    {
        const auto value = Take(line);
        if (!value)
            return;
        const std::optional<int> number = common::ParseInteger(*value);
        if (!number) {
            m_failed = true;
            return;
        }
        field = range.Clamp(*number);
        Mark(line);
    }

private:
    void Mark(std::size_t line)
    {
        if (m_taken && line < m_taken->size())
            (*m_taken)[line] = true;
    }

    std::optional<QString> Take(std::size_t line)
    {
        if (m_failed)
            return std::nullopt;
        std::optional<QString> value = m_file ? m_file->At(line) : std::nullopt;
        if (!value)
            m_failed = true;
        return value;
    }

    const std::optional<ConfigLines>& m_file;
    SettingsLinesTaken* m_taken;
    bool m_failed = false;
};

void ClearRuntimeFields(BotState& state)
{
    state.HelpLocked = false;
    state.MeowthActive = false;
    state.CountValue = 0;
    state.CountEnd = 0;
    state.CountStep = 0;
    state.CountPaused = false;
    state.Connected = false;
}

void ReadConnectionAndModes(
    BotState& state, const std::optional<ConfigLines>& settings, SettingsLinesTaken& taken)
{
    LineReader reader(settings, &taken);
    reader.Text(0, state.ServerAddress);
    reader.Int(1, state.ServerPort, ServerPortRange);
    reader.Text(2, state.BotNick);
    reader.Text(3, state.ChannelToJoin);
    reader.Text(4, state.OwnerNick);
    reader.Flag(14, state.Silent);
    reader.Flag(15, state.Teamrocketing);
    reader.Flag(16, state.Dicerollan);
    // A settings file that breaks off anywhere here starts the bot with all three modes off, so a damaged
    // file never leaves it silent or rolling dice unasked.
    if (reader.Failed()) {
        state.Silent = false;
        state.Teamrocketing = false;
        state.Dicerollan = false;
        for (const std::size_t mode : { 14, 15, 16 })
            taken[mode] = false;
    }
}

// Returns how many phrases the file held.
int ReadReplyPhrases(BotState& state, const QString& filesDir)
{
    const std::optional<ConfigLines> messages = ReadConfigLines(PathOf(filesDir, files::Messages));
    LineReader reader(messages);
    int read = 0;
    for (int i = 0; i < ReplyPhraseCount; ++i) {
        reader.Text(static_cast<std::size_t>(i), state.ReplyPhrases[static_cast<std::size_t>(i)]);
        read += reader.Failed() ? 0 : 1;
    }
    return read;
}

// A blank around an entry would make it match nobody, unseen; an entry that is blank names nobody.
QStringList ReadUserList(const QString& path)
{
    QStringList entries;
    for (const QString& line : ReadConfigList(path).value_or(QStringList())) {
        if (const QString entry = line.trimmed(); !entry.isEmpty())
            entries.append(entry);
    }
    return entries;
}

void ReadUsers(BotState& state, const QString& filesDir)
{
    state.PrivilegedUsers = ReadUserList(PathOf(filesDir, files::Privileged));
    state.BannedUsers = ReadUserList(PathOf(filesDir, files::Banned));
}

void ReadPrivilegesAndLimits(
    BotState& state, const std::optional<ConfigLines>& settings, SettingsLinesTaken& taken)
{
    LineReader reader(settings, &taken);
    reader.Flag(5, state.PrivilegedJoin);
    reader.Flag(6, state.PrivilegedPart);
    reader.Flag(7, state.PrivilegedSay);
    reader.Flag(8, state.PrivilegedQuit);
    reader.Flag(9, state.PrivilegedBe);
    reader.Flag(10, state.PrivilegedHow);
    reader.Int(11, state.HelpTimeout, TimeoutRange);
    reader.Int(12, state.SayTimeout, TimeoutRange);
    reader.Int(13, state.LastTimeout, TimeoutRange);
    reader.Int(17, state.LogLines, LogLinesRange);
    reader.Int(18, state.LineWidth, LineWidthRange);
    // An empty line reads as the default; a control character or a blank could not be typed or seen.
    reader.Text(
        19, state.CommandChar, [](const QString& text) { return text.isEmpty() || CanBeCommandChar(text); });
    reader.Int(20, state.ReconnectInterval, TimeoutRange);
    reader.Int(21, state.ReconnectAttempts, ReconnectAttemptsRange);
}

} // namespace

SettingsLinesTaken LoadAtStart(BotState& state, const QString& filesDir)
{
    SettingsLinesTaken taken {};
    ClearRuntimeFields(state);
    const std::optional<ConfigLines> settings = ReadConfigLines(PathOf(filesDir, files::Settings));
    ReadConnectionAndModes(state, settings, taken);
    state.FavoriteChannels
        = ReadConfigList(PathOf(filesDir, files::FavoriteChannels)).value_or(QStringList());
    ReadReplyPhrases(state, filesDir);
    ReadPrivilegesAndLimits(state, settings, taken);
    ReadUsers(state, filesDir);
    return taken;
}

int ReloadPhrasesAndUsers(BotState& state, const QString& filesDir)
{
    state.ReplyPhrases = DefaultReplyPhrases();
    const int phrases = ReadReplyPhrases(state, filesDir);
    ReadUsers(state, filesDir);
    return phrases;
}

const std::array<QString, SettingsLineCount>& SettingsLineNames()
{
    static const std::array<QString, SettingsLineCount> names {
        QStringLiteral("ServerAddress"),
        QStringLiteral("ServerPort"),
        QStringLiteral("BotNick"),
        QStringLiteral("ChannelToJoin"),
        QStringLiteral("OwnerNick"),
        QStringLiteral("PrivilegedJoin"),
        QStringLiteral("PrivilegedPart"),
        QStringLiteral("PrivilegedSay"),
        QStringLiteral("PrivilegedQuit"),
        QStringLiteral("PrivilegedBe"),
        QStringLiteral("PrivilegedHow"),
        QStringLiteral("HelpTimeout"),
        QStringLiteral("SayTimeout"),
        QStringLiteral("LastTimeout"),
        QStringLiteral("Silent"),
        QStringLiteral("Teamrocketing"),
        QStringLiteral("Dicerollan"),
        QStringLiteral("LogLines"),
        QStringLiteral("LineWidth"),
        QStringLiteral("CommandChar"),
        QStringLiteral("ReconnectInterval"),
        QStringLiteral("ReconnectAttempts"),
    };
    return names;
}

QStringList SettingsFileLines(const BotState& state)
{
    return {
        state.ServerAddress,
        QString::number(state.ServerPort),
        state.BotNick,
        state.ChannelToJoin,
        state.OwnerNick,
        FlagText(state.PrivilegedJoin),
        FlagText(state.PrivilegedPart),
        FlagText(state.PrivilegedSay),
        FlagText(state.PrivilegedQuit),
        FlagText(state.PrivilegedBe),
        FlagText(state.PrivilegedHow),
        QString::number(state.HelpTimeout),
        QString::number(state.SayTimeout),
        QString::number(state.LastTimeout),
        FlagText(state.Silent),
        FlagText(state.Teamrocketing),
        FlagText(state.Dicerollan),
        QString::number(state.LogLines),
        QString::number(state.LineWidth),
        state.CommandChar,
        QString::number(state.ReconnectInterval),
        QString::number(state.ReconnectAttempts),
    };
}

QString SaveAtClose(const BotState& state, const QString& filesDir)
{
    QStringList phrases;
    for (const QString& phrase : state.ReplyPhrases)
        phrases.append(phrase);
    const std::pair<QString, QStringList> writes[] = {
        { files::Settings, SettingsFileLines(state) },
        { files::Privileged, state.PrivilegedUsers },
        { files::Banned, state.BannedUsers },
        { files::Messages, phrases },
    };
    for (const auto& [name, lines] : writes) {
        const QString error = WriteConfigLines(PathOf(filesDir, name), lines);
        if (!error.isEmpty())
            return QStringLiteral("Could not write %1: %2").arg(PathOf(filesDir, name), error);
    }
    return {};
}

QString SaveFavoriteChannels(const BotState& state, const QString& filesDir)
{
    const QString path = PathOf(filesDir, files::FavoriteChannels);
    const QString error = WriteConfigLines(path, state.CurrentChannels);
    return error.isEmpty() ? QString() : QStringLiteral("Could not write %1: %2").arg(path, error);
}

} // namespace core
