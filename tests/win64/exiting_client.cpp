// A client driver that goes away without a word: started with a slot and
// a mapping name, it starts the host, waits until the host serves requests
// and ends its own process. Without arguments it ends at once.

#include <windows.h>

#include <string>

#include "host_client.h"

int main(int argc, char** argv)
{
    if (argc < 3)
        return 0;
    HostClient client(argv[2]);
    if (!client.CreateControl() || !client.Launch(argv[1]))
        return 1;
    // Answered only once the host's loop runs, with this process opened.
    client.Send(HostRequestNumber(ICM_GETINFO));
    // Leaves without the destructors, which would end the host.
    ExitProcess(0);
}
