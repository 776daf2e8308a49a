#pragma once

#include <string>

// A host that cannot open its codec stays up and tells the user in a
// message box, answering every request meanwhile as a host without a codec;
// a host that ended or never started shows none. This looks for such a box
// among the windows of the hosts this process started (Tandrel64.exe
// children): its text, or an empty text when there is none.
std::wstring HostErrorBoxText();
