#include "app/startup_options.h"

#include <shellapi.h>

#include <cstring>

#include "app/wide_to_ansi.h"
#include "host/mapping_limits.h"

namespace {

void CopyValue(const char* value, size_t limit, char* target)
{
    size_t length = std::strlen(value);
    if (length > limit)
        return;
    std::memcpy(target, value, length + 1);
}

}

bool HasPrefix(const char* text, const char* option)
{
    return std::strncmp(text, option, std::strlen(option)) == 0;
}

void ApplyStartupArgument(const char* argument, StartupOptions* options)
{
    if (HasPrefix(argument, "/install"))
        options->install = 1;
    if (HasPrefix(argument, "/uninstall"))
        options->uninstall = 1;
    if (HasPrefix(argument, "/silent"))
        options->silent = 1;
    if (HasPrefix(argument, "/name:"))
        CopyValue(argument + 6, sizeof options->slotName - 1, options->slotName);
    if (HasPrefix(argument, "/map:"))
        CopyValue(argument + 5, kControlMappingNameLimit, options->mappingName);
}

void ApplyCommandLine(const wchar_t* commandLine, StartupOptions* options)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
    if (arguments == nullptr)
        return;
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<char[]> argument = WideToAnsi(arguments[i]);
        if (argument)
            ApplyStartupArgument(argument.get(), options);
    }
    LocalFree(arguments);
}

StartupMode ChooseStartupMode(const StartupOptions& options)
{
    if (options.slotName[0] != '\0' && options.mappingName[0] != '\0')
        return StartupMode::Host;
    if (options.uninstall)
        return StartupMode::Uninstall;
    return StartupMode::Configuration;
}
