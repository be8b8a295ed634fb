#include "app/MorvaneApp.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/filename.h>
#include <wx/icon.h>
#include <wx/stdpaths.h>

#include "ui/MainFrame.h"
#include "ui/OpcodeFiles.h"
#include "ui/WindowLanguage.h"
#include "ui/WxTr.h"
#include "settings/WorkFolder.h"

#ifndef __WXMSW__
#include "app/MorvaneIcon.xpm"
#endif

bool MorvaneApp::OnInit() { return Start(argv.GetArguments()); }

// The window's settings are written while the application still exists; one
// that cannot be written is not worth a message on the way out.
int MorvaneApp::OnExit() {
    {
        wxLogNull quiet;
        delete wxConfigBase::Set(nullptr);
    }
    return wxApp::OnExit();
}

bool MorvaneApp::Start(const wxArrayString& arguments) {
    // The toolkit's own log goes to standard error: Morvane tells the user
    // what matters in its own messages, and a log window left over at exit
    // would outlive the application.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // `morvane FILE`: the file is named from the folder Morvane was started
    // in, which may not be the folder it then works in.
    wxString script;
    if (arguments.size() > 1) {
        wxFileName name(arguments[1]);
        name.MakeAbsolute();
        script = name.GetFullPath();
    }
    // The window's own settings (its size and place) go to the user's
    // configuration folder (~/.config/morvane on Linux, the registry on Windows).
    SetAppName("morvane");
    SetAppDisplayName("Morvane");
#ifdef __WXMSW__
    wxConfigBase::Set(wxConfigBase::Create());
#else
    // $XDG_CONFIG_HOME/morvane/morvane.conf (~/.config/...), its folder made
    // when missing.
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    const wxFileName configFile(wxStandardPaths::Get().GetUserConfigDir() + "/" + GetAppName(), GetAppName() + ".conf");
    {
        wxLogNull quiet;  // a folder that cannot be made only means nothing is remembered
        wxFileName::Mkdir(configFile.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    }
    wxConfigBase::Set(new wxFileConfig(GetAppName(), wxEmptyString, configFile.GetFullPath(), wxEmptyString,
                                       wxCONFIG_USE_LOCAL_FILE));
#endif
    // Every text from here on is in the player's language.
    StartChosenLanguage();
    // The working folder, or else the user's data folder, holds the three INI
    // files; otherwise the user chooses (once) where the missing games'
    // opcodes come from: the built-in tables or Sanny Builder's folder.
    const std::string dataFolder = morvane::UserDataFolder();
    if (morvane::EnterWorkFolder(dataFolder) == morvane::WorkFolder::Missing) {
        if (!ChoiceHolds(ReadOpcodeChoice())) {
            wxString text = wxString::FromUTF8(morvane::MissingIniFilesMessage(morvane::WorkingFolder(), dataFolder));
            if (text.empty()) text = WxTr("Couldn't find opcodes ini files.");  // folder names not UTF-8
            const std::optional<morvane::OpcodeChoice> choice = AskForOpcodeFiles(nullptr, text, WxTr("&Quit"));
            if (!choice) return false;
            RememberOpcodeChoice(*choice);
        }
        morvane::EnterFolderForChosenTables(dataFolder);
    }
    MainFrame* frame = new MainFrame(nullptr);
#ifdef __WXMSW__
    frame->SetIcon(wxIcon("aaaa", wxBITMAP_TYPE_ICO_RESOURCE, -1, -1));
#else
    frame->SetIcon(wxIcon(morvane_icon_xpm));
#endif
    frame->Show();
    if (!script.empty()) frame->OpenFromOutside(script);
    return true;
}
