// Server lines parsed per second: the parser alone, on the kinds of line a busy channel brings.

#include "bench/figures.h"
#include "irc/message.h"

namespace {

void Parse(benchmark::State& state, const char* line)
{
    const QByteArray bytes(line);
    for (auto _ : state)
        benchmark::DoNotOptimize(irc::ParseLine(bytes));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(Parse, privmsg, ":Kell!~kell@dice.example PRIVMSG #dice :,roll 3d6 Attack on the goblin");
BENCHMARK_CAPTURE(
    Parse, names, ":irc.example.net 353 Tessarin = #dice :@Kell +Mira Bob Ann Cid Dee Eve Fay Gus Hal");
BENCHMARK_CAPTURE(Parse, ping, "PING :irc.example.net");

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithFigures(argc, argv);
}
