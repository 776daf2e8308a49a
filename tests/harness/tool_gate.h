#pragma once

#include <string>

// The name of the event on which the recording tool stand-ins in `folder`
// wait before they end, while a test holds it unset.
inline std::string ToolGateName(std::string folder)
{
    for (char& c : folder) {
        if (c == '\\')
            c = '/';
    }
    return "tandrel-tool-gate:" + folder;
}
