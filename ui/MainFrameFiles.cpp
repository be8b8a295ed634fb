// The Open File, Close File and Save File commands of the window, and the
// question before unsaved edits would be lost.

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <chrono>
#include <optional>

#include "io/SafeWrite.h"
#include "io/SaveLeftovers.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/Instructions.h"
#include "session/GameGuess.h"
#include "script/ScriptFiles.h"
#include "ui/FileSystemPath.h"
#include "ui/MainFrame.h"
#include "ui/OpcodeFiles.h"
#include "ui/ProgramName.h"
#include "ui/WxTr.h"

using namespace morvane;

namespace {

// TRANSLATORS: the title of the Open and Save As dialogs.
const char* const kDialogTitle = N_("Choose a file");
// The save dialog's filters by extension, in SaveWildcard's order; any other
// extension takes the last filter, "All files".
const char* const kSaveExtensions[] = {"cs", "cm", "scm"};
const int kAllFilesFilter = 3;
const char* const kNothingFound = N_("No key opcode found.");
// TRANSLATORS: {file} is the file's name, {cause} why it could not be saved
// ("is write-protected").
const char* const kSaveFailed = N_("Couldn't save file {file}\n{cause}");
constexpr int kReadingNoteWidth = 420;
// After an open whose walk met instructions the opcode file does not describe,
// under how many there are.
const char* const kUnknownConsequence =
    N_("From there on the script may have been read wrongly, so the key tests after it may be wrong. They are marked "
       "(?) in the list.");
// After an open of a main script whose header names offsets past its end.
const char* const kCutShort =
    // TRANSLATORS: {file} is the script's name; {state} says how it is cut short
    // ("cut short: its header names 2 offsets past the file's end (1,500 bytes);
    // the tests of what is missing are not listed").
    N_("{file} is {state}.\nIt may be a copy that stopped early: the whole file is needed to change its keys safely.");
// After the warning about instructions the opcode file does not describe,
// when the table is the built-in one.
const char* const kBuiltinCure =
    // TRANSLATORS: "File > Opcode Files..." names the menu and the command as the
    // window shows them.
    N_("The built-in table holds the games' own opcodes and CLEO 4's; choosing Sanny Builder's folder (File > Opcode "
       "Files...) adds those of the libraries it knows (CLEO+, CLEO 5, SAMPFUNCS).");
// When most of what the walk read was unknown instructions.
// TRANSLATORS: {game} is the game chosen ("San Andreas").
const char* const kNotAScript = N_("This does not look like a {game} script.");
// TRANSLATORS: {file} is the script's name.
const char* const kSaveQuestion = N_("Save changes to {file}?");
// TRANSLATORS: {file} is the name typed in the Save As dialog, with its extension.
const char* const kReplaceQuestion = N_("{file} already exists. Replace it?");
// TRANSLATORS: {file} is the script's name, {cause} why it could not be opened
// ("not found").
const char* const kOpenFailed = N_("Couldn't open {file}\n{cause}");
// TRANSLATORS: in the status bar after a save; {file} is the file's name.
const char* const kSavedStatus = N_("Saved {file}");
// TRANSLATORS: {file} is the file's name; {problem} what the save could not keep
// ("not kept from the file it replaced: its owner").
const char* const kSavedWithout = N_("Saved {file}, but {problem}.");
const char* const kLeftoversFound = N_("Unfinished saves left these files in its folder:");
constexpr std::size_t kLeftoversShown = 10;
// Over the empty list while no script is open.
// TRANSLATORS: "File, Open File..." (with a small triangle between) names the
// menu and the command as the window shows them.
const char* const kOpenHint = N_("Open a script (File \xE2\x96\xB8 Open File..., Ctrl+O) to list its key tests");

// How often the window repaints its gauge while a file is scanned.
constexpr std::chrono::milliseconds kRepaintInterval(30);

// The Open dialog's filter: the extensions of every script in lower and
// upper case (GTK's patterns heed case), then any file.
wxString OpenWildcard() {
    wxString patterns;
    for (const std::string& extension : kScriptExtensions)
        patterns += (patterns.empty() ? "*." : ";*.") + wxString::FromUTF8(extension);
    for (const std::string& extension : kScriptExtensions) patterns += ";*." + wxString::FromUTF8(extension).Upper();
    // TRANSLATORS: in the Open dialog's list of file types; {patterns} are the
    // extensions ("*.cs;*.cm;*.scm").
    return WxText(Fill(Tr("Script ({patterns})"), {{"patterns", patterns.utf8_string()}})) + "|" + patterns + "|" +
           WxTr("All files") + " (*.*)|*.*";
}

// The Save dialog's filters, in kSaveExtensions' order, then any file.
wxString SaveWildcard() {
    // TRANSLATORS: in the Save dialog's list of file types: a CLEO script (.cs).
    return WxTr("Custom Script") + " (.cs)|*.cs|" +
           // TRANSLATORS: in the Save dialog's list of file types: a CLEO mission (.cm).
           WxTr("Custom Mission") + " (.cm)|*.cm|SCM (.scm)|*.scm|" +
           // TRANSLATORS: in the Open and Save dialogs' lists of file types.
           WxTr("All files") + " (*.*)|*.*";
}

// "Couldn't open x.cs" with the cause under it.
wxString OpenFailedText(const wxString& path, const std::string& cause) {
    return WxText(Fill(Tr(kOpenFailed), {{"file", wxFileName(path).GetFullName().utf8_string()}, {"cause", cause}}));
}

int SaveFilterFor(const wxString& path) {
    const wxString extension = wxFileName(path).GetExt();
    for (int i = 0; i < kAllFilesFilter; ++i)
        if (extension == kSaveExtensions[i]) return i;
    return kAllFilesFilter;
}

}  // namespace

