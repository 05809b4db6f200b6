// Fuzz target for a whole session: the bytes are a script of what an IRC server says (see
// sessionscript.h), played to the real IRC client, the bot's connection side and the bot, wired as the
// headless runner wires them, on a socketpair instead of a network. Each input gets a new client,
// connection and bot on the same data folder, a fixed clock and the dice generator seeded anew, so that a
// crash reproduces from its input alone.
//
// What must hold for every input (the process aborts, with a report on standard error, when it does not):
// - no crash, and nothing AddressSanitizer or UndefinedBehaviorSanitizer report;
// - no hang: the event loop turns a fixed number of times per script step, never waiting for a timer;
// - every line the bot writes is at most 512 bytes, ends with CR LF and holds no CR, LF or NUL inside
//   (the last one may be cut short only where the bot itself closed the connection);
// - the client hands on every server line whole and in order;
// - every PING the client handled while connected is answered, in order, by a PONG that echoes its token.

#include "dice/randomsource.h"
#include "sessiondatafolder.h"
#include "sessionrig.h"
#include "sessionscript.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdint>

namespace {

fuzzing::SessionDataFolder* DataFolder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The application's arguments must outlive it; the fuzzer's own are no business of Qt's.
    static int count = 1;
    static char name[] = "session_fuzz";
    static char* arguments[] = { name, nullptr };
    static QCoreApplication application(count, arguments);
    // The data folder goes into memory where it can: the bot saves its favourite channels at every join,
    // and syncing that to a disk takes longer than the rest of an input.
    if (!qEnvironmentVariableIsSet("TMPDIR") && QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    static fuzzing::SessionDataFolder folder(QStringLiteral(TESSARIN_FILES_DIR));
    DataFolder = &folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzzing::SessionScript script = fuzzing::ParseSessionScript(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    DataFolder->Restore();
    dice::SeedGenerator(1);
    const dice::ReseedPin pin(1);
    fuzzing::SessionRig rig(DataFolder->Path(), script.Settings);
    rig.Run(script.Steps);
    return 0;
}
