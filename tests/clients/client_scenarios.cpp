// client_scenarios32.exe / client_scenarios64.exe SESSION CODEC VALUES... OUTPUT
//
// One program, built for both sides: it runs a client session
// (demo/client_sessions.h, message_sessions.h) on CODEC and writes the
// transcript to OUTPUT. The 64-bit build opens a slot of the bridge, the
// 32-bit one the codec itself; the client tests compare the two
// transcripts. Exit codes: 0 done, 2 malformed arguments, 3 the transcript
// could not be written.

#include <string>
#include <vector>

#include "demo/client_sessions.h"
#include "message_sessions.h"

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    std::vector<std::string> arguments(argv + 1, argv + argc - 1);
    Transcript transcript;
    if (!RunMessageSession(arguments, &transcript) && !RunClientSession(arguments, &transcript))
        return 2;
    return WriteTranscript(argv[argc - 1], transcript) ? 0 : 3;
}