// No script: the path and the list are empty, the choices show nothing.
void MainFrame::ShowNoFileState() {
    pathText->SetValue(wxEmptyString);
    for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) choice->SetSelection(wxNOT_FOUND);
    ShowKeyEditor(false);
    progressGauge->SetValue(0);
    contextView->Clear();
    UpdateHeading();
    ShowReadingNote();
    UpdateTitle();
}

// Above the list for as long as the script is open: that it is cut short,
// and where the walk met the first instruction the opcode file does not
// describe, after which the tests are marked (?).
void MainFrame::ShowReadingNote() {
    wxString note;
    if (session.IsOpen()) {
        const ScanSummary& summary = session.Summary();
        if (summary.code.CutShort())
            note = WxText(
                // TRANSLATORS: {state} says how the file is cut short ("cut short: its
                // header names 2 offsets past the file's end (1,500 bytes); the tests of
                // what is missing are not listed").
                Fill(Tr("This file is {state}."), {{"state", CutShortText(summary.code, session.Image().Size())}}));
        if (const std::optional<DataBlock> swallowed = summary.SwallowingBlock()) {
            // TRANSLATORS: {note} says which offsets were taken for data ("offsets 100 to
            // 200 (100 bytes, after 80 bytes of code) were taken for data, since ...").
            note += (note.empty() ? "" : "\n") +
                    WxText(Fill(Tr("Note: {note}."), {{"note", SwallowedText(*swallowed, summary)}}));
        }
        if (summary.HasUnknown())
            note += (note.empty() ? "" : "\n") +
                    // TRANSLATORS: {count} instructions the opcode file does not describe;
                    // {offset} where the first is ("0x1A2B").
                    WxText(Fill(TrN("The opcode file does not describe {count} instruction of this script, the first "
                                    "at offset {offset}: the key tests after it are marked (?).",
                                    "The opcode file does not describe {count} instructions of this script, the first "
                                    "at offset {offset}: the key tests after it are marked (?).",
                                    static_cast<uint64_t>(summary.unknownInstructions)),
                                {{"count", GroupedNumber(summary.unknownInstructions)},
                                 {"offset", HexOffsetText(*summary.firstUnknownOffset)}}));
    }
    readingNote->SetLabel(note);
    readingNote->Wrap(readingNote->GetParent()->FromDIP(kReadingNoteWidth));
    readingNote->GetContainingSizer()->Show(readingNote, !note.empty());
    readingNote->GetContainingSizer()->Layout();
}

void MainFrame::CloseScript() {
    StopWaitingForKey();
    session.Close();
    editedTest = kNoTest;
    FillList(kNoTest);
    SetStatusText(wxEmptyString);
    ShowNoFileState();
}

