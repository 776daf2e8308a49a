// codec_reference.exe SESSION CODEC VALUES... [then SESSION CODEC VALUES...]... OUTPUT
//
// Runs client sessions (demo/client_sessions.h) one after the other in this one process, on their codecs,
// and writes their transcripts, one behind the other, to OUTPUT; only the last session's timing figures
// stay. Built as the 32-bit codec_reference.exe, it calls the codecs themselves, for the bridge demo and
// the tests to compare with the same sessions through the bridge; the client tests build it for 64 bits
// too (client_scenarios64.exe), where CODEC is a slot. Exit codes: 0 done, 2 malformed arguments, 3 the
// transcript could not be written.

#include <string>
#include <vector>

#include "demo/client_sessions.h"
#include "demo/codec_session.h"

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    Transcript transcript;
    std::vector<std::string> session;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument != "then" && i != argc - 1) {
            session.push_back(argument);
            continue;
        }
        Transcript one;
        SessionFigures earlier;
        if (!RunClientSession(session, &one))
            return 2;
        if (i != argc - 1)
            TakeFiguresStep(&one, &earlier);
        transcript.insert(transcript.end(), one.begin(), one.end());
        session.clear();
    }
    return WriteTranscript(argv[argc - 1], transcript) ? 0 : 3;
}
