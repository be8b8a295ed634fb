#include "ui/KeyMapWindow.h"

#include <wx/datetime.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/settings.h>
#include <wx/statbox.h>
#include <wx/utils.h>

#include <algorithm>
#include <functional>
#include <map>

#include "keymap/KeyboardPicture.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "ui/FileSystemPath.h"
#include "ui/ProgramName.h"

using namespace morvane;

namespace {

const char* const kTitle = "Key Map";
// Made this large when the screen has room, else as large as the screen's
// free area; never smaller than the least size.
const wxSize kWindowSize(1340, 740);
const wxSize kLeastSize(640, 420);
constexpr int kBorder = 5;
// The list keeps its width; the picture takes the room a larger window gives.
constexpr int kListWidth = 300;
// ... and widens for its longest line up to this share of the window.
constexpr double kMostListShare = 1 - KeyMapWindow::kLeastPictureShare - 0.05;
// Below the picture, the list is this high.
constexpr int kListHeightBelow = 170;
// Room for an item's expand button, beside the indent of each level.
constexpr int kTreeButtonRoom = 24;

// A script's line in the list: the file it opens.
class ScriptItem : public wxTreeItemData {
public:
    explicit ScriptItem(const wxString& path) : path_(path) {}
    const wxString& Path() const { return path_; }

private:
    wxString path_;
};

wxString Plural(std::size_t count, const char* one, const char* many) {
    return wxString::FromUTF8(morvane::Plural(static_cast<int64_t>(count), one, many));
}

// A script as the list names it: its path below the mapped folder.
wxString ShownName(const wxString& path, const wxString& folder) {
    wxFileName name(path);
    name.MakeRelativeTo(folder);
    return name.GetFullPath();
}

}  // namespace

KeyMapWindow::KeyMapWindow(wxWindow* parent, KeyMapSource source, const wxString& folder)
    : wxFrame(parent, wxID_ANY, kTitle), parent_(parent), source_(std::move(source)) {
    const int display = wxDisplay::GetFromWindow(parent);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    const wxSize wanted = FromDIP(kWindowSize);
    SetSize(wxSize(std::min(wanted.x, screen.width), std::min(wanted.y, screen.height)));
    auto* panel = new wxPanel(this);
    auto* panelSizer = new wxBoxSizer(wxVERTICAL);

    auto* folderRow = new wxBoxSizer(wxHORIZONTAL);
    folderRow->Add(new wxStaticText(panel, wxID_ANY, "&Folder"),
                   wxSizerFlags().CenterVertical().Border(wxALL, FromDIP(kBorder)));
    folderPicker_ = new wxDirPickerCtrl(panel, wxID_ANY, folder, "Choose the folder to map", wxDefaultPosition,
                                        wxDefaultSize, wxDIRP_DEFAULT_STYLE, wxDefaultValidator, "keyMapFolder");
    folderRow->Add(folderPicker_, wxSizerFlags(1).CenterVertical().Border(wxALL, FromDIP(kBorder)));
    mapAgainButton_ = new wxButton(panel, wxID_ANY, "&Map again", wxDefaultPosition, wxDefaultSize, 0,
                                   wxDefaultValidator, "mapAgainButton");
    mapAgainButton_->SetToolTip("Maps the folder again, with the game chosen in the main window");
    folderRow->Add(mapAgainButton_, wxSizerFlags().CenterVertical().Border(wxALL, FromDIP(kBorder)));
    panelSizer->Add(folderRow, wxSizerFlags().Expand());
    summary_ = new wxStaticText(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, "keyMapSummary");
    panelSizer->Add(summary_, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, FromDIP(kBorder)));

    mapRow_ = new wxBoxSizer(wxHORIZONTAL);
    auto* mapRow = mapRow_;
    picture_ = new KeyboardPicturePanel(panel);
    mapRow->Add(picture_, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(kBorder)));
    auto* listSizer = new wxStaticBoxSizer(wxVERTICAL, panel, "Conflicts");
    conflicts_ = new wxTreeCtrl(listSizer->GetStaticBox(), wxID_ANY, wxDefaultPosition, FromDIP(wxSize(kListWidth, -1)),
                                wxTR_HIDE_ROOT | wxTR_HAS_BUTTONS | wxTR_SINGLE | wxTR_NO_LINES, wxDefaultValidator,
                                "conflictList");
    listSizer->Add(conflicts_, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(kBorder)));
    listSizer->Add(new wxStaticText(listSizer->GetStaticBox(), wxID_ANY, "Double-click a script to open it."),
                   wxSizerFlags().Border(wxALL, FromDIP(kBorder)));
    mapRow->Add(listSizer, wxSizerFlags().Expand().Border(wxALL, FromDIP(kBorder)));
    panelSizer->Add(mapRow, wxSizerFlags(1).Expand());
    panel->SetSizer(panelSizer);

    SetMinSize(FromDIP(kLeastSize));
    folderPicker_->Bind(wxEVT_DIRPICKER_CHANGED, &KeyMapWindow::OnFolderChanged, this);
    mapAgainButton_->Bind(wxEVT_BUTTON, &KeyMapWindow::OnMapAgain, this);
    conflicts_->Bind(wxEVT_TREE_ITEM_ACTIVATED, &KeyMapWindow::OnItemActivated, this);
    Bind(wxEVT_SIZE, &KeyMapWindow::OnSize, this);
    ShowFolder(folder);
}