// "704 key tests found"; while the filter hides some, "12 of 704 key tests";
// with no script, how to open one.
void MainFrame::UpdateHeading() {
    if (!session.IsOpen()) {
        testsHeading->SetLabel(WxTr(kOpenHint));
        return;
    }
    const std::size_t count = session.Tests().size();
    if (!rows.IsFiltered()) {
        testsHeading->SetLabel(WxText(
            Fill(TrN("{count} key test found", "{count} key tests found", count), {{"count", std::to_string(count)}})));
        return;
    }
    const std::string all =
        Fill(TrN("{count} key test", "{count} key tests", count), {{"count", std::to_string(count)}});
    testsHeading->SetLabel(
        // TRANSLATORS: above the list while its filter hides some tests: {shown} is
        // the number listed, {tests} all of the script's ("704 key tests").
        WxText(Fill(Tr("{shown} of {tests}"), {{"shown", std::to_string(rows.Count())}, {"tests", all}})));
}

void MainFrame::OnOpenFile(wxCommandEvent& /*event*/) {
    if (!ConfirmDiscard()) return;
    // Open starts in the opened file's folder, else in the last one used.
    const wxString folder = session.IsOpen() ? wxFileName(CurrentPath()).GetPath()
                                             : wxConfigBase::Get()->Read("/Files/LastFolder", wxString());
    wxFileDialog dialog(this, WxTr(kDialogTitle), folder, wxEmptyString, OpenWildcard(),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    OpenScript(dialog.GetPath());
}

// A script that cannot be opened (unreadable, not a script of the game, no
// key test) leaves the one that was open as it was.
void MainFrame::OpenScript(const wxString& path) {
    if (!opcodeTable) return;
    ScannedScript read;
    if (!ReadScript(path, read)) return;
    if (const auto cause = TooLittleToRead(read.summary.code, read.image.Size())) {
        ShowMessage(OpenFailedText(path, *cause));
        return;
    }
    if (OfferBetterGame(path, read)) return;
    if (read.tests.empty()) {
        ShowMessage(read.summary.LooksLikeScript() ? WxTr(kNothingFound)
                                                   : WxText(Fill(Tr(kNotAScript), {{"game", GameName(selectedGame)}})));
        return;
    }

    StopWaitingForKey();
    session.Adopt(std::move(read), FileSystemPath(path), opcodeTable);
    pathText->SetValue(path);
    SetStatusText(wxEmptyString);
    RememberRecentFile(path);
    UpdateTitle();
    FillList(0);

    const ScanSummary& summary = session.Summary();
    ShowReadingNote();
    if (summary.code.CutShort())
        ShowMessage(WxText(Fill(Tr(kCutShort), {{"file", wxFileName(path).GetFullName().utf8_string()},
                                                {"state", CutShortText(summary.code, session.Image().Size())}})));
    if (summary.HasUnknown()) {
        // After an open whose walk met instructions the opcode file does not
        // describe: how many, where the first is, which opcodes.
        // TRANSLATORS: {count} instructions the opcode file does not describe;
        // {offset} where the first is ("0x1A2B").
        wxString text = WxText(Fill(TrN("The opcode file does not describe {count} instruction of this script; the "
                                        "first is at offset {offset}.",
                                        "The opcode file does not describe {count} instructions of this script; the "
                                        "first is at offset {offset}.",
                                        static_cast<uint64_t>(summary.unknownInstructions)),
                                    {{"count", std::to_string(summary.unknownInstructions)},
                                     {"offset", HexOffsetText(*summary.firstUnknownOffset)}}));
        text += "\n" + WxTr(kUnknownConsequence);
        text += "\n\n" +
                // TRANSLATORS: {opcodes} lists the opcodes ("0BBB, 0CCC.") and ends with a
                // full stop, or with ", ..." when there are more than it shows.
                WxText(Fill(Tr("Opcodes not described: {opcodes} An opcode file that describes them reads "
                               "the script whole."),
                            {{"opcodes", UnknownOpcodesText(summary) + (summary.moreUnknownOpcodes ? "" : ".")}}));
        // The libraries named are San Andreas's.
        if (gameTable && gameTable->source == OpcodeSource::BuiltIn && selectedGame == kGameSanAndreas)
            text += "\n" + WxTr(kBuiltinCure);
        if (gameTable && gameTable->fromPcEdition)
            text += "\n\n" + wxString::FromUTF8(PcEditionTableNote(selectedGame));
        ShowMessage(text);
    }
}

void MainFrame::ShowGauge(bool show) {
    wxSizer* column = progressGauge->GetContainingSizer();
    if (column->IsShown(progressGauge) == show) return;
    column->Show(progressGauge, show);
    mainPanel->Layout();
}

bool MainFrame::ReadScript(const wxString& path, ScannedScript& read) {
    read.image.game = selectedGame;
    if (const Status loaded = read.image.LoadFromFile(FileSystemPath(path)); !loaded) {
        ShowMessage(OpenFailedText(path, loaded.Cause()));
        return false;
    }
    // No input reaches the window while the file is scanned; now and then
    // the gauge moves and the window repaints, nothing more. The gauge shows
    // only while the scan goes on: once it ends, whatever comes of it, the
    // gauge goes and its room is the view's again.
    wxWindowDisabler noInput;
    wxBusyCursor busy;
    progressGauge->SetValue(0);
    progressGauge->SetRange(read.image.Size());
    ShowGauge(true);
    auto lastRepaint = std::chrono::steady_clock::now();
    read.summary = ScanKeyTests(read.image, *opcodeTable, HeaderSkip::ByName, read.tests, [&](int32_t position) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastRepaint < kRepaintInterval) return;
        lastRepaint = now;
        progressGauge->SetValue(position);
        wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_UI);
    });
    progressGauge->SetValue(0);
    ShowGauge(false);
    return true;
}

