// codec_reference.exe SESSION CODEC VALUES... OUTPUT
//
// Runs a client session (demo/client_sessions.h) on CODEC and writes the transcript to OUTPUT. Built as the
// 32-bit codec_reference.exe, it calls the codec itself, for the bridge demo and the tests to compare with
// the same session through the bridge; the client tests build it for 64 bits too (client_scenarios64.exe),
// where CODEC is a slot. Exit codes: 0 done, 2 malformed arguments, 3 the transcript could not be written.

#include <string>
#include <vector>

#include "demo/client_sessions.h"

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    std::vector<std::string> arguments(argv + 1, argv + argc - 1);
    Transcript transcript;
    if (!RunClientSession(arguments, &transcript))
        return 2;
    return WriteTranscript(argv[argc - 1], transcript) ? 0 : 3;
}