KeyMapWindow::~KeyMapWindow() {
    folderPicker_->Unbind(wxEVT_DIRPICKER_CHANGED, &KeyMapWindow::OnFolderChanged, this);
    mapAgainButton_->Unbind(wxEVT_BUTTON, &KeyMapWindow::OnMapAgain, this);
    conflicts_->Unbind(wxEVT_TREE_ITEM_ACTIVATED, &KeyMapWindow::OnItemActivated, this);
    Unbind(wxEVT_SIZE, &KeyMapWindow::OnSize, this);
}

void KeyMapWindow::ShowMessage(const wxString& text) { wxMessageBox(text, kProgramName, wxOK | wxCENTRE, this); }

bool KeyMapWindow::ShowFolder(const wxString& folder) {
    const OpcodeTable* table = source_.table();
    if (table == nullptr) {
        ShowMessage(wxString::Format("The key map cannot be made: the opcode file %s could not be read.",
                                     OpcodeIniFileName(source_.game())));
        return false;
    }
    if (!wxFileName::DirExists(folder)) {
        ShowMessage(wxString::Format("%s is not a folder.", folder));
        return false;
    }
    if (folderPicker_->GetPath() != folder) folderPicker_->SetPath(folder);
    wxBusyCursor busy;
    const ScriptSearch search = FindScripts({FileSystemPath(folder)}, source_.game());
    const KeyMap map = BuildKeyMap(search.scripts, *table, source_.game(), HeaderSkip::ByName);
    wxFileName name = wxFileName::DirName(folder);
    const wxString caption = name.GetDirCount() > 0 ? name.GetDirs().Last() : folder;
    FillList(map, search, folder);
    picture_->SetMap(
        map, KeyboardCaption{FileSystemPath(caption), std::string(wxDateTime::Today().FormatISODate().utf8_str())});
    SetTitle(wxString::Format("%s of %s", kTitle, caption));
    return true;
}

void KeyMapWindow::FillList(const KeyMap& map, const ScriptSearch& search, const wxString& folder) {
    conflicts_->DeleteAllItems();
    const wxTreeItemId root = conflicts_->AddRoot(wxEmptyString);
    auto addScript = [&](const wxTreeItemId& parent, const std::string& path, const wxString& tail) {
        const wxString shown = WindowPath(path);
        conflicts_->AppendItem(parent, ShownName(shown, folder) + tail, -1, -1, new ScriptItem(shown));
    };
    // A key's mods, each with the scripts of it that test the key.
    const auto addMods = [&](const wxTreeItemId& parent, const KeyEntry& entry) {
        std::map<std::size_t, std::vector<const KeyUse*>> byMod;
        for (const KeyUse& use : entry.uses) byMod[map.scripts[use.script].mod].push_back(&use);
        for (const auto& [mod, uses] : byMod) {
            // A script that is a mod of its own stands for itself.
            const wxTreeItemId item =
                map.IsLoneScript(mod) ? parent : conflicts_->AppendItem(parent, wxString::FromUTF8(map.mods[mod].name));
            for (const KeyUse* use : uses)
                addScript(item, map.scripts[use->script].path,
                          " (" + Plural(static_cast<std::size_t>(use->tests), "test", "tests") + ")");
        }
    };
    for (const KeyEntry& entry : map.keys) {
        if (!entry.IsConflict()) continue;
        const wxTreeItemId key = conflicts_->AppendItem(
            root, wxString::FromUTF8(KeyHeading(entry.key)) + ": " + Plural(entry.mods, "mod", "mods"));
        addMods(key, entry);
    }
    const std::size_t conflicts = map.ConflictCount();
    if (conflicts == 0) conflicts_->AppendItem(root, "None: no key is tested by two mods");
    if (!map.overlaps.empty()) {
        const wxTreeItemId heading =
            conflicts_->AppendItem(root, "Overlaps: keys of different mods that fire together");
        for (const Overlap& overlap : map.overlaps) {
            const KeyEntry& wider = map.keys[overlap.wider];
            const KeyEntry& within = map.keys[overlap.within];
            const wxTreeItemId item = conflicts_->AppendItem(
                heading, wxString::FromUTF8(KeyHeading(wider.key) + " and " + KeyHeading(within.key)));
            addMods(item, wider);
            addMods(item, within);
        }
    }

    std::vector<const ScriptKeys*> incomplete;
    std::vector<const ScriptKeys*> unread;
    for (const ScriptKeys& script : map.scripts) {
        if (!script.read)
            unread.push_back(&script);
        else if (script.IsIncomplete())
            incomplete.push_back(&script);
    }
    if (!incomplete.empty()) {
        const wxTreeItemId heading = conflicts_->AppendItem(root, "May test more (unknown instructions)");
        for (const ScriptKeys* script : incomplete)
            addScript(heading, script->path,
                      wxString::Format(" (%lld unknown)", static_cast<long long>(script->summary.unknownInstructions)));
    }
    if (!unread.empty()) {
        const wxTreeItemId heading = conflicts_->AppendItem(root, "Could not be read");
        for (const ScriptKeys* script : unread)
            addScript(heading, script->path, " (" + wxString::FromUTF8(script->cause) + ")");
    }
    conflicts_->ExpandAll();
    FitListToNames();

    wxString summary =
        wxString::Format("%s of %s mapped, %s", Plural(map.scripts.size() - unread.size(), "script", "scripts"),
                         Plural(map.mods.size(), "mod", "mods"), Plural(conflicts, "conflict", "conflicts"));
    for (const Mod& mod : map.mods)
        if (!mod.copies.empty())
            summary += wxString::FromUTF8("; installed twice: " + mod.name + ", " + mod.copies.front());
    if (map.scripts.empty()) summary = "No script in this folder or its subfolders.";
    if (!search.problems.empty())
        summary += wxString::Format(
            "; %s could not be searched, the first: %s (%s)", Plural(search.problems.size(), "path", "paths"),
            WindowPath(search.problems.front().path), wxString::FromUTF8(search.problems.front().cause));
    summary_->SetLabel(summary);
}