// When much of the script is unknown to the selected game's table and
// another game's table reads it far better, asks whether to switch to that
// game, every time it is so.
bool MainFrame::OfferBetterGame(const wxString& path, const ScannedScript& read) {
    std::vector<std::unique_ptr<GameTable>> loaded;
    std::optional<wxBusyCursor> busy;
    if (ReadsPoorly(read.summary)) busy.emplace();  // the other games' tables are read and tried
    const std::optional<BetterReading> better = BetterGame(read, [&](GameId game) -> const OpcodeTable* {
        Result<GameTable> table = morvane::LoadGameTable(game, std::string(), ReadOpcodeChoice());
        if (!table) return nullptr;
        loaded.push_back(std::make_unique<GameTable>(std::move(*table)));
        return &loaded.back()->table;
    });
    busy.reset();
    if (!better) return false;
    // The question when another game's table reads the script far better.
    // TRANSLATORS: part of the question below: how many instructions the script has.
    const std::string instructions = Fill(TrN("this script's {count} instruction", "this script's {count} instructions",
                                              static_cast<uint64_t>(read.summary.instructions)),
                                          {{"count", GroupedNumber(read.summary.instructions)}});
    const wxString question = WxText(
        // TRANSLATORS: {count} of the script's instructions are unknown to the
        // {game} table, {other} to the {better} table; {instructions} is "this
        // script's 1,200 instructions". {game} and {better} are games ("GTA III",
        // "San Andreas").
        Fill(TrN("{count} of {instructions} is unknown to the {game} opcode table, {other} to the {better} table.\n"
                 "Is it a {better} script? Switch to {better} and open it again?",
                 "{count} of {instructions} are unknown to the {game} opcode table, {other} to the {better} table.\n"
                 "Is it a {better} script? Switch to {better} and open it again?",
                 static_cast<uint64_t>(read.summary.unknownInstructions)),
             {{"count", GroupedNumber(read.summary.unknownInstructions)},
              {"instructions", instructions},
              {"game", GameName(selectedGame)},
              {"other", GroupedNumber(better->unknownInstructions)},
              {"better", GameName(better->game)}}));
    wxMessageDialog dialog(this, question, kProgramName, wxYES_NO | wxCENTRE);
    // TRANSLATORS: buttons of the question whether to switch games; {game} is a
    // game ("San Andreas").
    dialog.SetYesNoLabels(WxText(Fill(Tr("&Switch to {game}"), {{"game", GameName(better->game)}})),
                          WxText(Fill(Tr("&Keep {game}"), {{"game", GameName(selectedGame)}})));
    if (dialog.ShowModal() != wxID_YES) return false;
    SelectGame(better->game);
    OpenScript(path);
    return true;
}

