#include "app/MorvaneApp.h"

#include <wx/icon.h>
#include <wx/msgdlg.h>

#include "ui/MainFrame.h"
#include "settings/WorkFolder.h"

#ifndef __WXMSW__
#include "app/MorvaneIcon.xpm"
#endif

bool MorvaneApp::OnInit() {
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
    return true;
}
