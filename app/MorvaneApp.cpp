#include "app/MorvaneApp.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/icon.h>
#include <wx/stdpaths.h>
#include <wx/msgdlg.h>

#include "ui/MainFrame.h"
#include "settings/WorkFolder.h"

#ifndef __WXMSW__
#include "app/MorvaneIcon.xpm"
#endif

bool MorvaneApp::OnInit() { return Start(argv.GetArguments()); }

bool MorvaneApp::Start(const wxArrayString& arguments) {
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
#ifndef __WXMSW__
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
#endif
    wxConfigBase::Set(wxConfigBase::Create());
    // The working folder, or else the user's data folder, must hold the three INI files.
    const std::string dataFolder = morvane::UserDataFolder();
    if (morvane::EnterWorkFolder(dataFolder) == morvane::WorkFolder::Missing) {
        wxString text = wxString::FromUTF8(morvane::MissingIniFilesMessage(morvane::WorkingFolder(), dataFolder));
        if (text.empty()) text = "Couldn't find opcodes ini files.\nProgram will close.";  // folder names not UTF-8
        wxMessageBox(text, wxMessageBoxCaptionStr, wxOK | wxCENTRE);
        return false;
    }
    MainFrame* frame = new MainFrame(nullptr);
#ifdef __WXMSW__
    frame->SetIcon(wxIcon("aaaa", wxBITMAP_TYPE_ICO_RESOURCE, -1, -1));
#else
    frame->SetIcon(wxIcon(morvane_icon_xpm));
#endif
    frame->Show();
    if (!script.empty()) frame->OpenScript(script);
    return true;
}