bool MainFrame::OpenFromOutside(const wxString& path) {
    if (!opcodeTable) {
        ShowMessage(WxText(
            // TRANSLATORS: {file} is the script's name, {ini} the game's opcode file ("SASCM.ini").
            Fill(Tr("{file} cannot be opened: the opcode file {ini} could not be read."),
                 {{"file", wxFileName(path).GetFullName().utf8_string()}, {"ini", OpcodeIniFileName(selectedGame)}})));
        return false;
    }
    if (!ConfirmDiscard()) return false;
    OpenScript(path);
    return session.IsOpen();
}

void MainFrame::OnCloseFile(wxCommandEvent& /*event*/) {
    if (!ConfirmDiscard()) return;
    CloseScript();
}

bool MainFrame::ConfirmDiscard() {
    if (!ApplyPendingCheatCode()) return false;
    if (!session.IsModified()) return true;
    const wxString name = wxFileName(CurrentPath()).GetFullName();
    wxMessageDialog dialog(this, WxText(Fill(Tr(kSaveQuestion), {{"file", name.utf8_string()}})), kProgramName,
                           wxYES_NO | wxCANCEL | wxCENTRE);
    // TRANSLATORS: the buttons of the question whether to save changes.
    dialog.SetYesNoCancelLabels(WxTr("&Save"), WxTr("Do&n't Save"), WxTr("&Cancel"));
    switch (dialog.ShowModal()) {
        case wxID_YES: return Save();
        case wxID_NO: return true;
        default: return false;
    }
}

void MainFrame::OnSaveFile(wxCommandEvent& /*event*/) { Save(); }

void MainFrame::OnSaveAs(wxCommandEvent& /*event*/) { SaveAs(); }

bool MainFrame::Save() {
    if (!session.IsOpen() || !ApplyPendingCheatCode()) return false;
    return session.SavedPath().empty() ? SaveAs() : SaveTo(WindowPath(session.SavedPath()));
}

namespace {

// "\n\nUnfinished saves left these files in its folder:\n<path>: left by a
// save of ..." for the message after a save, the first few of them; empty
// for none.
wxString LeftoversText(const std::vector<SaveLeftover>& leftovers) {
    if (leftovers.empty()) return wxString();
    wxString text = "\n\n" + WxTr(kLeftoversFound);
    for (std::size_t i = 0; i < leftovers.size() && i < kLeftoversShown; ++i)
        text += "\n" + WindowPath(leftovers[i].path) + ": " + wxString::FromUTF8(SaveLeftoverText(leftovers[i]));
    if (leftovers.size() > kLeftoversShown) {
        const std::size_t more = leftovers.size() - kLeftoversShown;
        // TRANSLATORS: after the first files of the list, {count} files not listed.
        text += "\n" + WxText(Fill(TrN("... and {count} more", "... and {count} more", more),
                                   {{"count", std::to_string(more)}}));
    }
    return text;
}

}  // namespace

