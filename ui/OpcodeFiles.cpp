#include "ui/OpcodeFiles.h"

#include <wx/config.h>
#include <wx/dirdlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include "opcodes/SannyBuilder.h"
#include "settings/WorkFolder.h"
#include "ui/FileSystemPath.h"
#include "ui/ProgramName.h"
#include "ui/WxTr.h"

using namespace morvane;

namespace {

const char* const kSourceKey = "/Opcodes/Source";
const char* const kSannyFolderKey = "/Opcodes/SannyBuilderFolder";
const char* const kBuiltInValue = "built-in";
const char* const kSannyValue = "Sanny Builder";
// TRANSLATORS: the title of the dialog that chooses the folder Sanny Builder is installed in.
const char* const kFolderTitle = N_("Choose Sanny Builder's folder");
const char* const kNoOpcodeFiles =
    // TRANSLATORS: {folder} is the folder chosen, {cause} why it holds no opcode
    // files ("data/sa/sa.ini: not found").
    N_("{folder} holds no opcode files of Sanny Builder: {cause}\n\nChoose the folder Sanny Builder is installed in.");

// The first cause a folder gives for holding no game's table, or nothing
// when it holds one.
std::optional<std::string> NoTableCause(const std::string& folder) {
    std::string first;
    for (const GameId game : kAllGames) {
        const Result<SannyBuilderTable> read = LoadSannyBuilderTable(folder, game);
        if (read) return std::nullopt;
        if (first.empty()) first = read.Cause();
    }
    return first;
}

}  // namespace

OpcodeChoice ReadOpcodeChoice() {
    wxConfigBase* config = wxConfigBase::Get();
    const wxString source = config->Read(kSourceKey, wxString());
    OpcodeChoice choice;
    if (source == kBuiltInValue) {
        choice.kind = OpcodeChoice::Kind::BuiltIn;
    } else if (source == kSannyValue) {
        choice.kind = OpcodeChoice::Kind::SannyBuilder;
        choice.sannyFolder = FileSystemPath(config->Read(kSannyFolderKey, wxString()));
    }
    return choice;
}

void RememberOpcodeChoice(const OpcodeChoice& choice) {
    wxConfigBase* config = wxConfigBase::Get();
    switch (choice.kind) {
        case OpcodeChoice::Kind::None: config->DeleteEntry(kSourceKey); break;
        case OpcodeChoice::Kind::BuiltIn: config->Write(kSourceKey, kBuiltInValue); break;
        case OpcodeChoice::Kind::SannyBuilder:
            config->Write(kSourceKey, kSannyValue);
            config->Write(kSannyFolderKey, WindowPath(choice.sannyFolder));
            break;
    }
    config->Flush();
}

bool ChoiceHolds(const OpcodeChoice& choice) {
    switch (choice.kind) {
        case OpcodeChoice::Kind::None: return false;
        case OpcodeChoice::Kind::BuiltIn: return true;
        case OpcodeChoice::Kind::SannyBuilder: return wxFileName::DirExists(WindowPath(choice.sannyFolder));
    }
    return false;
}

std::optional<OpcodeChoice> AskForOpcodeFiles(wxWindow* parent, const wxString& message, const wxString& cancelLabel) {
    wxString folder = WindowPath(DefaultSannyBuilderFolder());
    for (;;) {
        wxMessageDialog question(parent, message, kProgramName, wxYES_NO | wxCANCEL | wxCANCEL_DEFAULT | wxCENTRE);
        // TRANSLATORS: the buttons of the question where the opcodes come from.
        question.SetYesNoCancelLabels(WxTr("Use &Built-in Tables"), WxTr("Choose &Sanny Builder Folder..."),
                                      cancelLabel);
        switch (question.ShowModal()) {
            case wxID_YES: return OpcodeChoice{OpcodeChoice::Kind::BuiltIn, {}};
            case wxID_NO: break;
            default: return std::nullopt;
        }
        for (;;) {
            wxDirDialog dialog(parent, WxTr(kFolderTitle), folder, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
            if (dialog.ShowModal() != wxID_OK) break;  // back to the question
            folder = dialog.GetPath();
            const std::optional<std::string> cause = NoTableCause(FileSystemPath(folder));
            if (!cause) return OpcodeChoice{OpcodeChoice::Kind::SannyBuilder, FileSystemPath(folder)};
            wxMessageDialog message(
                parent, WxText(Fill(Tr(kNoOpcodeFiles), {{"folder", folder.utf8_string()}, {"cause", *cause}})),
                kProgramName, wxOK | wxCENTRE);
            message.SetOKLabel(WxTr("OK"));  // in the window's language, not the toolkit's
            message.ShowModal();
        }
    }
}