// The list as wide as its longest line, so that no name is cut off, but
// never more than a share of the window (then it scrolls).
void KeyMapWindow::FitListToNames() {
    int widest = FromDIP(kListWidth);
    const int indent = static_cast<int>(conflicts_->GetIndent()) + FromDIP(kTreeButtonRoom);
    const std::function<void(const wxTreeItemId&, int)> measure = [&](const wxTreeItemId& parent, int depth) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId item = conflicts_->GetFirstChild(parent, cookie); item.IsOk();
             item = conflicts_->GetNextChild(parent, cookie)) {
            widest = std::max(widest, conflicts_->GetTextExtent(conflicts_->GetItemText(item)).x + indent * depth);
            measure(item, depth + 1);
        }
    };
    measure(conflicts_->GetRootItem(), 1);
    listWidth_ = widest + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    ArrangeMap();
}

void KeyMapWindow::ArrangeMap() {
    const int width = GetClientSize().x;
    const int listWidth = std::min(listWidth_, std::max(static_cast<int>(width * kMostListShare), FromDIP(kListWidth)));
    // Borders: the picture's two, the list's box with its own.
    const int borders = FromDIP(8 * kBorder);
    const int pictureWidth = width - listWidth - borders;
    const int leastPicture = static_cast<int>(LeastPictureWidth()) + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    const bool beside = pictureWidth >= leastPicture && pictureWidth >= width * kLeastPictureShare;
    mapRow_->SetOrientation(beside ? wxHORIZONTAL : wxVERTICAL);
    // A box sizer gives an item room up to its best size, which the list's
    // names, or the size its box had below the picture, may make wider than
    // the list is to be.
    conflicts_->SetMinSize(beside ? wxSize(listWidth, wxDefaultCoord)
                                  : wxSize(wxDefaultCoord, FromDIP(kListHeightBelow)));
    conflicts_->SetMaxSize(beside ? wxSize(listWidth, wxDefaultCoord) : wxDefaultSize);
    wxWindow* box = conflicts_->GetParent();
    const int boxWidth = listWidth + FromDIP(4 * kBorder);
    box->SetMinSize(beside ? wxSize(boxWidth, wxDefaultCoord) : wxDefaultSize);
    box->SetMaxSize(beside ? wxSize(boxWidth, wxDefaultCoord) : wxDefaultSize);
    Layout();
    if (wxWindow* panel = mapRow_->GetContainingWindow()) panel->Layout();
}

void KeyMapWindow::OnSize(wxSizeEvent& event) {
    event.Skip();
    if (listWidth_ > 0) ArrangeMap();
}

void KeyMapWindow::OnFolderChanged(wxFileDirPickerEvent& event) { ShowFolder(event.GetPath()); }

void KeyMapWindow::OnMapAgain(wxCommandEvent& /*event*/) { ShowFolder(folderPicker_->GetPath()); }

void KeyMapWindow::OnItemActivated(wxTreeEvent& event) {
    const auto* script = dynamic_cast<const ScriptItem*>(conflicts_->GetItemData(event.GetItem()));
    if (script == nullptr) return;  // a heading
    if (source_.openScript(script->Path())) parent_->Raise();
}