// Offers the opened file's folder and name with the filter of its
// extension; a name typed without an extension gets the opened file's.
bool MainFrame::SaveAs() {
    if (!session.IsOpen() || !ApplyPendingCheatCode()) return false;
    const wxFileName current(CurrentPath());
    wxFileDialog dialog(this, WxTr(kDialogTitle), current.GetPath(), current.GetFullName(), SaveWildcard(),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(SaveFilterFor(CurrentPath()));
    if (dialog.ShowModal() != wxID_OK) return false;
    wxFileName chosen(dialog.GetPath());
    if (!chosen.HasExt()) {
        chosen.SetExt(current.GetExt());
        // The dialog asked about the name as typed; the name with its
        // extension may be another file that is there.
        if (chosen.FileExists()) {
            wxMessageDialog replace(this,
                                    WxText(Fill(Tr(kReplaceQuestion), {{"file", chosen.GetFullName().utf8_string()}})),
                                    kProgramName, wxYES_NO | wxNO_DEFAULT | wxCENTRE);
            // The buttons in the window's language, not the toolkit's.
            // TRANSLATORS: the button that saves over the file that is there.
            replace.SetYesNoLabels(WxTr("&Replace"), WxTr("&Cancel"));
            if (replace.ShowModal() != wxID_YES) return false;
        }
    }
    return SaveTo(chosen.GetFullPath());
}

wxString MainFrame::CurrentPath() const { return WindowPath(session.CurrentPath()); }

bool MainFrame::ConfirmDoubtfulSave() {
    const std::size_t doubtful = session.ChangedDoubtfulTests().size();
    if (doubtful == 0) return true;
    const wxString question =
        WxText(Fill(TrN("{count} changed test lies after an instruction the opcode file does not describe; it may be "
                        "data. Save anyway?",
                        "{count} changed tests lie after an instruction the opcode file does not describe; they may be "
                        "data. Save anyway?",
                        doubtful),
                    {{"count", std::to_string(doubtful)}}));
    wxMessageDialog dialog(this, question, kProgramName, wxYES_NO | wxNO_DEFAULT | wxICON_WARNING | wxCENTRE);
    dialog.SetYesNoLabels(WxTr("&Save Anyway"), WxTr("&Cancel"));
    return dialog.ShowModal() == wxID_YES;
}

// A changed key that a variable keeps for several tests changes them all:
// said before the save, which may be cancelled.
bool MainFrame::ConfirmSharedKeys() {
    std::string shared;
    for (std::size_t i = 0; i < session.Tests().size(); ++i) {
        const std::vector<std::size_t> sharing = session.SharingKey(i);
        if (!session.IsChanged(i) || sharing.size() < 2 || sharing.front() != i) continue;
        const KeyTest& test = session.Tests()[i];
        // TRANSLATORS: {variable} is a script's variable ("0@"), {offset} where
        // it is set ("0xB"), {key} the key it now keeps ("K Key (0x4B)").
        shared += "\n" + Fill(TrN("{variable}, set at {offset}, keeps the key of {count} test: {key} for all of them.",
                                  "{variable}, set at {offset}, keeps the key of {count} tests: {key} for all of them.",
                                  sharing.size()),
                              {{"variable", VariableName(test.variable)},
                               {"offset", HexOffsetText(test.setAt.front())},
                               {"count", std::to_string(sharing.size())},
                               {"key", VKeyEntryName(test.key)}});
    }
    if (shared.empty()) return true;
    wxMessageDialog dialog(this, WxTr("Saving changes keys that variables keep:") + WxText(shared), kProgramName,
                           wxOK | wxCANCEL | wxICON_INFORMATION | wxCENTRE);
    dialog.SetOKCancelLabels(WxTr("&Save"), WxTr("&Cancel"));
    return dialog.ShowModal() == wxID_OK;
}

bool MainFrame::SaveTo(const wxString& path) {
    if (!ConfirmDoubtfulSave() || !ConfirmSharedKeys()) return false;
    // What unfinished saves left in the folder is said with the save's outcome.
    const wxString leftovers = LeftoversText(FindSaveLeftovers(FileSystemPath(wxFileName(path).GetPath())));
    const Result<SaveNotes> saved = session.SaveTo(FileSystemPath(path));
    if (!saved) {
        ShowMessage(WxText(Fill(Tr(kSaveFailed),
                                {{"file", wxFileName(path).GetFullName().utf8_string()}, {"cause", saved.Cause()}})) +
                    leftovers);
        return false;
    }
    pathText->SetValue(path);
    testList->Refresh();
    if (editedTest != kNoTest) ShowContext(editedTest);
    RememberRecentFile(path);
    UpdateTitle();
    const std::string name = wxFileName(path).GetFullName().utf8_string();
    SetStatusText(WxText(Fill(Tr(kSavedStatus), {{"file", name}})));
    if (!saved->notKept.empty())
        ShowMessage(WxText(Fill(Tr(kSavedWithout), {{"file", name}, {"problem", NotKeptText(*saved)}})) + leftovers);
    else if (!leftovers.empty())
        // TRANSLATORS: in a message after a save; {file} is the file's name.
        ShowMessage(WxText(Fill(Tr("Saved {file}."), {{"file", name}})) + leftovers);
    return true;
}
