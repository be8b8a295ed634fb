#include "app/MorvaneApp.h"

#include <wx/filefn.h>
#include <wx/icon.h>
#include <wx/msgdlg.h>

#include "app/Morvane.h"
#include "opcodes/IniLoader.h"

#ifndef __WXMSW__
#include "app/MorvaneIcon.xpm"
#endif

bool MorvaneApp::OnInit() {
    for (morvane::GameId game = 0; game < morvane::kGameCount; ++game) {
        if (!wxFileExists(morvane::OpcodeIniFileName(game))) {
            wxMessageBox("Couldn't find opcodes ini files.\nProgram will close.", wxMessageBoxCaptionStr,
                         wxOK | wxCENTRE);
            return false;
        }
    }
    Morvane* frame = new Morvane(nullptr);
#ifdef __WXMSW__
    frame->SetIcon(wxIcon("aaaa", wxBITMAP_TYPE_ICO_RESOURCE, -1, -1));
#else
    frame->SetIcon(wxIcon(morvane_icon_xpm));
#endif
    frame->Show();
    return true;
}
