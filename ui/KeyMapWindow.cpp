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
#include "ui/WxTr.h"

using namespace morvane;

namespace {

// TRANSLATORS: the title of the window that shows which keys the scripts of a
// folder test.
const char* const kTitle = N_("Key Map");
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

// A script as the list names it: its path below the mapped folder.
wxString ShownName(const wxString& path, const wxString& folder) {
    wxFileName name(path);
    name.MakeRelativeTo(folder);
    return name.GetFullPath();
}

}  // namespace

KeyMapWindow::KeyMapWindow(wxWindow* parent, KeyMapSource source, const wxString& folder)
    : wxFrame(parent, wxID_ANY, WxTr(kTitle)), parent_(parent), source_(std::move(source)) {
    const int display = wxDisplay::GetFromWindow(parent);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    const wxSize wanted = FromDIP(kWindowSize);
    SetSize(wxSize(std::min(wanted.x, screen.width), std::min(wanted.y, screen.height)));
    auto* panel = new wxPanel(this);
    auto* panelSizer = new wxBoxSizer(wxVERTICAL);

    auto* folderRow = new wxBoxSizer(wxHORIZONTAL);
    // TRANSLATORS: the label of the folder whose scripts are mapped.
    folderRow->Add(new wxStaticText(panel, wxID_ANY, WxTr("&Folder")),
                   wxSizerFlags().CenterVertical().Border(wxALL, FromDIP(kBorder)));
    // TRANSLATORS: the title of the dialog that chooses the folder to map.
    folderPicker_ = new wxDirPickerCtrl(panel, wxID_ANY, folder, WxTr("Choose the folder to map"), wxDefaultPosition,
                                        wxDefaultSize, wxDIRP_DEFAULT_STYLE, wxDefaultValidator, "keyMapFolder");
    folderRow->Add(folderPicker_, wxSizerFlags(1).CenterVertical().Border(wxALL, FromDIP(kBorder)));
    // TRANSLATORS: the button that reads the folder's scripts again.
    mapAgainButton_ = new wxButton(panel, wxID_ANY, WxTr("&Map again"), wxDefaultPosition, wxDefaultSize, 0,
                                   wxDefaultValidator, "mapAgainButton");
    mapAgainButton_->SetToolTip(WxTr("Maps the folder again, with the game chosen in the main window"));
    folderRow->Add(mapAgainButton_, wxSizerFlags().CenterVertical().Border(wxALL, FromDIP(kBorder)));
    panelSizer->Add(folderRow, wxSizerFlags().Expand());
    summary_ = new wxStaticText(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, "keyMapSummary");
    panelSizer->Add(summary_, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, FromDIP(kBorder)));

    mapRow_ = new wxBoxSizer(wxHORIZONTAL);
    auto* mapRow = mapRow_;
    picture_ = new KeyboardPicturePanel(panel);
    mapRow->Add(picture_, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(kBorder)));
    // TRANSLATORS: the title of the list of keys that several mods test.
    auto* listSizer = new wxStaticBoxSizer(wxVERTICAL, panel, WxTr("Conflicts"));
    conflicts_ = new wxTreeCtrl(listSizer->GetStaticBox(), wxID_ANY, wxDefaultPosition, FromDIP(wxSize(kListWidth, -1)),
                                wxTR_HIDE_ROOT | wxTR_HAS_BUTTONS | wxTR_SINGLE | wxTR_NO_LINES, wxDefaultValidator,
                                "conflictList");
    listSizer->Add(conflicts_, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(kBorder)));
    listSizer->Add(new wxStaticText(listSizer->GetStaticBox(), wxID_ANY, WxTr("Double-click a script to open it.")),
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

// A message with its button in the window's language, not the toolkit's.
void KeyMapWindow::ShowMessage(const wxString& text) {
    wxMessageDialog message(this, text, kProgramName, wxOK | wxCENTRE);
    message.SetOKLabel(WxTr("OK"));
    message.ShowModal();
}

bool KeyMapWindow::ShowFolder(const wxString& folder) {
    const OpcodeTable* table = source_.table();
    if (table == nullptr) {
        // TRANSLATORS: {ini} is the game's opcode file ("VICESCM.ini").
        ShowMessage(WxText(Fill(Tr("The key map cannot be made: the opcode file {ini} could not be read."),
                                {{"ini", OpcodeIniFileName(source_.game())}})));
        return false;
    }
    if (!wxFileName::DirExists(folder)) {
        // TRANSLATORS: {folder} is the path chosen to map.
        ShowMessage(WxText(Fill(Tr("{folder} is not a folder."), {{"folder", folder.utf8_string()}})));
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
    // TRANSLATORS: the title of the key map's window; {folder} is the name of
    // the folder mapped.
    SetTitle(WxText(Fill(Tr("Key Map of {folder}"), {{"folder", caption.utf8_string()}})));
    return true;
}

void KeyMapWindow::FillList(const KeyMap& map, const ScriptSearch& search, const wxString& folder) {
    conflicts_->DeleteAllItems();
    const wxTreeItemId root = conflicts_->AddRoot(wxEmptyString);
    // A script's name as the list shows it, for the line of the script.
    const auto nameOf = [&](const std::string& path) { return ShownName(WindowPath(path), folder).utf8_string(); };
    // The line of a script, which opens it.
    const auto addScript = [&](const wxTreeItemId& parent, const std::string& path, const std::string& line) {
        conflicts_->AppendItem(parent, WxText(line), -1, -1, new ScriptItem(WindowPath(path)));
    };
    // A key's mods, each with the scripts of it that test the key.
    const auto addMods = [&](const wxTreeItemId& parent, const KeyEntry& entry) {
        std::map<std::size_t, std::vector<const KeyUse*>> byMod;
        for (const KeyUse& use : entry.uses) byMod[map.scripts[use.script].mod].push_back(&use);
        for (const auto& [mod, uses] : byMod) {
            // A script that is a mod of its own stands for itself.
            const wxTreeItemId item =
                map.IsLoneScript(mod) ? parent : conflicts_->AppendItem(parent, wxString::FromUTF8(map.mods[mod].name));
            for (const KeyUse* use : uses) {
                const std::string& path = map.scripts[use->script].path;
                const auto tests = static_cast<uint64_t>(use->tests);
                // TRANSLATORS: a script of the key map's list ("sa_keys.cs") with the
                // number of its tests of the key.
                const std::string line = Fill(TrN("{script} ({count} test)", "{script} ({count} tests)", tests),
                                              {{"script", nameOf(path)}, {"count", std::to_string(tests)}});
                addScript(item, path, line);
            }
        }
    };
    for (const KeyEntry& entry : map.keys) {
        if (!entry.IsConflict()) continue;
        // TRANSLATORS: a key of the key map's conflicts ("F2 (0x71)") with the
        // number of mods that test it.
        const std::string line = Fill(TrN("{key}: {count} mod", "{key}: {count} mods", entry.mods),
                                      {{"key", KeyHeading(entry.key)}, {"count", std::to_string(entry.mods)}});
        const wxTreeItemId key = conflicts_->AppendItem(root, WxText(line));
        addMods(key, entry);
    }
    const std::size_t conflicts = map.ConflictCount();
    if (conflicts == 0) conflicts_->AppendItem(root, WxTr("None: no key is tested by two mods"));
    if (!map.overlaps.empty()) {
        // TRANSLATORS: the heading of pairs of keys, tested by different mods,
        // that one press fires both of ("Shift" and "Left Shift").
        const wxString overlaps = WxTr("Overlaps: keys of different mods that fire together");
        const wxTreeItemId heading = conflicts_->AppendItem(root, overlaps);
        for (const Overlap& overlap : map.overlaps) {
            const KeyEntry& wider = map.keys[overlap.wider];
            const KeyEntry& within = map.keys[overlap.within];
            const std::string line =
                // TRANSLATORS: two keys that one press fires both of ("Shift (0x10)",
                // "Left Shift (0xA0)").
                Fill(Tr("{key} and {other}"), {{"key", KeyHeading(wider.key)}, {"other", KeyHeading(within.key)}});
            const wxTreeItemId item = conflicts_->AppendItem(heading, WxText(line));
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
        // TRANSLATORS: the heading of the scripts that may test keys the map does
        // not show, after instructions the opcode file does not describe.
        const wxTreeItemId heading = conflicts_->AppendItem(root, WxTr("May test more (unknown instructions)"));
        for (const ScriptKeys* script : incomplete) {
            const auto unknown = static_cast<uint64_t>(script->summary.unknownInstructions);
            // TRANSLATORS: a script ("vc_keys.cs") with the number of its
            // instructions the opcode file does not describe.
            const std::string line = Fill(TrN("{script} ({count} unknown)", "{script} ({count} unknown)", unknown),
                                          {{"script", nameOf(script->path)}, {"count", std::to_string(unknown)}});
            addScript(heading, script->path, line);
        }
    }
    if (!unread.empty()) {
        // TRANSLATORS: the heading of the scripts the key map could not read.
        const wxTreeItemId heading = conflicts_->AppendItem(root, WxTr("Could not be read"));
        for (const ScriptKeys* script : unread) {
            const std::string line =
                // TRANSLATORS: a script ("vc_keys.cs") and why it could not be read
                // ("no permission").
                Fill(Tr("{script} ({cause})"), {{"script", nameOf(script->path)}, {"cause", script->cause}});
            addScript(heading, script->path, line);
        }
    }
    conflicts_->ExpandAll();
    FitListToNames();

    const std::size_t mapped = map.scripts.size() - unread.size();
    // The counted parts of the summary.
    const std::string scripts =
        // TRANSLATORS: {scripts} of the key map's summary: the scripts mapped.
        Fill(TrN("{count} script", "{count} scripts", mapped), {{"count", std::to_string(mapped)}});
    const std::string mods =
        // TRANSLATORS: {mods} of the key map's summary: the mods the scripts make up.
        Fill(TrN("{count} mod", "{count} mods", map.mods.size()), {{"count", std::to_string(map.mods.size())}});
    const std::string conflictCount =
        // TRANSLATORS: {conflicts} of the key map's summary: the keys that several mods test.
        Fill(TrN("{count} conflict", "{count} conflicts", conflicts), {{"count", std::to_string(conflicts)}});
    // TRANSLATORS: the key map's summary: {scripts} is "12 scripts", {mods}
    // "3 mods", {conflicts} "2 conflicts".
    std::string summary = Fill(Tr("{scripts} of {mods} mapped, {conflicts}"),
                               {{"scripts", scripts}, {"mods", mods}, {"conflicts", conflictCount}});
    for (const Mod& mod : map.mods) {
        if (mod.copies.empty()) continue;
        const std::string twice =
            // TRANSLATORS: added to the key map's summary after "; ": {mod} is a
            // mod's folder, {copy} the other folder it is in too.
            Fill(Tr("installed twice: {mod}, {copy}"), {{"mod", mod.name}, {"copy", mod.copies.front()}});
        summary += "; " + twice;
    }
    if (map.scripts.empty()) summary = Tr("No script in this folder or its subfolders.");
    if (!search.problems.empty()) {
        const std::size_t problems = search.problems.size();
        // TRANSLATORS: added to the key map's summary after "; ": {count} paths
        // that could not be searched, {path} the first of them, {cause} why
        // ("no permission").
        summary += "; " + Fill(TrN("{count} path could not be searched, the first: {path} ({cause})",
                                   "{count} paths could not be searched, the first: {path} ({cause})", problems),
                               {{"count", std::to_string(problems)},
                                {"path", WindowPath(search.problems.front().path).utf8_string()},
                                {"cause", search.problems.front().cause}});
    }
    summary_->SetLabel(WxText(summary));
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
