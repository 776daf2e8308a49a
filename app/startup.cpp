#include "app/startup.h"

#include "app/startup_options.h"
#include "catalogue/codec_catalogue.h"
#include "host/codec_host.h"
#include "maint/settings_directory.h"
#include "maint/uninstall.h"
#include "settings/ui_language.h"
#include "ui/config_dlg.h"
#include "ui/tool_run_scope.h"

int RunStartup(HINSTANCE instance, const char* commandTail)
{
    StartupOptions options = {};
    if (commandTail != nullptr && commandTail[0] != '\0')
        ApplyCommandLine(GetCommandLineW(), &options);
    LoadUiLanguage(&options.language);

    switch (ChooseStartupMode(options)) {
    case StartupMode::Host:
        g_codecHost.Run(instance, options.slotName, options.mappingName);
        g_codecHost.Release();
        return static_cast<int>(g_codecHost.ExitCode());
    case StartupMode::Uninstall:
        RunUninstall(options.language, options.silent, ReportUninstallFailure);
        break;
    case StartupMode::Configuration:
        BuildCodecCatalogue();
        if (options.install)
            CreateSettingsDirectory();
        g_configDlg.DoModal(instance, nullptr, options.language, options.install, options.silent);
        break;
    }
    return 0;
}
